#pragma once

// Matches played with realistic noise, each with the verdict and the events a player
// would name, written down from how the match was made; and the check of a report's
// answer against them.

#include <cstdint>
#include <string>
#include <vector>

namespace QuorvelTest {

// An event the report must find. Kinds are the report's JSON keys ("lossBurst", ...).
struct ExpectedEvent {
    std::string kind;
    int from;           // its first second into the match
    int fromTolerance;  // seconds either side
    int minLength;      // seconds
    int maxLength;
    bool counts;  // whether it counts in the verdict
};

struct LabelledMatch {
    std::string name;   // also usable as a file name
    std::string csv;    // the whole performance file
    std::string cause;  // "good", "connection", "server", "computer", "incomplete"
    std::vector<ExpectedEvent> events;
    std::vector<std::string> reasonContains;
};

std::vector<LabelledMatch> labelledMatches();

// What a report said about one match.
struct FoundEvent {
    std::string kind;
    std::int64_t offset;  // seconds into the match
    std::int64_t length;  // seconds
    bool counts;
};

struct FoundMatch {
    std::string cause;
    std::string reason;
    std::vector<FoundEvent> events;
};

// Empty when `found` is right: the cause is the labelled one; each expected event is
// matched by its own found event (same kind, start within the tolerance, length in
// range, counting as labelled); no counting event is of a kind the label does not
// expect; the reason holds every fragment. Otherwise each wrong thing, joined by "; ".
std::string mismatch(const LabelledMatch& label, const FoundMatch& found);

}  // namespace QuorvelTest
