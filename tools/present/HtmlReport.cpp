#include "HtmlReport.h"

#include <algorithm>
#include <numeric>
#include <set>

#include "AdviceTexts.h"
#include "ChartSeries.h"
#include "DisplayText.h"
#include "MatchJson.h"
#include "MatchTexts.h"
#include "Names.h"
#include "PageAssets.h"
#include "PageLayout.h"
#include "ServerComparison.h"
#include "TableColumns.h"

namespace Quorvel::Present {

namespace {

using json = nlohmann::ordered_json;

constexpr std::string_view kOpenMarker = "{{";
constexpr std::string_view kCloseMarker = "}}";
// Days in the page's table of days: years of play, while the page stays small.
constexpr std::size_t kShownDays = 400;
// Matches a server's host is told of: the latest, enough to find them in its logs.
constexpr std::size_t kHostLines = 10;
// Servers on the first screen; the table of servers has them all.
constexpr std::size_t kServersCompared = 8;

// The words around the first screen's parts.
constexpr std::string_view kTipsHeading = "What may help";
constexpr std::string_view kForHostHeading = "For the server's host (ready to copy)";
constexpr std::string_view kCopyButton = "copy";
constexpr std::string_view kStripHeading = "Matches over time (each one links to its details)";

// A time into the match: whole seconds as integers, so the page stays short.
json offsetJson(double offset) {
    const auto whole = static_cast<std::int64_t>(offset);
    return static_cast<double>(whole) == offset ? json(whole) : json(offset);
}

// The chart's points as columns: time into the match, then each statistic's values.
json seriesJson(const ChartSeries& series) {
    json offsets = json::array();
    for (double offset : series.offsets) {
        offsets.push_back(offsetJson(offset));
    }
    json columns = {{"offset", std::move(offsets)}};
    for (const ChartColumn& column : series.columns) {
        json values = json::array();
        for (const std::optional<std::int32_t>& value : column.values) {
            values.push_back(value ? json(*value) : json(nullptr));
        }
        columns[std::string(Format::statisticKey(column.statistic))] = std::move(values);
    }
    return columns;
}

// The events the page lists and draws, by start: those that count, then the minor
// ones, kEventsShown at most.
json shownEvents(const Analysis::MatchEvents& events) {
    std::vector<const Analysis::Event*> shown;
    for (const bool counting : {true, false}) {
        for (const Analysis::Event& e : events.events) {
            if (e.significant == counting && shown.size() < kEventsShown) {
                shown.push_back(&e);
            }
        }
    }
    std::sort(shown.begin(), shown.end());  // they lie in the list by start
    json list = json::array();
    for (const Analysis::Event* e : shown) {
        list.push_back(eventJson(*e));
    }
    return list;
}

// Text for the page's markup: the characters that would start markup escaped.
std::string htmlText(std::string_view text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped.push_back(c);
        }
    }
    return escaped;
}

// Each column's title, and whether it holds text (kept to the left) or figures.
// A clock column also says how to title it in the viewer's zone: "start ({zone})".
template <typename Row>
json columnsJson(const std::vector<Column<Row>>& columns) {
    json list = json::array();
    for (const Column<Row>& column : columns) {
        json entry = {{"title", column.title}, {"text", !column.alignRight}};
        if (column.clock) {
            std::string zoned(column.title);
            const std::size_t utc = zoned.find("UTC");
            entry["zoneTitle"] = utc == std::string::npos ? zoned : zoned.replace(utc, 3, "{zone}");
        }
        list.push_back(std::move(entry));
    }
    return list;
}

json tableJson() {
    return {{"matchColumns", columnsJson(matchColumns())},
            {"serverColumns", columnsJson(serverColumns())},
            {"dayColumns", columnsJson(dayColumns())}};
}

}  // namespace

HtmlReport::HtmlReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs,
                       std::string otherMatchesHint)
    : out(output),
      names(ShownNames::shareable(inputs)),
      hint(std::move(otherMatchesHint)),
      table(output) {
    writeUntil("matches");
}

void HtmlReport::writeUntil(std::string_view marker) {
    for (std::string_view name = writeUpToNextMarker(); !name.empty() && name != marker;
         name = writeUpToNextMarker()) {
    }
}

