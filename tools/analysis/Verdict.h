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

// Where a problem ("loss", "stutter") stands among all, worst-felt first within its
// cause, as a verdict names them.
std::size_t problemOrder(std::string_view problem);

// One problem found, in a word or two ("loss", "stutter"), and whose side it is.
struct Finding {
    Cause cause;
    std::string_view problem;
};

struct Verdict {
    Cause cause = Cause::Good;
    std::vector<Finding> findings;  // every problem found, the leading cause's first
    // In a player's words, pointing at the worst event: "connection: 3 loss bursts,
    // worst 0:30–0:35, 12 packets a second lost coming in".
    std::string text;
    std::vector<Cause> alsoCauses;  // further causes found, after the main one
    // Statistics present in too few seconds to judge.
    std::vector<Statistic> lacking;
};

// Attributes what went wrong. The connection: outages (nothing in or out), loss bursts,
// steady loss, unstable ping, ping spikes, a ping high throughout. The server: nothing
// coming in while packets go out, latency far above ping. The computer: stutter, FPS drops, a low
// FPS throughout, an input buffer above target, unless a loss burst, a stall or a spike at the same
// time explains them. "incomplete" when nothing was found but the evidence is thin: too few seconds
// recorded and usable; "good" otherwise, saying why any smaller events did not count.
Verdict decideVerdict(const MatchFigures& figures, const MatchEvents& events);

}  // namespace Quorvel::Analysis
