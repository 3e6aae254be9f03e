#include "TableReport.h"

#include "DisplayText.h"

namespace Quorvel::Present {

namespace {

template <std::size_t N>
std::string line(const std::array<Column, N>& columns, const std::array<std::string, N>& texts) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        out += Tools::cell(texts[i], columns[i].width, columns[i].alignRight);
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

TableReport::TableReport(Tools::TextOutput& output) : out(output) {}

void TableReport::match(const Matches::MatchRows&, const MatchReport& r) {
    if (!headerWritten) {
        out.write(titles(kMatchColumns));
        headerWritten = true;
    }
    out.write(line(kMatchColumns, matchCells(r)));
    out.write("    " + r.verdict.text + "\n");
    const std::string notes = matchNotes(r);
    if (!notes.empty()) {
        out.write("    " + notes + "\n");
    }
}

void TableReport::finish(const std::vector<InputSummary>&,
                         const std::vector<ServerSummary>& servers) {
    if (servers.empty()) {
        return;
    }
    out.write("\n");
    out.write(titles(kServerColumns));
    for (const ServerSummary& s : servers) {
        out.write(line(kServerColumns, serverCells(s)));
    }
    out.write("\n");
    out.write(kFiguresLegend);
}

}  // namespace Quorvel::Present
