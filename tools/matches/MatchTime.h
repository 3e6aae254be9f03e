#pragma once

#include "PerformanceRows.h"
#include "Thresholds.h"

namespace Quorvel::Matches {

// A forward step between two rows of a match longer than Thresholds::kGap: seconds
// without a row, a gap in the recording.
inline bool isGap(const Read::Second& before, const Read::Second& after) {
    return after.time - before.time > Thresholds::kGap;
}

}  // namespace Quorvel::Matches
