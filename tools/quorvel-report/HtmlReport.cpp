#include "HtmlReport.h"

#include <cstdio>

#include "DisplayText.h"
#include "MatchJson.h"
#include "PageAssets.h"
#include "Thresholds.h"

namespace QuorvelReport {

namespace {

using json = nlohmann::ordered_json;
using namespace Quorvel::Summary;
namespace T = Quorvel::Summary::Thresholds;

constexpr std::string_view kOpenMarker = "{{";
constexpr std::string_view kCloseMarker = "}}";

json valueOrNull(const Second& s, Statistic statistic) {
    return s.has(statistic) ? json(s[statistic]) : json(nullptr);
}

// The match's seconds as columns over clock time (the match's start plus its time into
// the match); a gap gets one point without values, so the charts show it as a gap.
json seriesOf(const MatchRows& rows, const std::vector<std::int64_t>& times,
              std::int64_t startEpoch) {
    json t = json::array();
    std::array<json, 7> columns;
    constexpr std::array<Statistic, 7> kShown = {
        Statistic::Ping, Statistic::Latency, Statistic::LostPacketsIn, Statistic::LostPacketsOut,
        Statistic::FPS,  Statistic::Buffer,  Statistic::BufferTarget};
    for (json& column : columns) {
        column = json::array();
    }
    for (std::size_t i = 0; i < rows.seconds.size(); ++i) {
        if (i > 0 && rows.seconds[i].time - rows.seconds[i - 1].time > T::kGap) {
            t.push_back(startEpoch + times[i - 1] + 1);
            for (json& column : columns) {
                column.push_back(nullptr);
            }
        }
        t.push_back(startEpoch + times[i]);
        for (std::size_t k = 0; k < kShown.size(); ++k) {
            columns[k].push_back(valueOrNull(rows.seconds[i], kShown[k]));
        }
    }
    return {{"t", t},
            {"ping", columns[0]},
            {"latency", columns[1]},
            {"lostIn", columns[2]},
            {"lostOut", columns[3]},
            {"fps", columns[4]},
            {"buffer", columns[5]},
            {"target", columns[6]}};
}

std::string thresholdsNote() {
    char text[640];
    std::snprintf(text, sizeof text,
                  "A ping spike is Ping above the match's median by %.0f times its spread (the "
                  "median absolute deviation x %.4f), at least %.0f ms; an FPS drop is FPS below "
                  "the median by %.0f times its spread, at least %.0f %% of it; a loss burst is "
                  "consecutive seconds with lost packets; the input buffer counts when it is %d "
                  "frames above its target for %d s or more. A gap is more than %lld s between "
                  "two rows.",
                  T::kSpikeSigmas, T::kMadToSigma, T::kSpikeFloorMs, T::kDropSigmas,
                  T::kDropFloorShare * 100.0, T::kBufferExcessFrames, T::kBufferRunSeconds,
                  static_cast<long long>(T::kGap.count()));
    return text;
}

}  // namespace

HtmlReport::HtmlReport(TextOutput& output, std::vector<std::filesystem::path> inputs)
    : out(output), files(std::move(inputs)) {
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

void HtmlReport::match(const MatchRows& rows, const std::vector<std::int64_t>& times,
                       const MatchReport& report) {
    const std::int64_t startEpoch = report.figures.start.time_since_epoch().count();
    json lines = {{"pingSpike", nullptr}, {"fpsDrop", nullptr}};
    if (const Figure spike = pingSpikeThreshold(report.figures)) {
        lines["pingSpike"] = std::round(*spike);
    }
    if (const Figure drop = fpsDropThreshold(report.figures)) {
        lines["fpsDrop"] = std::round(*drop);
    }
    const json data = {{"report", matchJson(report, files.at(report.file))},
                       {"series", seriesOf(rows, times, startEpoch)},
                       {"lines", lines}};
    out.write("<script type=\"application/json\" class=\"match-data\">");
    out.write(dumpJson(data, false, true));
    out.write("</script>\n");
}

void HtmlReport::finish(const std::vector<InputSummary>& inputs,
                        const std::vector<ServerSummary>& servers) {
    std::string title = "Quorvel report: ";
    json fileList = json::array();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        fileList.push_back(inputJson(inputs[i]));
        title += (i == 0 ? "" : ", ") + displayPath(inputs[i].path.filename());
    }
    json serverList = json::array();
    for (const ServerSummary& server : servers) {
        serverList.push_back(serverJson(server));
    }
    const json limits = {{"highPingP95Ms", T::kHighPingP95Ms},
                         {"highLatencyMedianMs", T::kHighLatencyMedianMs},
                         {"lowFps", T::kLowFps}};
    const json data = {{"title", title},
                       {"files", fileList},
                       {"servers", serverList},
                       {"limits", limits},
                       {"thresholdsNote", thresholdsNote()}};
    writeUntil("report");
    out.write("<script type=\"application/json\" id=\"report-data\">");
    out.write(dumpJson(data, false, true));
    out.write("</script>");
    writeUntil({});
}

}  // namespace QuorvelReport
