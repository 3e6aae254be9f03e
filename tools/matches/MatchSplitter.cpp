#include "MatchSplitter.h"

#include <algorithm>
#include <utility>

#include "Thresholds.h"

namespace Quorvel::Matches {

using Format::TextColumn;

std::string MatchInfo::server() const {
    return serverPort.empty() ? serverIp : serverIp + ":" + serverPort;
}

bool MatchSplitter::startsNewMatch(const Read::Row& row) const {
    if (!open) {
        return true;
    }
    const std::string_view guid = row.texts[TextColumn::MatchGUID];
    if (guid != current.info.matchGuid) {
        return true;
    }
    const auto pause = row.second.time - current.seconds.back().time;
    if (guid.empty()) {
        return pause > Thresholds::kEmptyGuidPause;
    }
    // One GUID on another server, or after a long pause, is another match.
    return row.texts[TextColumn::ServerIP] != current.info.serverIp ||
           row.texts[TextColumn::ServerPort] != current.info.serverPort ||
           pause > Thresholds::kMatchPause;
}

void MatchSplitter::begin(const Read::Row& row) {
    current.info.userId.assign(row.texts[TextColumn::UserID]);
    current.info.matchGuid.assign(row.texts[TextColumn::MatchGUID]);
    current.info.serverIp.assign(row.texts[TextColumn::ServerIP]);
    current.info.serverPort.assign(row.texts[TextColumn::ServerPort]);
    current.info.playlist = row.playlist;
    current.info.firstLine = row.line;
    current.seconds.clear();
    current.offsets.clear();
    current.origin = {};
    // Matches are alike in length: room for the last one's rows saves regrowing.
    current.seconds.reserve(lastLength);
    current.offsets.reserve(lastLength);
    open = true;
}

std::optional<MatchRows> MatchSplitter::add(const Read::Row& row) {
    std::optional<MatchRows> finished;
    if (startsNewMatch(row)) {
        if (open) {
            lastLength = std::min<std::size_t>(current.seconds.size(), 1 << 16);
            finished = std::exchange(current, {});
        }
        begin(row);
    }
    current.push(row.second);
    return finished;
}

std::optional<MatchRows> MatchSplitter::finish() {
    if (!open) {
        return std::nullopt;
    }
    open = false;
    return std::exchange(current, {});
}

}  // namespace Quorvel::Matches
