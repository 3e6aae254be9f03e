#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Matches.h"

namespace Quorvel::Summary {

// How the values of one statistic in a match are spread; only seconds with a value
// take part.
struct Distribution {
    std::size_t count = 0;
    double mean = 0;
    double median = 0;
    double p95 = 0;  // nearest rank: the smallest value with 95 % of the seconds at or below
    double p99 = 0;
    double min = 0;
    double max = 0;
    double sigma = 0;        // median absolute deviation x 1.4826: a spread robust to spikes
    double low1Percent = 0;  // mean of the lowest 1 % of the values (at least one)
};

// An absent figure is one the match has no values for.
using Figure = std::optional<double>;

// What the jitter and loss figures are made of, kept so that matches add up (a server's
// figures are those of all its seconds, not a mean of its matches').
struct MatchSums {
    double jitterSum = 0;  // absolute differences of consecutive Ping values
    std::uint64_t jitterPairs = 0;
    double lostIn = 0, packetsIn = 0, lostOut = 0, packetsOut = 0;  // usable seconds only
    bool anyIn = false, anyOut = false;

    MatchSums& operator+=(const MatchSums& other);
    Figure jitterMs() const;
    Figure lossInPercent() const;
    Figure lossOutPercent() const;
};

struct MatchFigures {
    std::chrono::sys_seconds start{};  // the first row's time
    std::int64_t lengthSeconds = 0;    // first to last row plus one, forward steps only
    std::size_t rows = 0;
    std::size_t gaps = 0;         // forward steps longer than Thresholds::kGap
    std::int64_t gapSeconds = 0;  // seconds the gaps left without a row
    std::size_t clockStepsBack = 0;
    std::array<std::size_t, kStatisticCount> missing{};  // rows without a value, per statistic

    std::optional<Distribution> ping;
    std::optional<Distribution> latency;
    std::optional<Distribution> fps;
    Figure jitterMs;  // mean absolute difference of consecutive Ping values
    Figure lossInPercent;
    Figure lossOutPercent;
    std::size_t inconsistentSeconds = 0;  // lost packets above packets, in or out
    MatchSums sums;
    Figure bufferMean;
    Figure bufferTargetMean;

    std::size_t missingOf(Statistic statistic) const { return missing[statisticIndex(statistic)]; }
};

// Each row's time into the match: 0 for the first, then adding only forward steps, so
// a clock that stepped back does not run the match backward.
std::vector<std::int64_t> matchTimes(const std::vector<Second>& seconds);

// The distribution of `values` (sorted in place); nullopt when empty.
std::optional<Distribution> distributionOf(std::vector<double>& values);

MatchFigures figuresOf(const MatchRows& match, const std::vector<std::int64_t>& times);

// True when the loss counters of a second in one direction can be used: both present
// and no more lost than sent or received.
bool lossUsable(const Second& second, Statistic lost, Statistic packets);

}  // namespace Quorvel::Summary
