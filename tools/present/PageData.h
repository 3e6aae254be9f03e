#pragma once

// The page's data as it stands in the page: JSON in <script type="application/json">
// elements, read by the page's script; and the table of matches in its compact form.

#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "MatchReport.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// Writes `data` as one element with `attributes` (`class="match-data"`, say); no text
// in it can end the element.
void writeDataBlock(Tools::TextOutput& out, std::string_view attributes,
                    const nlohmann::ordered_json& data);
// The same for data already made with dumpJson(..., forPage = true).
void writeDumpedDataBlock(Tools::TextOutput& out, std::string_view attributes,
                          std::string_view pageJson);

// The table of matches, in blocks written as the matches come (a block of
// kTableBlockRows rows at a time, so memory holds one block whatever the number of
// matches). A block, `class="match-rows"`, holds its texts once, the most used first,
// and its rows as arrays of numbers: the match's number, then the place in `texts` of
// each cell after "#" (MatchTexts' matchCells), of the verdict's side, of its text and
// of the note that the game closed during the match (empty for most).
// Texts that repeat (servers, verdicts, figures) cost a digit or two a row.
class PageTable {
  public:
    explicit PageTable(Tools::TextOutput& output) : out(output) {}

    void add(const Analysis::MatchReport& report);
    // Writes the rows not yet written.
    void finish();

  private:
    std::uint32_t placeOf(std::string text);

    Tools::TextOutput& out;
    std::vector<std::vector<std::uint64_t>> rows;
    std::unordered_map<std::string, std::uint32_t> places;
    std::vector<std::string> texts;
    std::vector<std::size_t> uses;
};

inline constexpr std::size_t kTableBlockRows = 4096;

}  // namespace Quorvel::Present
