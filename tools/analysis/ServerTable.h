#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "MatchReport.h"

namespace Quorvel::Analysis {

// What the matches on one server add up to. Servers are told apart by their IP: the
// port changes from one match to the next on the same machine.
struct ServerSummary {
    std::string serverIp;
    std::size_t matches = 0;
    std::int64_t secondsPlayed = 0;
    Figure pingMedian;
    Figure pingP95;
    MatchSums sums;
    PerCause<std::size_t> verdicts;  // matches per cause

    Figure jitterMs() const { return sums.jitterMs(); }
    Figure lossInPercent() const { return sums.lossInPercent(); }
    Figure lossOutPercent() const { return sums.lossOutPercent(); }
};

// Adds up matches server by server in memory that grows with the number of servers
// and of distinct Ping values, not with the rows.
class ServerTable {
  public:
    void add(const MatchReport& report);
    // By time played, most first.
    std::vector<ServerSummary> summaries() const;

  private:
    struct Totals {
        ServerSummary summary;
        ValueCounts ping;
    };
    std::map<std::string, Totals> servers;
};

}  // namespace Quorvel::Analysis
