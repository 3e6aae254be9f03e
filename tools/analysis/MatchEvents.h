#pragma once

#include <cstddef>
#include <vector>

#include "Event.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

struct MatchEvents {
    std::vector<Event> events;         // by start; at most Thresholds::kEventsKeptPerKind a kind
    PerEventKind<std::size_t> counts;  // every event, kept or not

    std::size_t count(EventKind kind) const { return counts[kind]; }
    std::size_t total() const;
};

// Searches a match second by second for what went wrong, against its own figures.
MatchEvents findEvents(const MatchRows& match, const MatchFigures& figures);

// The spike and drop lines the events are found against; absent without values.
Figure pingSpikeThreshold(const MatchFigures& figures);
Figure fpsDropThreshold(const MatchFigures& figures);

}  // namespace Quorvel::Analysis
