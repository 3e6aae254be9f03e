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
    std::string userId;
    std::string matchGuid;
    std::string serverIp;
    std::string serverPort;
    std::int32_t playlist = 0;
    std::size_t firstLine = 0;
    MatchFigures figures;
    MatchEvents events;
    Verdict verdict;

    std::string server() const;
};

MatchReport analyzeMatch(const MatchRows& match, const std::vector<std::int64_t>& times);

}  // namespace Quorvel::Summary
