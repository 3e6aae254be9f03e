#include "ServerTable.h"

#include <algorithm>
#include <cmath>

#include "Thresholds.h"

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
    const std::vector<Second>& seconds = rows.seconds;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        const Second& s = seconds[i];
        if (s.has(Statistic::Ping)) {
            ++t.pingCounts[s[Statistic::Ping]];
            const bool follows = i > 0 && seconds[i - 1].has(Statistic::Ping) &&
                                 s.time >= seconds[i - 1].time &&
                                 s.time - seconds[i - 1].time <= Thresholds::kGap;
            if (follows) {
                t.jitterSum += std::abs(static_cast<double>(s[Statistic::Ping]) -
                                        static_cast<double>(seconds[i - 1][Statistic::Ping]));
                ++t.jitterPairs;
            }
        }
        if (lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn)) {
            t.anyIn = true;
            t.lostIn += s[Statistic::LostPacketsIn];
            t.packetsIn += s[Statistic::PacketsIn];
        }
        if (lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut)) {
            t.anyOut = true;
            t.lostOut += s[Statistic::LostPacketsOut];
            t.packetsOut += s[Statistic::PacketsOut];
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
        if (t.jitterPairs > 0) {
            s.jitterMs = t.jitterSum / static_cast<double>(t.jitterPairs);
        }
        if (t.anyIn) {
            s.lossInPercent = t.packetsIn > 0 ? 100.0 * t.lostIn / t.packetsIn : 0.0;
        }
        if (t.anyOut) {
            s.lossOutPercent = t.packetsOut > 0 ? 100.0 * t.lostOut / t.packetsOut : 0.0;
        }
        all.push_back(std::move(s));
    }
    std::stable_sort(all.begin(), all.end(), [](const ServerSummary& a, const ServerSummary& b) {
        return a.secondsPlayed > b.secondsPlayed;
    });
    return all;
}

}  // namespace Quorvel::Summary
