#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

#include "MatchStream.h"

namespace Quorvel::Pipeline {

// Matches handed over together: fewer handovers, less waiting on each other.
struct MatchBatch {
    std::vector<ReadMatch> matches;
    std::size_t rows = 0;

    static constexpr std::size_t kRows = 8192;  // a batch is full from this many rows on
    void add(ReadMatch match) {
        rows += match.rows.seconds.size();
        matches.push_back(std::move(match));
    }
    bool full() const { return rows >= kRows; }
};

// Hands batches of matches from the thread that reads them to the one that analyses
// them, in the order they were pushed, holding at most kCapacity batches at a time so
// memory stays bounded.
class MatchQueue {
  public:
    static constexpr std::size_t kCapacity = 3;

    // Waits while the queue is full; false when the consumer has gone.
    bool push(MatchBatch batch);
    // No more matches; with an exception, the consumer rethrows it.
    void close(std::exception_ptr failure = nullptr);
    // The next batch, waiting for it; nothing when the queue is closed and empty.
    std::optional<MatchBatch> pop();
    // The consumer stops early (an exception of its own): the reader stops too.
    void abandon();

  private:
    std::mutex lock;
    std::condition_variable changed;
    std::deque<MatchBatch> batches;
    bool closed = false;
    bool abandoned = false;
    std::exception_ptr readFailure;
};

}  // namespace Quorvel::Pipeline