std::string_view HtmlReport::writeUpToNextMarker() {
    const std::string_view page = kPageTemplate;
    for (;;) {
        const std::size_t open = page.find(kOpenMarker, templatePosition);
        if (open == std::string_view::npos) {
            out.write(page.substr(templatePosition));
            templatePosition = page.size();
            return {};
        }
        out.write(page.substr(templatePosition, open - templatePosition));
        const std::size_t close = page.find(kCloseMarker, open);
        const std::string_view name = page.substr(open + 2, close - open - 2);
        templatePosition = close + kCloseMarker.size();
        if (name == "uplot.css") {
            out.write(kChartCss);
        } else if (name == "uplot.js") {
            out.write(kChartScript);
        } else if (name == "report.css") {
            out.write(kPageCss);
        } else if (name == "report.js") {
            out.write(kPageScript);
        } else if (name == "title") {
            out.write(htmlText(pageTitle(names, std::set<std::string>{})));
        } else {
            return name;  // a data marker: the caller writes what goes there
        }
    }
}

void HtmlReport::remember(const Analysis::MatchReport& report) {
    strip.push_back({report.number, report.figures.start.time_since_epoch().count(),
                     report.figures.lengthSeconds, report.verdict.cause});
    if (strip.size() > kStripMatches) {
        strip.pop_front();
    }
    if (worthReporting(report.verdict)) {
        HostLines& host = forHosts[report.info.serverIp];
        host.lines.push_back(hostReportLine(report));
        if (host.lines.size() > kHostLines) {
            host.lines.pop_front();
            ++host.leftOut;
        }
    }
}

void HtmlReport::match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) {
    ++matches;
    table.add(report);
    remember(report);
    charted.offer(report, [&] {
        json data = {{"report", matchJson(report, names)},
                     {"series", seriesJson(chartSeries(rows))},
                     {"lines", dashedLevelsJson(report.figures)}};
        const MatchHeading heading = matchHeading(report);
        data["report"]["heading"] = {heading.lead, heading.where};
        if (worthReporting(report.verdict)) {
            data["forHost"] = hostReport(report.info.server(), {hostReportLine(report)}, 0);
        }
        data["report"]["events"] = shownEvents(report.events);
        const std::string note =
            eventsShownNote(data["report"]["events"].size(), report.events.total());
        if (!note.empty()) {
            data["eventsNote"] = note;
        }
        return dumpJson(data, false, true);
    });
}

// Each answer across matches, with what may help and, for a server, the note for its
// host.
json HtmlReport::conclusionsJson(const std::vector<Analysis::Conclusion>& all) const {
    json answers = Present::conclusionsJson(all, names)["conclusions"];
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto host = forHosts.find(all[i].serverIp);
        if (all[i].side == Analysis::Conclusion::Side::Server && host != forHosts.end()) {
            const HostLines& lines = host->second;
            answers[i]["forHost"] = hostReport(
                all[i].serverIp, {lines.lines.begin(), lines.lines.end()}, lines.leftOut);
        }
    }
    return answers;
}

namespace {

// The places of the `count` servers played most (most matches, then most seconds), in
// the order the servers are listed.
std::vector<std::size_t> mostPlayed(const std::vector<Analysis::ServerSummary>& servers,
                                    std::size_t count) {
    std::vector<std::size_t> places(servers.size());
    std::iota(places.begin(), places.end(), std::size_t{0});
    if (servers.size() <= count) {
        return places;
    }
    const auto playedMore = [&servers](std::size_t a, std::size_t b) {
        return std::pair(servers[a].matches, servers[a].secondsPlayed) >
               std::pair(servers[b].matches, servers[b].secondsPlayed);
    };
    std::stable_sort(places.begin(), places.end(), playedMore);
    places.resize(count);
    std::sort(places.begin(), places.end());
    return places;
}

}  // namespace

