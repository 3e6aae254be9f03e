#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace Quorvel::Read {

// The rows of one input that could not be read: how many, the first few with what is
// wrong with them, and the lines they were on as ranges, in bounded memory however
// many there are.
class SkippedRows {
  public:
    void add(std::size_t firstLine, std::size_t lastLine, const std::string& what);
    // The same, for a line of binary data (a file that is no text at all is refused as such).
    void addBinary(std::size_t line, const std::string& what);
    // Adds the rows a later reading of the same input skipped (its lines come after).
    void append(const SkippedRows& later);

    std::size_t count() const { return total; }
    std::size_t binaryLines() const { return binary; }
    // "line N: what" for the first kListed rows.
    const std::vector<std::string>& listed() const { return messages; }
    // "3, 7–9, 12", the first kRangesKept ranges, then "…" if there were more.
    std::string lineRanges() const;

    static constexpr std::size_t kListed = 20;
    static constexpr std::size_t kRangesKept = 50;

  private:
    std::size_t total = 0;
    std::size_t binary = 0;
    std::vector<std::string> messages;
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    bool moreRanges = false;
};

}  // namespace Quorvel::Read
