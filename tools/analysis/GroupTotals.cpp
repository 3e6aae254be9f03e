#include "GroupTotals.h"

namespace Quorvel::Analysis {

void GroupTotals::add(const MatchReport& report) {
    const MatchFigures& f = report.figures;
    ++totals.matches;
    totals.secondsPlayed += f.lengthSeconds;
    ++totals.verdicts[report.verdict.cause];
    totals.sums += f.sums;
    ping.merge(f.pingCounts);
    latencyAbovePing.merge(f.latencyAbovePingCounts);
    PerProblem<bool> found;
    for (const Finding& finding : report.verdict.findings) {
        found[finding.problem] = true;
    }
    for (std::size_t p = 0; p < kProblemCount; ++p) {
        if (found[static_cast<Problem>(p)]) {
            ++totals.problems[static_cast<Problem>(p)];
        }
    }
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
    if (!latencyAbovePing.empty()) {
        s.latencyAbovePingP95 = latencyAbovePing.nearestRank(0.95);
    }
    if (fpsSeconds > 0) {
        s.fpsMean = fpsSum / static_cast<double>(fpsSeconds);
    }
    return s;
}

}  // namespace Quorvel::Analysis
