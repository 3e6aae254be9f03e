#include "ChartedMatches.h"

namespace Quorvel::Present {

void ChartedMatches::offer(const Analysis::MatchReport& report,
                           const std::function<std::string()>& makeData) {
    const Rank rank{report.events.counting(), report.number};
    if (capacity == 0 || (chosen.size() == capacity && rank < chosen.begin()->first)) {
        return;
    }
    chosen.emplace(rank, makeData());
    if (chosen.size() > capacity) {
        chosen.erase(chosen.begin());
    }
}

std::vector<std::string> ChartedMatches::byNumber() const {
    std::map<std::size_t, const std::string*> ordered;
    for (const auto& [rank, data] : chosen) {
        ordered.emplace(rank.second, &data);
    }
    std::vector<std::string> list;
    list.reserve(ordered.size());
    for (const auto& [number, data] : ordered) {
        list.push_back(*data);
    }
    return list;
}

}  // namespace Quorvel::Present
