#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PerformanceRows.h"

namespace Quorvel::Matches {

using Format::Statistic;
using Read::Second;

// What a match is, as its first row says.
struct MatchInfo {
    std::string userId;
    std::string matchGuid;
    std::string serverIp;
    std::string serverPort;
    std::int32_t playlist = 0;
    std::size_t firstLine = 0;

    // "ip:port", or the IP alone when the port is empty.
    std::string server() const;
    // Whether a row belongs to the same player, GUID and server.
    bool sameMatchAs(const MatchInfo& other) const {
        return matchGuid == other.matchGuid && serverIp == other.serverIp &&
               serverPort == other.serverPort && userId == other.userId;
    }
};

// One input's share of a match: rows of one match can lie in several files (a session
// kept at a reload, a copy, a journal the game left unfinished when it closed).
struct MatchPiece {
    std::size_t input = 0;
    std::size_t rows = 0;        // the piece's rows
    std::size_t newSeconds = 0;  // seconds no piece before it in the join held
    bool unfinished = false;     // from a journal the game left when it closed
};

// Where a match's rows came from: the pieces, the one its first row is from first (a
// piece that added no second is a copy), and whether the game closed during the match.
struct MatchOrigin {
    std::vector<MatchPiece> pieces;
    // Its last second came only from an unfinished journal: the game closed (or is still
    // in the match) and nothing of it reached the player's file.
    bool cutShort = false;

    std::size_t contributing() const {
        return static_cast<std::size_t>(std::count_if(
            pieces.begin(), pieces.end(), [](const MatchPiece& p) { return p.newSeconds > 0; }));
    }
};

// The rows of one match: its texts once, its seconds in file order, and each second's
// time into the match (0 for the first, then adding only forward steps, so a clock
// that stepped back does not run the match backward).
struct MatchRows {
    MatchInfo info;
    std::vector<Second> seconds;
    std::vector<std::int64_t> offsets;
    MatchOrigin origin;

    // Adds a second after the others, with its time into the match.
    void push(const Second& second) {
        const std::int64_t offset =
            seconds.empty() ? 0
                            : offsets.back() + std::max<std::int64_t>(
                                                   (second.time - seconds.back().time).count(), 0);
        seconds.push_back(second);
        offsets.push_back(offset);
    }
    // Seconds from the first row to the last, plus one.
    std::int64_t lengthSeconds() const { return offsets.empty() ? 0 : offsets.back() + 1; }
};

}  // namespace Quorvel::Matches
