#pragma once

#include <optional>

#include "MatchRows.h"

namespace Quorvel::Matches {

// Groups rows into matches as they are read: a match is the run of rows with one
// MatchGUID on one server, a pause of more than Thresholds::kMatchPause starting another
// (Thresholds::kEmptyGuidPause for rows without a GUID). Holds one match at a time.
class MatchSplitter {
  public:
    // Adds a row. When the row begins a new match and another one was open, that one
    // is finished: it is returned.
    std::optional<MatchRows> add(const Read::Row& row);
    // The last open match; nothing when there is none.
    std::optional<MatchRows> finish();

  private:
    bool startsNewMatch(const Read::Row& row) const;
    void begin(const Read::Row& row);

    MatchRows current;
    bool open = false;
    std::size_t lastLength = 0;
};

}  // namespace Quorvel::Matches
