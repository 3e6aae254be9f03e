#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "MatchEvents.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

enum class Cause : std::size_t { Good, Connection, Server, Computer, Incomplete };
inline constexpr std::size_t kCauseCount = 5;
template <typename T>
using PerCause = Format::EnumArray<Cause, T, kCauseCount>;

// "good", "connection", "server", "computer", "incomplete".
std::string_view causeName(Cause cause);

struct Verdict {
    Cause cause = Cause::Good;
    // In a player's words, pointing at the worst event: "connection: 3 loss bursts,
    // worst 0:30–0:35, 12 packets a second lost coming in".
    std::string text;
    std::vector<Cause> alsoCauses;  // further causes found, after the main one
    // Statistics present in too few seconds to judge.
    std::vector<Statistic> lacking;
};

// Attributes what went wrong: loss bursts, ping spikes and a high ping are the
// connection; a high latency with a normal ping is the server side; FPS drops and an
// input buffer above target while ping and loss are normal are the computer. "No
// problem found" only with evidence for every statistic.
Verdict decideVerdict(const MatchFigures& figures, const MatchEvents& events);

}  // namespace Quorvel::Analysis
