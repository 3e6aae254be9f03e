#include "PerformanceRow.h"

#include "CsvText.h"

namespace Quorvel::Format {

void appendPerformanceRow(std::string& out, const RowTextFields& texts, std::int32_t playlist,
                          const PerStatistic<std::int32_t>& statistics) {
    // The file's order is the enumerations' order: texts, playlist, statistics.
    bool first = true;
    for (std::string_view text : rowTexts(texts)) {
        if (!first) {
            out.push_back(',');
        }
        first = false;
        appendCsvField(out, text);
    }
    out.push_back(',');
    appendInteger(out, playlist);
    for (std::int32_t value : statistics) {
        out.push_back(',');
        appendInteger(out, value);
    }
    out.push_back('\n');
}

}  // namespace Quorvel::Format
