#include "TableReport.h"

#include "AdviceTexts.h"
#include "ConclusionTexts.h"
#include "DisplayText.h"
#include "TableColumns.h"
#include "TerminalText.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

namespace {

// A line of the table: each column's text in its width, one space apart.
template <typename Row, typename Text>
std::string line(const std::vector<Column<Row>>& columns, const Text& textOf) {
    std::string out;
    for (const Column<Row>& column : columns) {
        out += out.empty() ? "" : " ";
        out += Tools::cell(Tools::terminalSafe(textOf(column)), column.width, column.alignRight);
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out + "\n";
}

template <typename Row>
std::string titles(const std::vector<Column<Row>>& columns) {
    return line(columns, [](const Column<Row>& column) { return std::string(column.title); });
}

template <typename Row>
std::string cells(const std::vector<Column<Row>>& columns, const Row& row) {
    return line(columns, [&row](const Column<Row>& column) { return column.cell(row); });
}

}  // namespace

TableReport::TableReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), names(ShownNames::full(inputs)) {}

void TableReport::match(const Matches::MatchRows&, const MatchReport& r) {
    if (!headerWritten) {
        matches.write(titles(matchColumns()));
        headerWritten = true;
    }
    matches.write(cells(matchColumns(), r));
    matches.write("    " + Tools::terminalSafe(verdictText(r.verdict, r.events)) + "\n");
    if (const std::string tips = tipsLine(tipsFor(r.verdict)); !tips.empty()) {
        matches.write("    " + tips + "\n");
    }
    const std::string notes = matchNotes(r);
    if (!notes.empty()) {
        matches.write("    " + Tools::terminalSafe(notes) + "\n");
    }
    if (names.inputCount() > 1) {
        matches.write("    " + Tools::terminalSafe(matchSource(r, names)) + "\n");
    }
}

void TableReport::finish(const Analysis::ReportTotals& totals) {
    for (const Analysis::Conclusion& conclusion : totals.conclusions) {
        out.write(
            Tools::terminalSafe(conclusionLine(conclusion, totals.conclusions.size() > 1, names)) +
            "\n");
        if (const std::string tips = tipsLine(tipsFor(conclusion)); !tips.empty()) {
            out.write("  " + tips + "\n");
        }
    }
    out.write("\n");
    matches.moveTo(out);
    if (totals.servers.empty()) {
        return;
    }
    out.write("\n");
    out.write(titles(serverColumns()));
    for (const ServerSummary& s : totals.servers) {
        out.write(cells(serverColumns(), s));
    }
    if (totals.days.size() > 1) {  // how things went over days, when there are several
        out.write("\n");
        out.write(titles(dayColumns()));
        for (const Analysis::DaySummary& d : totals.days) {
            out.write(cells(dayColumns(), d));
        }
    }
    out.write("\n");
    out.write(kFiguresLegend);
}

}  // namespace Quorvel::Present
