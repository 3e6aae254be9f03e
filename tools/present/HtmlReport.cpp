#include "HtmlReport.h"

#include <algorithm>
#include <cmath>

#include "ChartSeries.h"
#include "MatchJson.h"
#include "MatchTexts.h"
#include "PageAssets.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

using json = nlohmann::ordered_json;
namespace T = Thresholds;

constexpr std::string_view kOpenMarker = "{{";
constexpr std::string_view kCloseMarker = "}}";
// Days in the page's table of days: years of play, while the page stays small.
constexpr std::size_t kShownDays = 400;

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
    for (std::size_t k = 0; k < kCharted.size(); ++k) {
        json column = json::array();
        for (const std::optional<std::int32_t>& value : series.values[k]) {
            column.push_back(value ? json(*value) : json(nullptr));
        }
        columns[std::string(Format::statisticKey(kCharted[k]))] = std::move(column);
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

// The title before the files are read: their names; the script adds the players.
std::string titleOfFiles(const std::vector<Read::Input>& inputs) {
    std::vector<TitleFile> files;
    files.reserve(inputs.size());
    for (const Read::Input& input : inputs) {
        files.push_back({input.name(), input.path()});
    }
    return pageTitle(files, {});
}

json levelOrNull(Analysis::Figure level) {
    return level ? json(std::round(*level)) : json(nullptr);
}

json tableJson() {
    const auto titles = [](const auto& columns) {
        json list = json::array();
        for (const Column& column : columns) {
            list.push_back(column.title);
        }
        return list;
    };
    return {{"matchColumns", titles(kMatchColumns)},
            {"serverColumns", titles(kServerColumns)},
            {"dayColumns", titles(kDayColumns)}};
}

}  // namespace

HtmlReport::HtmlReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs,
                       std::string otherMatchesHint)
    : out(output), files(inputs), hint(std::move(otherMatchesHint)), table(output) {
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
            out.write(htmlText(titleOfFiles(files)));
        } else {
            return name;  // a data marker: the caller writes what goes there
        }
    }
}

void HtmlReport::match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) {
    ++matches;
    table.add(report);
    charted.offer(report, [&] {
        const json lines = {
            {"pingSpike", levelOrNull(Analysis::pingSpikeThreshold(report.figures))},
            {"fpsDrop", levelOrNull(Analysis::fpsDropThreshold(report.figures))}};
        json data = {{"report", matchJson(report, files)},
                     {"series", seriesJson(chartSeries(rows))},
                     {"lines", lines}};
        data["report"]["events"] = shownEvents(report.events);
        const std::string note =
            eventsShownNote(data["report"]["events"].size(), report.events.total());
        if (!note.empty()) {
            data["eventsNote"] = note;
        }
        return dumpJson(data, false, true);
    });
}

void HtmlReport::finish(const Analysis::ReportTotals& totals) {
    table.finish();
    for (const std::string& data : charted.byNumber()) {
        writeDumpedDataBlock(out, "class=\"match-data\"", data);
    }
    json fileList = json::array();
    for (const Analysis::InputSummary& input : totals.inputs) {
        fileList.push_back(inputJson(input));
    }
    json serverList = json::array();
    for (const Analysis::ServerSummary& server : totals.servers) {
        serverList.push_back(serverJson(server));
    }
    json dayList = json::array();
    const std::size_t firstDay = totals.days.size() - std::min(totals.days.size(), kShownDays);
    for (std::size_t i = firstDay; i < totals.days.size(); ++i) {
        dayList.push_back(dayJson(totals.days[i]));
    }
    const json limits = {{"highPingP95Ms", T::kHighPingP95Ms},
                         {"highLatencyMedianMs", T::kHighLatencyMedianMs},
                         {"lowFps", T::kLowFps}};
    json data = {{"title", pageTitle(totals.inputs)},
                 {"conclusions", conclusionsJson(totals.conclusions)["conclusions"]},
                 {"files", fileList},
                 {"servers", serverList},
                 {"days", dayList},
                 {"table", tableJson()},
                 {"limits", limits},
                 {"legend", std::string(kFiguresLegend)},
                 {"thresholdsNote", thresholdsNote()}};
    if (firstDay > 0) {
        data["daysNote"] = "The latest " + std::to_string(kShownDays) + " of " +
                           std::to_string(totals.days.size()) + " days; --json lists them all.";
    }
    if (const std::string line = chartedMatchesLine(charted.size(), matches); !line.empty()) {
        data["chartsNote"] = hint.empty() ? line : line + " " + hint;
    }
    writeUntil("report");
    writeDataBlock(out, "id=\"report-data\"", data);
    writeUntil({});
}

}  // namespace Quorvel::Present
