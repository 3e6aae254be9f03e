#include "TableReport.h"

#include "DisplayText.h"
#include "TerminalText.h"

namespace Quorvel::Present {

namespace {

template <std::size_t N>
std::string line(const std::array<Column, N>& columns, const std::array<std::string, N>& texts) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        out += Tools::cell(Tools::terminalSafe(texts[i]), columns[i].width, columns[i].alignRight);
        out += i + 1 < N ? " " : "";
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out + "\n";
}

template <std::size_t N>
std::string titles(const std::array<Column, N>& columns) {
    std::array<std::string, N> texts;
    for (std::size_t i = 0; i < N; ++i) {
        texts[i] = columns[i].title;
    }
    return line(columns, texts);
}

}  // namespace

TableReport::TableReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), files(inputs) {}

void TableReport::match(const Matches::MatchRows&, const MatchReport& r) {
    if (!headerWritten) {
        matches.write(titles(kMatchColumns));
        headerWritten = true;
    }
    matches.write(line(kMatchColumns, matchCells(r)));
    matches.write("    " + Tools::terminalSafe(r.verdict.text) + "\n");
    const std::string notes = matchNotes(r);
    if (!notes.empty()) {
        matches.write("    " + Tools::terminalSafe(notes) + "\n");
    }
    if (files.size() > 1) {
        matches.write("    " + Tools::terminalSafe(matchSource(r, files)) + "\n");
    }
}

void TableReport::finish(const Analysis::ReportTotals& totals) {
    for (const Analysis::Conclusion& conclusion : totals.conclusions) {
        out.write(Tools::terminalSafe(conclusionLine(conclusion, totals.conclusions.size() > 1)) +
                  "\n");
    }
    out.write("\n");
    matches.moveTo(out);
    if (totals.servers.empty()) {
        return;
    }
    out.write("\n");
    out.write(titles(kServerColumns));
    for (const ServerSummary& s : totals.servers) {
        out.write(line(kServerColumns, serverCells(s)));
    }
    if (totals.days.size() > 1) {  // how things went over days, when there are several
        out.write("\n");
        out.write(titles(kDayColumns));
        for (const Analysis::DaySummary& d : totals.days) {
            out.write(line(kDayColumns, dayCells(d)));
        }
    }
    out.write("\n");
    out.write(kFiguresLegend);
}

}  // namespace Quorvel::Present
