#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "MatchEvents.h"
#include "MatchFigures.h"
#include "Matches.h"
#include "Verdict.h"

namespace Quorvel::Summary {

// Everything the report says about one match.
struct MatchReport {
    std::size_t file = 0;    // which input it came from
    std::size_t number = 0;  // its place in the report, from 1
    MatchInfo info;
    MatchFigures figures;
    MatchEvents events;
    Verdict verdict;
};

MatchReport analyzeMatch(const MatchRows& match, const std::vector<std::int64_t>& times);

}  // namespace Quorvel::Summary
