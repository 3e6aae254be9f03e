#include "ServerTable.h"

#include <algorithm>
#include <cmath>

namespace Quorvel::Summary {

namespace {

// The nearest-rank value at `share` of a histogram of `total` values.
double rankOf(const std::map<std::int32_t, std::uint64_t>& counts, std::uint64_t total,
              double share) {
    const auto rank = std::max<std::uint64_t>(
        1, static_cast<std::uint64_t>(std::ceil(share * static_cast<double>(total))));
    std::uint64_t seen = 0;
    for (const auto& [value, count] : counts) {
        seen += count;
        if (seen >= rank) {
            return value;
        }
    }
    return counts.rbegin()->first;
}

// The median of a histogram: the mean of the two middle values when their number is even.
double medianOf(const std::map<std::int32_t, std::uint64_t>& counts, std::uint64_t total) {
    const double low = rankOf(counts, total, 0.5);
    if (total % 2 == 1) {
        return low;
    }
    std::uint64_t seen = 0;
    for (const auto& [value, count] : counts) {
        seen += count;
        if (seen >= total / 2 + 1) {
            return (low + value) / 2.0;
        }
    }
    return low;
}

}  // namespace

void ServerTable::add(const MatchRows& rows, const MatchReport& report) {
    Totals& t = servers[report.info.serverIp];
    ++t.matches;
    t.secondsPlayed += report.figures.lengthSeconds;
    ++t.verdicts[static_cast<std::size_t>(report.verdict.cause)];
    t.sums += report.figures.sums;
    for (const Second& s : rows.seconds) {
        if (s.has(Statistic::Ping)) {
            ++t.pingCounts[s[Statistic::Ping]];
        }
    }
}

std::vector<ServerSummary> ServerTable::summaries() const {
    std::vector<ServerSummary> all;
    for (const auto& [ip, t] : servers) {
        ServerSummary s;
        s.serverIp = ip;
        s.matches = t.matches;
        s.secondsPlayed = t.secondsPlayed;
        s.verdicts = t.verdicts;
        std::uint64_t total = 0;
        for (const auto& [value, count] : t.pingCounts) {
            total += count;
        }
        if (total > 0) {
            s.pingMedian = medianOf(t.pingCounts, total);
            s.pingP95 = rankOf(t.pingCounts, total, 0.95);
        }
        s.jitterMs = t.sums.jitterMs();
        s.lossInPercent = t.sums.lossInPercent();
        s.lossOutPercent = t.sums.lossOutPercent();
        all.push_back(std::move(s));
    }
    std::stable_sort(all.begin(), all.end(), [](const ServerSummary& a, const ServerSummary& b) {
        return a.secondsPlayed > b.secondsPlayed;
    });
    return all;
}

}  // namespace Quorvel::Summary
