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

// The page's data elements, as its script finds them.
enum class DataBlock {
    MatchRows,  // class="match-rows": a block of the table of matches
    MatchData,  // class="match-data": one match's charts
    Report,     // id="report-data": the rest of the report
};

// The attributes that mark an element of the kind: `class="match-data"`, say.
std::string_view dataBlockAttributes(DataBlock block);

// Writes `data` as one element of its kind; no text in it can end the element.
void writeDataBlock(Tools::TextOutput& out, DataBlock block, const nlohmann::ordered_json& data);
// The same for data already made with dumpJson(..., forPage = true).
void writeDumpedDataBlock(Tools::TextOutput& out, DataBlock block, std::string_view pageJson);

// The table of matches, in blocks written as the matches come (a block of
// kTableBlockRows rows at a time, so memory holds one block whatever the number of
// matches). A block, `class="match-rows"`, holds its texts once, the most used first,
// and its rows as arrays of numbers: the match's number, then for each cell after "#"
// (TableColumns' matchColumns) its place in `texts`, or for a clock column the time in
// seconds since 1970 (UTC; the page shows it in the viewer's zone), then the places of
// the verdict's side, of its text and of the note that the game closed during the
// match (empty for most).
// Texts that repeat (servers, verdicts, figures) cost a digit or two a row.
class PageTable {
  public:
    explicit PageTable(Tools::TextOutput& output) : out(output) {}

    void add(const Analysis::MatchReport& report);
    // Writes the rows not yet written.
    void finish();

  private:
    std::int64_t placeOf(std::string text);

    Tools::TextOutput& out;
    std::vector<std::vector<std::int64_t>> rows;
    std::unordered_map<std::string, std::uint32_t> places;
    std::vector<std::string> texts;
    std::vector<std::size_t> uses;
};

inline constexpr std::size_t kTableBlockRows = 4096;

}  // namespace Quorvel::Present
