#pragma once

#include <cstddef>

#include "MatchEvents.h"
#include "MatchFigures.h"
#include "Verdict.h"

namespace Quorvel::Analysis {

// Everything the report says about one match.
struct MatchReport {
    std::size_t input = 0;   // which input it came from
    std::size_t number = 0;  // its place in the report, from 1
    Matches::MatchInfo info;
    Matches::MatchOrigin origin;  // the inputs its rows came from
    MatchFigures figures;
    MatchEvents events;
    Verdict verdict;
};

MatchReport analyzeMatch(const MatchRows& match);

}  // namespace Quorvel::Analysis
