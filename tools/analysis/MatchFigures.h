#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "MatchRows.h"
#include "ValueCounts.h"

namespace Quorvel::Analysis {

using Format::Statistic;
using Matches::MatchRows;
using Read::Second;

// An absent figure is one the match has no values for.
using Figure = std::optional<double>;

// What the jitter and loss figures are made of: the one place they are kept, so that
// matches add up (a server's figures are those of all its seconds, not a mean of its
// matches').
struct MatchSums {
    double jitterSum = 0;  // absolute differences of consecutive Ping values
    std::uint64_t jitterPairs = 0;
    double lostIn = 0, packetsIn = 0, lostOut = 0, packetsOut = 0;  // usable seconds only
    bool anyIn = false, anyOut = false;

    MatchSums& operator+=(const MatchSums& other);
    Figure jitterMs() const;  // mean absolute difference of consecutive Ping values
    Figure lossInPercent() const;
    Figure lossOutPercent() const;
};

// What a second of the match is measured against: each statistic's usual value, taken
// from the calm seconds (the middle of the better part, Thresholds::kUsualShare) and
// never below what play is like (Thresholds' floors). Absent without values.
struct UsualLevels {
    Figure pingMs;              // the kUsualShare percentile: low is calm
    Figure fps;                 // the 1 - kUsualShare percentile: high is calm
    Figure packetsIn;           // as FPS, at least kPlayPacketsPerSecond
    Figure packetsOut;          // the same
    Figure latencyAbovePingMs;  // as ping, at least kPlayLatencyAbovePingMs
};

struct MatchFigures {
    std::chrono::sys_seconds start{};  // the first row's time
    std::int64_t lengthSeconds = 0;    // first to last row plus one, forward steps only
    std::size_t rows = 0;
    std::size_t gaps = 0;         // forward steps longer than Thresholds::kGap
    std::int64_t gapSeconds = 0;  // seconds the gaps left without a row
    std::size_t clockStepsBack = 0;
    std::size_t repeatedSeconds = 0;            // rows with the time of the row before
    Format::PerStatistic<std::size_t> missing;  // rows without a value, per statistic

    std::optional<Distribution> ping;
    std::optional<Distribution> latency;
    std::optional<Distribution> fps;
    ValueCounts pingCounts;              // kept for the servers' figures
    ValueCounts latencyAbovePingCounts;  // Latency - Ping of each second with both
    UsualLevels usual;
    MatchSums sums;
    std::size_t inconsistentSeconds = 0;  // lost packets above packets, in or out
    std::size_t usableLossSeconds = 0;    // loss counters usable both ways
    std::size_t lossySeconds = 0;         // seconds that lost packets, in or out
    // How far the values reach, so the event finder passes over searches that cannot
    // find anything: consecutive Pings Thresholds::kJumpMs apart or more, the largest
    // Latency - Ping, the fewest packets in, the largest Buffer - BufferTarget.
    std::size_t pingJumps = 0;
    Figure latencyAbovePingMax;
    Figure packetsInMin;
    Figure bufferAboveTargetMax;
    Figure bufferMean;
    Figure bufferTargetMean;

    Figure jitterMs() const { return sums.jitterMs(); }
    Figure lossInPercent() const { return sums.lossInPercent(); }
    Figure lossOutPercent() const { return sums.lossOutPercent(); }
};

MatchFigures figuresOf(const MatchRows& match);

// True when the loss counters of a second in one direction can be used: both present
// and no more lost than sent or received.
inline bool lossUsable(const Second& second, Statistic lost, Statistic packets) {
    return second.has(lost) && second.has(packets) && second[lost] >= 0 &&
           second[lost] <= second[packets];
}

}  // namespace Quorvel::Analysis
