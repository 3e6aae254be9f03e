#include "TableReport.h"

#include <algorithm>

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

// A report longer than this many lines says its conclusion again at its end, where the
// reader is when it has run past a screen.
constexpr std::size_t kScreenLines = 40;

}  // namespace

TableReport::TableReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs,
                         TableBounds tableBounds)
    : out(output), names(ShownNames::full(inputs)), bounds(std::move(tableBounds)) {}

void TableReport::match(const Matches::MatchRows&, const MatchReport& r) {
    std::string lines = cells(matchColumns(), r);
    lines += "    " + Tools::terminalSafe(verdictText(r.verdict, r.events)) + "\n";
    if (const std::string tips = tipsLine(tipsFor(r.verdict)); !tips.empty()) {
        lines += "    " + tips + "\n";
    }
    if (const std::string notes = matchNotes(r); !notes.empty()) {
        lines += "    " + Tools::terminalSafe(notes) + "\n";
    }
    if (names.inputCount() > 1) {
        lines += "    " + Tools::terminalSafe(matchSource(r, names)) + "\n";
    }
    ++matchesSeen;
    if (bounds.latestMatches == 0) {
        spooledLines += static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n'));
        matches.write(lines);
        return;
    }
    latest.push_back(std::move(lines));
    if (latest.size() > bounds.latestMatches) {
        latest.pop_front();
    }
}

void TableReport::say(const std::string& text) {
    out.write(text);
    linesSaid += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

void TableReport::sayConclusions(const Analysis::ReportTotals& totals) {
    for (const Analysis::Conclusion& conclusion : totals.conclusions) {
        say(Tools::terminalSafe(conclusionLine(conclusion, totals.conclusions.size() > 1, names)) +
            "\n");
        if (const std::string tips = tipsLine(tipsFor(conclusion)); !tips.empty()) {
            say("  " + tips + "\n");
        }
    }
}

void TableReport::sayMatches() {
    if (matchesSeen == 0) {
        return;
    }
    if (matchesSeen > latest.size() && bounds.latestMatches > 0) {
        const std::size_t earlier = matchesSeen - latest.size();
        say("The latest " + Tools::plural(latest.size(), "match", "matches") + " of " +
            groupedCount(matchesSeen) + "; the " +
            Tools::plural(earlier, "earlier one is", "earlier ones are") + " " + bounds.earlierAre +
            ".\n");
    }
    say(titles(matchColumns()));
    if (bounds.latestMatches == 0) {
        matches.moveTo(out);
        linesSaid += spooledLines;
        return;
    }
    for (const std::string& lines : latest) {
        say(lines);
    }
}

void TableReport::sayGroups(const Analysis::ReportTotals& totals) {
    say("\n");
    say(titles(serverColumns()));
    for (const ServerSummary& s : totals.servers) {
        say(cells(serverColumns(), s));
    }
    if (totals.days.size() > 1) {  // how things went over days, when there are several
        say("\n");
        say(titles(dayColumns()));
        for (const Analysis::DaySummary& d : totals.days) {
            say(cells(dayColumns(), d));
        }
    }
    say("\n");
    say(std::string(kFiguresLegend));
}

void TableReport::finish(const Analysis::ReportTotals& totals) {
    sayConclusions(totals);
    say("\n");
    sayMatches();
    if (totals.servers.empty()) {
        return;
    }
    sayGroups(totals);
    if (linesSaid > kScreenLines) {
        say("\n");
        sayConclusions(totals);
    }
}

}  // namespace Quorvel::Present
