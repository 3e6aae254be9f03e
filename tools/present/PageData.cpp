#include "PageData.h"

#include <algorithm>
#include <numeric>

#include "MatchJson.h"
#include "MatchTexts.h"
#include "Names.h"
#include "TableColumns.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

using json = nlohmann::ordered_json;

std::string_view dataBlockAttributes(DataBlock block) {
    switch (block) {
        case DataBlock::MatchRows:
            return "class=\"match-rows\"";
        case DataBlock::MatchData:
            return "class=\"match-data\"";
        case DataBlock::Report:
            return "id=\"report-data\"";
    }
    return {};
}

void writeDumpedDataBlock(Tools::TextOutput& out, DataBlock block, std::string_view pageJson) {
    out.write("<script type=\"application/json\" ");
    out.write(dataBlockAttributes(block));
    out.write(">");
    out.write(pageJson);
    out.write("</script>\n");
}

void writeDataBlock(Tools::TextOutput& out, DataBlock block, const json& data) {
    writeDumpedDataBlock(out, block, dumpJson(data, false, true));
}

std::int64_t PageTable::placeOf(std::string text) {
    const auto [found, added] =
        places.try_emplace(std::move(text), static_cast<std::uint32_t>(texts.size()));
    if (added) {
        texts.push_back(found->first);
        uses.push_back(0);
    }
    ++uses[found->second];
    return found->second;
}

void PageTable::add(const Analysis::MatchReport& report) {
    // The number as it is, a clock time as seconds since 1970, then the places of the
    // other columns' texts.
    std::vector<std::int64_t> row{static_cast<std::int64_t>(report.number)};
    std::vector<std::string> cells = cellsOf(matchColumns(), report);
    for (std::size_t i = 1; i < cells.size(); ++i) {
        row.push_back(matchColumns()[i].clock ? report.figures.start.time_since_epoch().count()
                                              : placeOf(std::move(cells[i])));
    }
    row.push_back(placeOf(std::string(causeName(report.verdict.cause))));
    row.push_back(placeOf(verdictText(report.verdict, report.events)));
    row.push_back(placeOf(gameClosedNote(report)));
    rows.push_back(std::move(row));
    if (rows.size() == kTableBlockRows) {
        finish();
    }
}

void PageTable::finish() {
    if (rows.empty()) {
        return;
    }
    // The most used texts get the shortest places.
    std::vector<std::uint32_t> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [this](std::uint32_t a, std::uint32_t b) { return uses[a] > uses[b]; });
    std::vector<std::int64_t> placeNow(texts.size());
    json textList = json::array();
    for (std::uint32_t i : order) {
        placeNow[i] = static_cast<std::int64_t>(textList.size());
        textList.push_back(std::move(texts[i]));
    }
    json rowList = json::array();
    for (std::vector<std::int64_t>& row : rows) {
        for (std::size_t i = 1; i < row.size(); ++i) {
            const bool clock = i < matchColumns().size() && matchColumns()[i].clock;
            row[i] = clock ? row[i] : placeNow[static_cast<std::size_t>(row[i])];
        }
        rowList.push_back(std::move(row));
    }
    writeDataBlock(out, DataBlock::MatchRows, {{"texts", textList}, {"rows", rowList}});
    rows.clear();
    places.clear();
    texts.clear();
    uses.clear();
}

}  // namespace Quorvel::Present
