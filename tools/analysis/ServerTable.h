#pragma once

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "GroupTotals.h"

namespace Quorvel::Analysis {

// The matches on one server. Servers are told apart by their IP: the port changes from
// one match to the next on the same machine.
struct ServerSummary : GroupSummary {
    std::string serverIp;
};

// The matches of one day (UTC), for how a player's connection and frame rate went over
// days.
struct DaySummary : GroupSummary {
    std::chrono::sys_days day;
};

// Adds up matches server by server and day by day, in memory that grows with the
// servers and the days, not with the rows.
class ServerTable {
  public:
    void add(const MatchReport& report);
    // By time played, most first.
    std::vector<ServerSummary> summaries() const;
    // In time order.
    std::vector<DaySummary> days() const;

  private:
    std::map<std::string, GroupTotals> servers;
    std::map<std::chrono::sys_days, GroupTotals> byDay;
};

}  // namespace Quorvel::Analysis
