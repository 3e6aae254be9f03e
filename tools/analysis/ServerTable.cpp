#include "ServerTable.h"

#include <algorithm>

namespace Quorvel::Analysis {

void ServerTable::add(const MatchReport& report) {
    servers[report.info.serverIp].add(report);
    byDay[std::chrono::floor<std::chrono::days>(report.figures.start)].add(report);
}

std::vector<ServerSummary> ServerTable::summaries() const {
    std::vector<ServerSummary> all;
    all.reserve(servers.size());
    for (const auto& [ip, totals] : servers) {
        all.push_back({totals.summary(), ip});
    }
    std::stable_sort(all.begin(), all.end(), [](const ServerSummary& a, const ServerSummary& b) {
        return a.secondsPlayed > b.secondsPlayed;
    });
    return all;
}

std::vector<DaySummary> ServerTable::days() const {
    std::vector<DaySummary> all;
    all.reserve(byDay.size());
    for (const auto& [day, totals] : byDay) {
        all.push_back({totals.summary(), day});
    }
    return all;
}

}  // namespace Quorvel::Analysis