// The verdicts counted, the strip of the latest matches and the servers compared.
json HtmlReport::firstScreenJson(const Analysis::ReportTotals& totals) const {
    Analysis::PerCause<std::size_t> verdicts;
    for (const Analysis::ServerSummary& server : totals.servers) {
        for (std::size_t c = 0; c < Analysis::kCauseCount; ++c) {
            verdicts[static_cast<Analysis::Cause>(c)] +=
                server.verdicts[static_cast<Analysis::Cause>(c)];
        }
    }
    json counts = json::array();
    for (std::size_t c = 0; c < Analysis::kCauseCount; ++c) {
        const auto cause = static_cast<Analysis::Cause>(c);
        if (verdicts[cause] > 0) {
            counts.push_back(
                {{"cause", causeName(cause)},
                 {"matches", verdicts[cause]},
                 {"text", groupedCount(verdicts[cause]) + " " + std::string(causeName(cause))}});
        }
    }
    json stripList = json::array();
    for (const StripMatch& m : strip) {
        stripList.push_back({m.number, m.startEpochSeconds, m.lengthSeconds, causeName(m.cause)});
    }
    const ServerComparison comparison =
        compareServers(totals.servers, totals.conclusions, kServersCompared);
    json compared = json::array();
    for (const ComparedServer& s : comparison.servers) {
        compared.push_back({{"serverIp", s.serverIp},
                            {"value", s.value},
                            {"text", s.text},
                            {"verdicts", s.verdicts},
                            {"blamed", s.blamed}});
    }
    json screen = {{"tipsHeading", kTipsHeading},         {"forHostHeading", kForHostHeading},
                   {"copyButton", kCopyButton},           {"verdictCounts", std::move(counts)},
                   {"stripHeading", kStripHeading},       {"strip", std::move(stripList)},
                   {"comparisonTitle", comparison.title}, {"servers", std::move(compared)}};
    if (matches > strip.size()) {
        screen["stripNote"] = "The latest " + groupedCount(strip.size()) + " of " +
                              groupedCount(matches) + " matches; the table below has them all.";
    }
    if (comparison.leftOut > 0) {
        screen["serversNote"] = "and " +
                                Tools::plural(comparison.leftOut, "other server", "other servers") +
                                ", in the table of servers below";
    }
    return screen;
}

void HtmlReport::finish(const Analysis::ReportTotals& totals) {
    table.finish();
    for (const std::string& data : charted.byNumber()) {
        writeDumpedDataBlock(out, DataBlock::MatchData, data);
    }
    json fileList = json::array();
    for (std::size_t i = 0; i < totals.inputs.size(); ++i) {
        fileList.push_back(inputJson(totals.inputs[i], i, names));
        fileList.back().erase("servers");  // the headline names them; the table lists them
    }
    json serverList = json::array();
    for (const std::size_t i : mostPlayed(totals.servers, kShownServers)) {
        serverList.push_back(serverJson(totals.servers[i]));
    }
    json dayList = json::array();
    const std::size_t firstDay = totals.days.size() - std::min(totals.days.size(), kShownDays);
    for (std::size_t i = firstDay; i < totals.days.size(); ++i) {
        dayList.push_back(dayJson(totals.days[i]));
    }
    json data = {{"title", pageTitle(names, totals.inputs)},
                 {"conclusions", conclusionsJson(totals.conclusions)},
                 {"firstScreen", firstScreenJson(totals)},
                 {"files", fileList},
                 {"servers", serverList},
                 {"days", dayList},
                 {"table", tableJson()},
                 {"layout", pageLayoutJson()}};
    if (totals.servers.size() > kShownServers) {
        data["serversNote"] = "The " + groupedCount(kShownServers) + " servers played most of " +
                              groupedCount(totals.servers.size()) + "; --json lists them all.";
    }
    if (firstDay > 0) {
        data["daysNote"] = "The latest " + std::to_string(kShownDays) + " of " +
                           std::to_string(totals.days.size()) + " days; --json lists them all.";
    }
    if (const std::string line = chartedMatchesLine(charted.size(), matches); !line.empty()) {
        data["chartsNote"] = hint.empty() ? line : line + " " + hint;
    }
    writeUntil("report");
    writeDataBlock(out, DataBlock::Report, data);
    writeUntil({});
}

}  // namespace Quorvel::Present
