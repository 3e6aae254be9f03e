#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "MatchReport.h"

namespace Quorvel::Summary {

// What the matches on one server add up to. Servers are told apart by their IP: the
// port changes from one match to the next on the same machine.
struct ServerSummary {
    std::string serverIp;
    std::size_t matches = 0;
    std::int64_t secondsPlayed = 0;
    std::optional<double> pingMedian;
    std::optional<double> pingP95;
    std::optional<double> jitterMs;
    std::optional<double> lossInPercent;
    std::optional<double> lossOutPercent;
    std::array<std::size_t, kCauseCount> verdicts{};  // matches per Cause
};

// Adds up matches server by server in memory that grows with the number of servers
// and of distinct Ping values, not with the rows.
class ServerTable {
  public:
    void add(const MatchRows& rows, const MatchReport& report);
    // By time played, most first.
    std::vector<ServerSummary> summaries() const;

  private:
    struct Totals {
        std::size_t matches = 0;
        std::int64_t secondsPlayed = 0;
        std::map<std::int32_t, std::uint64_t> pingCounts;
        MatchSums sums;
        std::array<std::size_t, kCauseCount> verdicts{};
    };
    std::map<std::string, Totals> servers;
};

}  // namespace Quorvel::Summary
