#include "MatchReport.h"

namespace Quorvel::Summary {

MatchReport analyzeMatch(const MatchRows& match, const std::vector<std::int64_t>& times) {
    MatchReport report;
    report.info = match.info;
    report.figures = figuresOf(match, times);
    report.events = findEvents(match, times, report.figures);
    report.verdict = decideVerdict(report.figures, report.events);
    return report;
}

}  // namespace Quorvel::Summary
