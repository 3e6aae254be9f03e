#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Input.h"
#include "MatchQueue.h"
#include "MatchStream.h"

namespace Quorvel::Pipeline {

// The road from the inputs to the analysis: every input read as a stream on a thread of
// its own (a large file read ahead on one more), split into matches, the pieces of one
// match in several inputs joined (MatchJoiner), and the matches handed on in batches in
// the order of their start. Memory holds a few matches and MatchQueue::kCapacity
// batches, whatever the inputs' size. An input that cannot be used is refused (its
// outcome says why) and the others go on.
class MatchPipeline {
  public:
    // Starts reading; `inputs` must outlive the pipeline.
    explicit MatchPipeline(const std::vector<Read::Input>& inputs);
    // Stops reading when the matches were not all taken (the consumer failed).
    ~MatchPipeline();
    MatchPipeline(const MatchPipeline&) = delete;
    MatchPipeline& operator=(const MatchPipeline&) = delete;

    // The next batch, waiting for it; nothing once every input is read. Rethrows what
    // reading threw.
    std::optional<MatchBatch> next();
    // Bytes read so far of all inputs, and their total size.
    std::uint64_t bytesRead() const { return reading->bytesRead; }
    std::uint64_t bytesTotal() const { return reading->bytesTotal; }
    // What reading gave each input, once next() has given nothing.
    std::vector<ReadOutcome> outcomes();

  private:
    struct Reading {
        MatchQueue queue;
        std::vector<ReadOutcome> outcomes;
        std::atomic<std::uint64_t> bytesRead{0};
        std::atomic<std::uint64_t> bytesTotal{0};

        void run(const std::vector<Read::Input>& inputs);
    };

    std::unique_ptr<Reading> reading;
    std::thread reader;
};

}  // namespace Quorvel::Pipeline
