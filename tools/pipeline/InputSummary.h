#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Failure.h"
#include "Input.h"
#include "MatchRows.h"
#include "MatchStream.h"
#include "SkippedRows.h"

namespace Quorvel::Pipeline {

// What one input gave.
struct InputSummary {
    std::string name;                       // as messages name it
    std::filesystem::path path;             // empty for bytes
    std::optional<Tools::Failure> refused;  // why it could not be used, naming it
    std::size_t rows = 0;
    Read::SkippedRows skipped;
    std::size_t matches = 0;
    std::size_t matchesWithProblems = 0;  // verdict other than good
    std::set<std::string> servers;        // IPs
    std::set<std::string> players;        // UserIDs (the first few)
    // Matches all of whose seconds another input held too (a copy of a file): counted
    // once, with the input that gave them.
    std::size_t matchesAlreadyRead = 0;
    std::string alreadyReadIn;  // the first input that held one of them
    // Found in a folder with only its header: no match recorded yet, which is no fault.
    bool headerOnly = false;

    bool usable() const { return !refused; }
};

// What the matches of a report give each input, and what reading gave it.
class InputTally {
  public:
    // `inputs` must outlive the tally.
    explicit InputTally(const std::vector<Read::Input>& inputs);

    // A match of the report: counted in each input that gave it seconds, with its server
    // and player; an input all of whose seconds of it another gave (a copy) notes it as
    // read already.
    void count(const Matches::MatchOrigin& origin, const Matches::MatchInfo& info,
               bool withProblems);
    // Every input's summary, with what reading gave it (`outcomes`, by input). An input
    // that gave no row is refused too, but for a file of a folder that holds only its
    // header.
    std::vector<InputSummary> finish(std::vector<ReadOutcome> outcomes);

  private:
    const std::vector<Read::Input>& sources;
    std::vector<InputSummary> summaries;
};

// What the user is told of the rows an input skipped: each one named (the first few),
// then how many and which lines; nothing when none was skipped.
std::vector<std::string> skippedRowsMessages(const InputSummary& input);

// "B: 1 match also in A, counted once"; nothing when the input held no match another did.
std::optional<std::string> alreadyReadMessage(const InputSummary& input);

}  // namespace Quorvel::Pipeline
