#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "PerformanceRows.h"

namespace Quorvel::Summary {

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

// The rows of one match: its texts once, its seconds in file order.
struct MatchRows {
    MatchInfo info;
    std::vector<Second> seconds;
};

// Groups rows into matches as they are read: a match is the run of rows with one
// MatchGUID. Rows with an empty MatchGUID also start a new match after a pause of
// more than Thresholds::kEmptyGuidPause. Holds one match at a time.
class MatchSplitter {
  public:
    // Adds a row. When the row begins a new match and another one was open, that one
    // is moved into `finished` and the result is true.
    bool add(const Row& row, MatchRows& finished);
    // Moves the last open match into `finished`; false when there is none.
    bool finish(MatchRows& finished);

  private:
    bool startsNewMatch(const Row& row) const;
    void begin(const Row& row);

    MatchRows current;
    bool open = false;
};

}  // namespace Quorvel::Summary
