#include "MatchReport.h"

namespace Quorvel::Summary {

std::string MatchReport::server() const {
    return serverPort.empty() ? serverIp : serverIp + ":" + serverPort;
}

MatchReport analyzeMatch(const MatchRows& match, const std::vector<std::int64_t>& times) {
    MatchReport report;
    report.userId = match.userId;
    report.matchGuid = match.matchGuid;
    report.serverIp = match.serverIp;
    report.serverPort = match.serverPort;
    report.playlist = match.playlist;
    report.firstLine = match.firstLine;
    report.figures = figuresOf(match, times);
    report.events = findEvents(match, times, report.figures);
    report.verdict = decideVerdict(report.figures, report.events);
    return report;
}

}  // namespace Quorvel::Summary
