#include "HtmlReport.h"

#include <cmath>

#include "DisplayText.h"
#include "MatchJson.h"
#include "MatchTexts.h"
#include "MatchTime.h"
#include "PageAssets.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

using json = nlohmann::ordered_json;
using Format::Statistic;
namespace T = Thresholds;

constexpr std::string_view kOpenMarker = "{{";
constexpr std::string_view kCloseMarker = "}}";

// The statistics the charts show, under the names the page's script uses.
constexpr std::array<Statistic, 9> kCharted = {
    Statistic::Ping,       Statistic::Latency,       Statistic::PacketsIn,
    Statistic::PacketsOut, Statistic::LostPacketsIn, Statistic::LostPacketsOut,
    Statistic::FPS,        Statistic::Buffer,        Statistic::BufferTarget};

// The match's seconds as columns over clock time (the match's start plus its time into
// the match); a gap gets one point without values, so the charts show it as a gap.
json seriesOf(const Matches::MatchRows& rows, std::int64_t startEpoch) {
    json t = json::array();
    std::array<json, kCharted.size()> columns;
    for (json& column : columns) {
        column = json::array();
    }
    for (std::size_t i = 0; i < rows.seconds.size(); ++i) {
        if (i > 0 && Matches::isGap(rows.seconds[i - 1], rows.seconds[i])) {
            t.push_back(startEpoch + rows.offsets[i - 1] + 1);
            for (json& column : columns) {
                column.push_back(nullptr);
            }
        }
        t.push_back(startEpoch + rows.offsets[i]);
        for (std::size_t k = 0; k < kCharted.size(); ++k) {
            const Read::Second& s = rows.seconds[i];
            columns[k].push_back(s.has(kCharted[k]) ? json(s[kCharted[k]]) : json(nullptr));
        }
    }
    json series = {{"t", t}};
    for (std::size_t k = 0; k < kCharted.size(); ++k) {
        series[std::string(Format::statisticKey(kCharted[k]))] = std::move(columns[k]);
    }
    return series;
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
    return {{"matchColumns", titles(kMatchColumns)}, {"serverColumns", titles(kServerColumns)}};
}

}  // namespace

HtmlReport::HtmlReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), files(inputs) {
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
        } else {
            return name;  // a data marker: the caller writes what goes there
        }
    }
}

void HtmlReport::match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) {
    const std::int64_t startEpoch = report.figures.start.time_since_epoch().count();
    const json lines = {{"pingSpike", levelOrNull(Analysis::pingSpikeThreshold(report.figures))},
                        {"fpsDrop", levelOrNull(Analysis::fpsDropThreshold(report.figures))}};
    const json data = {{"report", matchJson(report, files.at(report.input).name())},
                       {"series", seriesOf(rows, startEpoch)},
                       {"lines", lines}};
    out.write("<script type=\"application/json\" class=\"match-data\">");
    out.write(dumpJson(data, false, true));
    out.write("</script>\n");
}

void HtmlReport::finish(const Analysis::ReportTotals& totals) {
    const std::vector<Analysis::InputSummary>& inputs = totals.inputs;
    const std::vector<Analysis::ServerSummary>& servers = totals.servers;
    std::string title = "Quorvel report: ";
    json fileList = json::array();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        fileList.push_back(inputJson(inputs[i]));
        title += (i == 0 ? "" : ", ") + (inputs[i].path.empty()
                                             ? inputs[i].name
                                             : Tools::displayPath(inputs[i].path.filename()));
    }
    json serverList = json::array();
    for (const Analysis::ServerSummary& server : servers) {
        serverList.push_back(serverJson(server));
    }
    const json limits = {{"highPingP95Ms", T::kHighPingP95Ms},
                         {"highLatencyMedianMs", T::kHighLatencyMedianMs},
                         {"lowFps", T::kLowFps}};
    const json data = {{"title", pageTitle(inputs)},
                       {"conclusion", conclusionJson(totals.conclusion)},
                       {"files", fileList},
                       {"servers", serverList},
                       {"table", tableJson()},
                       {"limits", limits},
                       {"legend", std::string(kFiguresLegend)},
                       {"thresholdsNote", thresholdsNote()}};
    writeUntil("report");
    out.write("<script type=\"application/json\" id=\"report-data\">");
    out.write(dumpJson(data, false, true));
    out.write("</script>");
    writeUntil({});
}

}  // namespace Quorvel::Present
