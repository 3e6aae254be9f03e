#include "PageData.h"

#include <algorithm>
#include <numeric>

#include "MatchJson.h"
#include "MatchTexts.h"

namespace Quorvel::Present {

using json = nlohmann::ordered_json;

void writeDumpedDataBlock(Tools::TextOutput& out, std::string_view attributes,
                          std::string_view pageJson) {
    out.write("<script type=\"application/json\" ");
    out.write(attributes);
    out.write(">");
    out.write(pageJson);
    out.write("</script>\n");
}

void writeDataBlock(Tools::TextOutput& out, std::string_view attributes, const json& data) {
    writeDumpedDataBlock(out, attributes, dumpJson(data, false, true));
}

std::uint32_t PageTable::placeOf(std::string text) {
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
    std::vector<std::uint64_t> row{report.number};
    MatchCells cells = matchCells(report);
    for (std::size_t i = 1; i < cells.size(); ++i) {
        row.push_back(placeOf(std::move(cells[i])));
    }
    row.push_back(placeOf(std::string(Analysis::causeName(report.verdict.cause))));
    row.push_back(placeOf(report.verdict.text));
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
    std::vector<std::uint64_t> placeNow(texts.size());
    json textList = json::array();
    for (std::uint32_t i : order) {
        placeNow[i] = textList.size();
        textList.push_back(std::move(texts[i]));
    }
    json rowList = json::array();
    for (std::vector<std::uint64_t>& row : rows) {
        for (std::size_t i = 1; i < row.size(); ++i) {
            row[i] = placeNow[row[i]];
        }
        rowList.push_back(std::move(row));
    }
    writeDataBlock(out, "class=\"match-rows\"", {{"texts", textList}, {"rows", rowList}});
    rows.clear();
    places.clear();
    texts.clear();
    uses.clear();
}

}  // namespace Quorvel::Present
