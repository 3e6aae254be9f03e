#pragma once

#include <cstddef>
#include <cstdint>

#include "MatchReport.h"

namespace Quorvel::Analysis {

// What a group of matches adds up to (those on one server, or of one day): figures of
// all their seconds, not means of the matches'.
struct GroupSummary {
    std::size_t matches = 0;
    std::int64_t secondsPlayed = 0;
    Figure pingMedian;
    Figure pingP95;
    // Latency above Ping: the 95th percentile of its seconds, high when a server
    // hiccups for a while however normal the rest of its matches are.
    Figure latencyAbovePingP95;
    Figure fpsMean;
    MatchSums sums;
    PerCause<std::size_t> verdicts;    // matches per cause
    PerProblem<std::size_t> problems;  // matches whose verdict found each problem

    Figure jitterMs() const { return sums.jitterMs(); }
    Figure lossInPercent() const { return sums.lossInPercent(); }
    Figure lossOutPercent() const { return sums.lossOutPercent(); }
};

// Adds matches up in memory that grows with the distinct Ping values, not the rows.
class GroupTotals {
  public:
    void add(const MatchReport& report);
    GroupSummary summary() const;

  private:
    GroupSummary totals;
    ValueCounts ping;
    ValueCounts latencyAbovePing;
    double fpsSum = 0;
    std::uint64_t fpsSeconds = 0;
};

}  // namespace Quorvel::Analysis
