#include "Detection.h"

#include <algorithm>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace T = Thresholds;

Detection::Detection(const MatchRows& rows, const MatchFigures& matchFigures, MatchEvents& out)
    : match(rows),
      figures(matchFigures),
      events(out),
      covers(rows.seconds.size(), 0),
      matchLossPercent(std::max(matchFigures.lossInPercent().value_or(0),
                                matchFigures.lossOutPercent().value_or(0))) {}

void Detection::record(Event event, RowSpan span, bool explained) {
    event.significant = !explained && largeEnoughToCount(event, matchLossPercent);
    if (event.significant) {
        const std::uint8_t cover = coverOf(event.kind());
        for (std::size_t i = span.first; i <= span.last && cover != 0; ++i) {
            covers[i] |= cover;
        }
    }
    summarize(event);
    if (++listed[event.kind()] <= T::kEventsKeptPerKind) {
        events.events.push_back(event);
    }
}

void Detection::summarize(const Event& event) {
    KindSummary& kind = events.kinds[event.kind()];
    ++kind.count;
    if (event.significant) {
        ++kind.counting;
        kind.countingSeconds += event.when.lengthSeconds;
        if (!kind.worst || worse(event, *kind.worst)) {
            kind.worst = event;
        }
        return;
    }
    const double size = eventSize(event);
    const bool first = kind.minor() == 1;
    kind.minorLow = first ? size : std::min(kind.minorLow, size);
    kind.minorHigh = first ? size : std::max(kind.minorHigh, size);
    if (!kind.worstMinor || worse(event, *kind.worstMinor)) {
        kind.worstMinor = event;
    }
}

bool Detection::covered(RowSpan span, std::uint8_t mask) const {
    for (std::size_t i = span.first; i <= span.last; ++i) {
        if ((covers[i] & mask) != 0) {
            return true;
        }
    }
    return false;
}

double Detection::coveredShare(const std::vector<std::size_t>& rows, std::uint8_t mask) const {
    if (rows.empty()) {
        return 0;
    }
    std::size_t hit = 0;
    for (std::size_t i : rows) {
        hit += (covers[i] & mask) != 0 ? 1u : 0u;
    }
    return static_cast<double>(hit) / static_cast<double>(rows.size());
}

bool Detection::explained(EventKind kind, RowSpan span) const {
    const std::uint8_t mask = explainingCovers(kind);
    return mask != 0 && covered(span, mask);
}

void Detection::finish() {
    for (const KindSummary& kind : events.kinds) {
        for (const std::optional<Event>* worst : {&kind.worst, &kind.worstMinor}) {
            const bool left =
                *worst &&
                std::none_of(events.events.begin(), events.events.end(), [&](const Event& e) {
                    return e.kind() == (*worst)->kind() && e.when.offset == (*worst)->when.offset;
                });
            if (left) {
                events.events.push_back(**worst);
            }
        }
    }
    std::stable_sort(events.events.begin(), events.events.end(),
                     [](const Event& a, const Event& b) { return a.when.offset < b.when.offset; });
}

}  // namespace Quorvel::Analysis
