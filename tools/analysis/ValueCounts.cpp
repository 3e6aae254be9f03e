#include "ValueCounts.h"

#include <algorithm>
#include <cmath>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

// Values spread over at most this many numbers are counted in an array, not sorted.
constexpr std::int64_t kDenseSpan = 1 << 16;

// The smallest and the largest of some values.
struct ValueRange {
    std::int32_t low;
    std::int32_t high;
    std::int64_t span() const { return static_cast<std::int64_t>(high) - low + 1; }
};

std::vector<ValueCount> countDense(const std::vector<std::int32_t>& values, ValueRange range) {
    const std::int32_t low = range.low;
    std::vector<std::uint32_t> tally(static_cast<std::size_t>(range.span()), 0);
    for (std::int32_t v : values) {
        ++tally[static_cast<std::size_t>(static_cast<std::int64_t>(v) - low)];
    }
    std::vector<ValueCount> counts;
    for (std::size_t i = 0; i < tally.size(); ++i) {
        if (tally[i] != 0) {
            counts.push_back(
                {static_cast<std::int32_t>(low + static_cast<std::int64_t>(i)), tally[i]});
        }
    }
    return counts;
}

std::vector<ValueCount> countSorted(std::vector<std::int32_t>& values) {
    std::sort(values.begin(), values.end());
    std::vector<ValueCount> counts;
    for (std::int32_t v : values) {
        if (counts.empty() || counts.back().value != v) {
            counts.push_back({v, 0});
        }
        ++counts.back().count;
    }
    return counts;
}

// The median of |v - median| over all values: the deviations of the values below and
// above the median each grow away from it, so merging the two walks gives them in
// order without storing them.
double medianDeviation(const ValueCounts& counts, double median) {
    const auto& entries = counts.entries();
    const auto split = std::upper_bound(entries.begin(), entries.end(), median,
                                        [](double m, const ValueCount& e) { return m < e.value; });
    auto below = std::make_reverse_iterator(split);  // values <= median, nearest first
    auto above = split;                              // values > median, nearest first
    const std::uint64_t total = counts.total();
    const std::uint64_t wanted = total / 2;  // rank of the upper middle deviation
    std::uint64_t seen = 0;
    double previous = 0;
    for (;;) {
        const bool takeBelow =
            above == entries.end() ||
            (below != entries.rend() && median - below->value <= above->value - median);
        const ValueCount& e = takeBelow ? *below : *above;
        const double deviation = std::abs(e.value - median);
        if (seen + e.count > wanted) {
            // The deviation at rank `wanted`; for an even total the one before it too.
            const double lowerMiddle = seen == wanted ? previous : deviation;
            return total % 2 == 1 ? deviation : (lowerMiddle + deviation) / 2.0;
        }
        seen += e.count;
        previous = deviation;
        if (takeBelow) {
            ++below;
        } else {
            ++above;
        }
    }
}

}  // namespace

ValueCounts ValueCounts::of(std::vector<std::int32_t>& values) {
    ValueCounts result;
    result.valueCount = values.size();
    if (values.empty()) {
        return result;
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    const ValueRange range{*low, *high};
    result.counts = range.span() <= kDenseSpan ? countDense(values, range) : countSorted(values);
    return result;
}

void ValueCounts::merge(const ValueCounts& other) {
    std::vector<ValueCount> merged;
    merged.reserve(counts.size() + other.counts.size());
    auto a = counts.begin();
    auto b = other.counts.begin();
    while (a != counts.end() || b != other.counts.end()) {
        if (b == other.counts.end() || (a != counts.end() && a->value < b->value)) {
            merged.push_back(*a++);
        } else if (a == counts.end() || b->value < a->value) {
            merged.push_back(*b++);
        } else {
            merged.push_back({a->value, a->count + b->count});
            ++a;
            ++b;
        }
    }
    counts = std::move(merged);
    valueCount += other.valueCount;
}

std::int32_t ValueCounts::atRank(std::uint64_t rank) const {
    std::uint64_t seen = 0;
    for (const ValueCount& e : counts) {
        seen += e.count;
        if (seen > rank) {
            return e.value;
        }
    }
    return counts.back().value;
}

double ValueCounts::nearestRank(double share) const {
    const auto rank =
        static_cast<std::uint64_t>(std::ceil(share * static_cast<double>(valueCount)));
    return atRank(std::max<std::uint64_t>(rank, 1) - 1);
}

double ValueCounts::median() const {
    const std::int32_t upper = atRank(valueCount / 2);
    if (valueCount % 2 == 1) {
        return upper;
    }
    return (static_cast<double>(atRank(valueCount / 2 - 1)) + upper) / 2.0;
}

std::optional<Distribution> Distribution::of(const ValueCounts& counts) {
    if (counts.empty()) {
        return std::nullopt;
    }
    Distribution d;
    d.count = counts.total();
    double sum = 0;
    for (const ValueCount& e : counts.entries()) {
        sum += static_cast<double>(e.value) * static_cast<double>(e.count);
    }
    d.mean = sum / static_cast<double>(d.count);
    d.median = counts.median();
    d.p95 = counts.nearestRank(0.95);
    d.p99 = counts.nearestRank(0.99);
    d.min = counts.entries().front().value;
    d.max = counts.entries().back().value;
    const std::uint64_t lowCount = std::max<std::uint64_t>(1, d.count / 100);
    double lowSum = 0;
    std::uint64_t taken = 0;
    for (const ValueCount& e : counts.entries()) {
        const std::uint64_t take = std::min(e.count, lowCount - taken);
        lowSum += static_cast<double>(e.value) * static_cast<double>(take);
        taken += take;
        if (taken == lowCount) {
            break;
        }
    }
    d.low1Percent = lowSum / static_cast<double>(lowCount);
    d.sigma = Thresholds::kMadToSigma * medianDeviation(counts, d.median);
    return d;
}

}  // namespace Quorvel::Analysis
