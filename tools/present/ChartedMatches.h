#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "MatchReport.h"

namespace Quorvel::Present {

// How many matches a page draws charts for and lists the events of. Each takes at
// most about 90 KB of the page (five charts of at most kMaxChartPoints points, at most
// kEventsShown events; a day-long match of three-digit values with 26,000 events takes
// 66 KB), so together they stay under 5 MB whatever the input; and a reader looks at a
// few dozen matches, not thousands: any other gets a page of its own through the
// report's filter options.
inline constexpr std::size_t kChartedMatches = 50;

// How many events a charted match lists and draws at most: a table a reader can take
// in, and a bounded share of the page (an event takes about 300 bytes).
inline constexpr std::size_t kEventsShown = 100;

// The matches chosen for charts, as they come: the most events that count in the
// verdict first, then the latest. Holds each chosen match's page data, made only when
// it is chosen, and lets it go when a match that matters more takes its place.
class ChartedMatches {
  public:
    explicit ChartedMatches(std::size_t places = kChartedMatches) : capacity(places) {}

    // Chooses `report` when it matters more than the least of those held (or a place is
    // free); then `makeData` gives what the page keeps of it.
    void offer(const Analysis::MatchReport& report, const std::function<std::string()>& makeData);

    std::size_t size() const { return chosen.size(); }
    // The data of those chosen, by match number.
    std::vector<std::string> byNumber() const;

  private:
    using Rank = std::pair<std::size_t, std::size_t>;  // events that count, number

    std::size_t capacity;
    std::map<Rank, std::string> chosen;  // the least first
};

}  // namespace Quorvel::Present
