#pragma once

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
};

// The rows of one match: its texts once, its seconds in file order, and each second's
// time into the match (0 for the first, then adding only forward steps, so a clock
// that stepped back does not run the match backward).
struct MatchRows {
    MatchInfo info;
    std::vector<Second> seconds;
    std::vector<std::int64_t> offsets;

    // Seconds from the first row to the last, plus one.
    std::int64_t lengthSeconds() const { return offsets.empty() ? 0 : offsets.back() + 1; }
};

}  // namespace Quorvel::Matches
