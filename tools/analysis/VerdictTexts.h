#pragma once

// The verdict's words for what each kind of event, and each whole-match figure, says.

#include <optional>
#include <string>

#include "MatchEvents.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

// What the events of one kind that count say, pointing at the worst: "3 loss bursts,
// worst 0:30–0:35, 12 packets a second lost coming in". Nothing when none counts.
std::optional<std::string> countingText(EventKind kind, const KindSummary& summary);

// Why the events of one kind did not count: "4 small losses of 1–3 packets, under the
// 10 % limit". Nothing when there were none (or none worth a word).
std::optional<std::string> minorText(EventKind kind, const KindSummary& summary);

// Whole-match findings: a ping high throughout, a latency high throughout while ping
// is normal, an FPS low throughout.
std::optional<std::string> highPingText(const MatchFigures& f);
std::optional<std::string> highLatencyText(const MatchFigures& f);
std::optional<std::string> lowFpsText(const MatchFigures& f);

// What an event's worst moment was: "up to 200 ms (typical 31 ms)", "12 packets a second
// lost coming in"; empty for a stretch without values or rows.
std::string worstWords(const EventDetail& what);

// "m:ss–m:ss" of a stretch.
std::string span(const Stretch& s);
// A whole number in words' company: "12".
std::string number(double value);

}  // namespace Quorvel::Analysis
