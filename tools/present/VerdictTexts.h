#pragma once

// The verdict in a player's words: what each kind of event that counts, each
// whole-match problem and each reason for too little evidence says, and why smaller
// events did not count.

#include <string>

#include "Event.h"
#include "MatchEvents.h"
#include "Verdict.h"

namespace Quorvel::Present {

// "connection: 3 loss bursts, worst 0:30–0:35, 12 packets a second lost coming in
// (also computer)"; "good: no problem found; 4 small losses of 1–3 packets, under the
// limit" (the limit's value from Thresholds.h); "incomplete: only 20 seconds recorded
// (a verdict needs kEvidenceSeconds)".
std::string verdictText(const Analysis::Verdict& verdict, const Analysis::MatchEvents& events);

// What an event's worst moment was: "up to 200 ms (typical 31 ms)", "12 packets a second
// lost coming in"; empty for a stretch without values or rows.
std::string worstWords(const Analysis::EventDetail& what);

// "m:ss–m:ss" of a stretch.
std::string span(const Analysis::Stretch& s);

}  // namespace Quorvel::Present
