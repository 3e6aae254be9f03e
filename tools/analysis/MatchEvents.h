#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Event.h"
#include "MatchFigures.h"

namespace Quorvel::Analysis {

// What the events of one kind in a match add up to, over every one of them however
// many there are.
struct KindSummary {
    std::size_t count = 0;             // every event of the kind
    std::size_t counting = 0;          // those that count in the verdict
    std::int64_t countingSeconds = 0;  // the seconds those last, together
    // The worst that counts, and the worst of those that do not (Thresholds).
    std::optional<Event> worst;
    std::optional<Event> worstMinor;
    // The range of the minor events' sizes, in the kind's own measure (eventSize).
    double minorLow = 0;
    double minorHigh = 0;

    std::size_t minor() const { return count - counting; }
};

struct MatchEvents {
    // By start: the first Thresholds::kEventsKeptPerKind of each kind, and its worst.
    std::vector<Event> events;
    PerEventKind<KindSummary> kinds;

    std::size_t count(EventKind kind) const { return kinds[kind].count; }
    std::size_t total() const;
    std::size_t counting() const;
};

// Searches a match second by second for what went wrong, against its own figures, and
// decides which events count; an event that another explains (a full input buffer
// inside a stall, say) does not count on its own.
MatchEvents findEvents(const MatchRows& match, const MatchFigures& figures);

// The spike and drop lines the events are found against, from the usual Ping and FPS
// and their spread; absent without values.
Figure pingSpikeThreshold(const MatchFigures& figures);
Figure fpsDropThreshold(const MatchFigures& figures);

}  // namespace Quorvel::Analysis
