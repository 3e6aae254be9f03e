#include "MatchReport.h"

namespace Quorvel::Analysis {

MatchReport analyzeMatch(const MatchRows& match) {
    MatchReport report;
    report.info = match.info;
    report.origin = match.origin;
    report.figures = figuresOf(match);
    report.events = findEvents(match, report.figures);
    report.verdict = decideVerdict(report.figures, report.events);
    return report;
}

}  // namespace Quorvel::Analysis
