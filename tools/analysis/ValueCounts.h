#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace Quorvel::Analysis {

// How often each value occurs, sorted by value: the exact distribution of whole
// numbers without sorting them one by one (the file's values are whole numbers in
// narrow ranges).
struct ValueCount {
    std::int32_t value;
    std::uint64_t count;
};

class ValueCounts {
  public:
    // Counts `values` (taken apart; their order is lost).
    static ValueCounts of(std::vector<std::int32_t>& values);

    // Adds another's counts, keeping the order.
    void merge(const ValueCounts& other);

    bool empty() const { return counts.empty(); }
    std::uint64_t total() const { return valueCount; }
    const std::vector<ValueCount>& entries() const { return counts; }

    // The value at `rank` (from 0) in sorted order; `rank` < total().
    std::int32_t atRank(std::uint64_t rank) const;
    // Nearest rank: the smallest value with `share` of the values at or below it.
    double nearestRank(double share) const;
    // The middle value; the mean of the two middle ones when their number is even.
    double median() const;

  private:
    std::vector<ValueCount> counts;
    std::uint64_t valueCount = 0;
};

// How the values of one statistic in a match are spread.
struct Distribution {
    std::uint64_t count = 0;
    double mean = 0;
    double median = 0;
    double p95 = 0;  // nearest rank
    double p99 = 0;
    double min = 0;
    double max = 0;
    double sigma = 0;        // median absolute deviation x kMadToSigma: a spread robust to spikes
    double low1Percent = 0;  // mean of the lowest 1 % of the values (at least one)

    // Nothing when there are no values.
    static std::optional<Distribution> of(const ValueCounts& counts);
};

}  // namespace Quorvel::Analysis
