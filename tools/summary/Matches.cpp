#include "Matches.h"

#include <utility>

#include "Thresholds.h"

namespace Quorvel::Summary {

std::string MatchInfo::server() const {
    return serverPort.empty() ? serverIp : serverIp + ":" + serverPort;
}

bool MatchSplitter::startsNewMatch(const Row& row) const {
    if (!open) {
        return true;
    }
    if (row.matchGuid != current.info.matchGuid) {
        return true;
    }
    return row.matchGuid.empty() &&
           row.second.time - current.seconds.back().time > Thresholds::kEmptyGuidPause;
}

void MatchSplitter::begin(const Row& row) {
    current.info.userId.assign(row.userId);
    current.info.matchGuid.assign(row.matchGuid);
    current.info.serverIp.assign(row.serverIp);
    current.info.serverPort.assign(row.serverPort);
    current.info.playlist = row.playlist;
    current.info.firstLine = row.line;
    current.seconds.clear();
    open = true;
}

bool MatchSplitter::add(const Row& row, MatchRows& finished) {
    bool done = false;
    if (startsNewMatch(row)) {
        if (open) {
            std::swap(finished, current);
            done = true;
        }
        begin(row);
    }
    current.seconds.push_back(row.second);
    return done;
}

bool MatchSplitter::finish(MatchRows& finished) {
    if (!open) {
        return false;
    }
    std::swap(finished, current);
    current.seconds.clear();
    open = false;
    return true;
}

}  // namespace Quorvel::Summary
