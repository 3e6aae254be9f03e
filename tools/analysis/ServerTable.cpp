#include "ServerTable.h"

#include <algorithm>

namespace Quorvel::Analysis {

void ServerTable::add(const MatchReport& report) {
    Totals& t = servers[report.info.serverIp];
    ServerSummary& s = t.summary;
    ++s.matches;
    s.secondsPlayed += report.figures.lengthSeconds;
    ++s.verdicts[report.verdict.cause];
    s.sums += report.figures.sums;
    t.ping.merge(report.figures.pingCounts);
}

std::vector<ServerSummary> ServerTable::summaries() const {
    std::vector<ServerSummary> all;
    for (const auto& [ip, t] : servers) {
        ServerSummary s = t.summary;
        s.serverIp = ip;
        if (!t.ping.empty()) {
            s.pingMedian = t.ping.median();
            s.pingP95 = t.ping.nearestRank(0.95);
        }
        all.push_back(std::move(s));
    }
    std::stable_sort(all.begin(), all.end(), [](const ServerSummary& a, const ServerSummary& b) {
        return a.secondsPlayed > b.secondsPlayed;
    });
    return all;
}

}  // namespace Quorvel::Analysis
