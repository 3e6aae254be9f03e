#include "GroupTotals.h"

namespace Quorvel::Analysis {

void GroupTotals::add(const MatchReport& report) {
    const MatchFigures& f = report.figures;
    ++totals.matches;
    totals.secondsPlayed += f.lengthSeconds;
    ++totals.verdicts[report.verdict.cause];
    totals.sums += f.sums;
    ping.merge(f.pingCounts);
    if (f.fps) {
        fpsSum += f.fps->mean * static_cast<double>(f.fps->count);
        fpsSeconds += f.fps->count;
    }
}

GroupSummary GroupTotals::summary() const {
    GroupSummary s = totals;
    if (!ping.empty()) {
        s.pingMedian = ping.median();
        s.pingP95 = ping.nearestRank(0.95);
    }
    if (fpsSeconds > 0) {
        s.fpsMean = fpsSum / static_cast<double>(fpsSeconds);
    }
    return s;
}

}  // namespace Quorvel::Analysis
