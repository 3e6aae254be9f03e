#pragma once

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "MatchEvents.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

enum class Cause : std::size_t { Good, Connection, Server, Computer, Incomplete };
inline constexpr std::size_t kCauseCount = 5;
template <typename T>
using PerCause = Format::EnumArray<Cause, T, kCauseCount>;

// What a verdict names, worst-felt first within each cause: the answer across matches
// counts them, each once a match.
enum class Problem : std::size_t {
    Outages,  // the connection's
    Loss,
    UnstablePing,
    PingSpikes,
    HighPing,
    NothingComingIn,  // the server's
    ServerHiccups,
    HighLatency,
    Stutter,  // the computer's
    FpsDrops,
    LowFps,
    FullInputBuffer,
};
inline constexpr std::size_t kProblemCount = 12;
template <typename T>
using PerProblem = Format::EnumArray<Problem, T, kProblemCount>;

// What a problem rests on: the events of one kind that count (MatchEvents::kinds says
// how many, how long and the worst), or a figure of the whole match past its limit.
struct CountingEvents {
    EventKind kind;
};
struct HighPingThroughout {
    double p95Ms = 0;  // at or above Thresholds::kHighPingP95Ms
};
struct HighLatencyThroughout {
    double latencyMedianMs = 0;  // at or above Thresholds::kHighLatencyMedianMs ...
    double pingMedianMs = 0;     // ... and Thresholds::kHiccupExcessMs above this
};
struct LowFpsThroughout {
    double fpsMedian = 0;  // below Thresholds::kLowFps
};
using Evidence =
    std::variant<CountingEvents, HighPingThroughout, HighLatencyThroughout, LowFpsThroughout>;

// One problem found, whose side it is, and what it rests on.
struct Finding {
    Cause cause;
    Problem problem;
    Evidence evidence;
};

// Why a match without a problem is not called good: the evidence is too thin.
struct TooFewSeconds {
    std::size_t recorded = 0;  // under Thresholds::kEvidenceSeconds
};
struct TooFewRows {
    std::size_t rows = 0;  // under Thresholds::kEvidenceShare of the seconds spanned
    std::int64_t spanned = 0;
};
struct StatisticsMissing {
    std::vector<Statistic> statistics;  // each missing in too many seconds
};
struct LossUnusable {
    std::size_t inconsistentSeconds = 0;  // more packets lost than counted
    std::size_t rows = 0;
};
using ThinEvidence = std::variant<TooFewSeconds, TooFewRows, StatisticsMissing, LossUnusable>;

struct Verdict {
    Cause cause = Cause::Good;
    // Every problem found, by cause in the order the causes lead (the verdict's cause
    // first), worst-felt first within each.
    std::vector<Finding> findings;
    std::optional<ThinEvidence> thin;  // why it is incomplete
    // Statistics present in too few seconds to judge.
    std::vector<Statistic> lacking;

    // The causes found after the leading one, in their order.
    std::vector<Cause> alsoCauses() const;
};

// Attributes what went wrong. The connection: outages (nothing in or out), loss bursts,
// steady loss, unstable ping, ping spikes, a ping high throughout. The server: nothing
// coming in while packets go out, latency far above ping. The computer: stutter, FPS drops, a low
// FPS throughout, an input buffer above target, unless a loss burst, a stall or a spike at the same
// time explains them. Incomplete when nothing was found but the evidence is thin: too few seconds
// recorded and usable; good otherwise.
Verdict decideVerdict(const MatchFigures& figures, const MatchEvents& events);

}  // namespace Quorvel::Analysis
