#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <queue>
#include <vector>

#include "Failure.h"
#include "Input.h"
#include "MatchRows.h"
#include "SkippedRows.h"

namespace Quorvel::Pipeline {

using Matches::MatchRows;
using Read::Second;

// What reading one input gave, apart from its matches.
struct ReadOutcome {
    std::optional<Tools::Failure> refused;  // why it could not be used, naming it
    std::size_t rows = 0;                   // rows in its matches
    Read::SkippedRows skipped;
};

// A match read, and the input it came from.
struct ReadMatch {
    std::size_t input = 0;
    MatchRows rows;
};

class OpenInput;

// The matches of many inputs: of the inputs' next matches, the earliest start first (on a
// tie, the input given first); an input's own matches in the order it holds them, so a
// file whose clock went back is not reordered.
// with at most kOpenInputs inputs open at once: an input left waiting is closed and
// opened again where its next match begins. Memory: the open inputs, and for each input
// only where it stands, so thousands of files cost little more than one.
class MatchStream {
  public:
    // `inputs` must outlive the stream.
    explicit MatchStream(const std::vector<Read::Input>& inputs);
    ~MatchStream();
    MatchStream(const MatchStream&) = delete;
    MatchStream& operator=(const MatchStream&) = delete;

    // The next match; nothing when every input is done. An input that fails while being
    // read is refused (its outcome says why) and the others go on.
    std::optional<ReadMatch> next();

    const std::vector<ReadOutcome>& outcomes() const { return results; }
    std::uint64_t bytesRead() const;
    std::uint64_t bytesTotal() const { return totalSize; }

    static constexpr std::size_t kOpenInputs = 4;

  private:
    // Where an input's next match begins, and when.
    struct Waiting {
        std::chrono::sys_seconds start;
        std::size_t input;
        bool operator>(const Waiting& other) const {
            return start != other.start ? start > other.start : input > other.input;
        }
    };

    OpenInput& open(std::size_t input);
    void close(std::size_t input);
    void wait(std::size_t input, std::optional<Waiting> place);
    void refuse(std::size_t input, const Tools::Failure& failure);

    const std::vector<Read::Input>& sources;
    std::vector<ReadOutcome> results;
    std::vector<std::unique_ptr<OpenInput>> opened;  // by input; null when closed
    std::vector<Read::ResumeAt> resumeAt;            // by input: its next match's first row
    std::vector<std::size_t> recentlyUsed;           // open inputs, the most recent last
    std::priority_queue<Waiting, std::vector<Waiting>, std::greater<>> waiting;
    std::uint64_t readSoFar = 0;
    std::uint64_t totalSize = 0;
};

}  // namespace Quorvel::Pipeline
