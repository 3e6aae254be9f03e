#include "PageLayout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "DisplayText.h"
#include "MatchEvents.h"
#include "Names.h"
#include "RuleTexts.h"
#include "TableColumns.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

using json = nlohmann::ordered_json;
using Analysis::EventKind;
using Format::Statistic;
namespace T = Thresholds;

// The verdict's limits: dotted, in this colour.
constexpr std::string_view kLimitColor = "#b02a2a";
constexpr std::string_view kLimitColorName = "red";

// Each verdict's colour in the strip of matches over time and its counts.
struct VerdictColor {
    Analysis::Cause cause;
    std::string_view color;
};
constexpr std::array<VerdictColor, Analysis::kCauseCount> kVerdictColors = {{
    {Analysis::Cause::Good, "#2a9d4a"},
    {Analysis::Cause::Connection, "#d03b2f"},
    {Analysis::Cause::Server, "#e8891c"},
    {Analysis::Cause::Computer, "#7d4cc0"},
    {Analysis::Cause::Incomplete, "#a0a0a0"},
}};

// Where the page says in which time zone it shows clock times: `{zone}` stands for the
// viewer's zone, as the browser names it.
constexpr std::string_view kZoneNote =
    "Clock times are in your time zone, {zone}; hover over one for UTC (the file, --json "
    "and --summary-csv keep UTC).";

// Kinds every chart of a match shades: its seconds without values or rows.
constexpr std::array<EventKind, 2> kOnEveryChart = {EventKind::NoValue, EventKind::NotRecorded};

// A series of a chart of groups (servers, days): `field` of each group's JSON entry,
// as bars beside each other (`bar`: -1 left, 1 right; 0 a line), on the axis `scale`.
struct GroupSeries {
    std::string_view label;
    std::string_view scale;
    std::string_view color;
    int bar;
    std::string_view field;
    std::string_view unit;  // after each value; empty: a whole number alone
};

struct GroupChart {
    std::string_view title;
    std::string_view nameLabel;  // what a group is: "server", "day"
    std::vector<std::pair<std::string_view, std::string_view>> axes;  // scale, label
    std::vector<GroupSeries> series;
};

const std::vector<GroupChart>& serverCharts() {
    static const std::vector<GroupChart> kCharts = {
        {"Servers compared: ping (ms)",
         "server",
         {{"y", "ping (ms)"}},
         {{"ping median", "y", "#1f77b4", -1, "pingMedianMs", "ms"},
          {"ping p95", "y", "#aec7e8", 1, "pingP95Ms", "ms"}}},
        {"Servers compared: packets lost (%)",
         "server",
         {{"y", "lost (%)"}},
         {{"lost in", "y", "#d62728", -1, "lossInPercent", "%"},
          {"lost out", "y", "#9467bd", 1, "lossOutPercent", "%"}}},
    };
    return kCharts;
}

const GroupChart& dayChart() {
    static const GroupChart kChart = {"Day by day: ping (ms) and FPS",
                                      "day",
                                      {{"y", "ping (ms)"}, {"fps", "FPS"}},
                                      {{"ping median", "y", "#1f77b4", 0, "pingMedianMs", "ms"},
                                       {"ping p95", "y", "#aec7e8", 0, "pingP95Ms", "ms"},
                                       {"FPS", "fps", "#2ca02c", 0, "fpsMean", ""}}};
    return kChart;
}

json groupChartJson(const GroupChart& chart) {
    json axes = json::array();
    for (const auto& [scale, label] : chart.axes) {
        axes.push_back(json::array({scale, label}));
    }
    json series = json::array();
    for (const GroupSeries& s : chart.series) {
        json entry = {{"label", s.label},
                      {"scale", s.scale},
                      {"color", s.color},
                      {"field", s.field},
                      {"unit", s.unit}};
        if (s.bar != 0) {
            entry["bar"] = s.bar;
        }
        series.push_back(std::move(entry));
    }
    return {{"title", chart.title},
            {"nameLabel", chart.nameLabel},
            {"axes", std::move(axes)},
            {"series", std::move(series)}};
}

std::string limitText(const Limit& limit) {
    return std::string(limit.words) + " " + Tools::formatFigure(limit.level) +
           (limit.unit.empty() ? "" : " " + std::string(limit.unit));
}

json matchChartJson(const MatchChart& chart) {
    json bands = json::array();
    for (EventKind kind : chart.bands) {
        bands.push_back(namesOf(kind).key);
    }
    json lines = json::array();
    for (const ChartLine& line : chart.lines) {
        lines.push_back({{"label", line.label},
                         {"key", Format::statisticKey(line.statistic)},
                         {"color", line.color},
                         {"width", line.width}});
    }
    json limits = json::array();
    for (const Limit& limit : chart.limits) {
        limits.push_back({{"text", limitText(limit)}, {"level", limit.level}});
    }
    return {{"key", chart.key}, {"title", chart.title},       {"unit", chart.unit},
            {"bands", bands},   {"fromZero", chart.fromZero}, {"lines", lines},
            {"limits", limits}};
}

// "ping spikes (blue), unstable ping (teal), ...": the bands in the order the charts
// show them, each name once.
std::string bandsLegend() {
    std::vector<std::string> entries;
    const auto add = [&entries](EventKind kind) {
        const KindNames& names = namesOf(kind);
        std::string entry = std::string(names.legend) + " (" + std::string(names.colourName) + ")";
        if (std::find(entries.begin(), entries.end(), entry) == entries.end()) {
            entries.push_back(std::move(entry));
        }
    };
    for (const MatchChart& chart : matchCharts()) {
        std::for_each(chart.bands.begin(), chart.bands.end(), add);
    }
    std::for_each(kOnEveryChart.begin(), kOnEveryChart.end(), add);
    std::string legend;
    for (const std::string& entry : entries) {
        legend += (legend.empty() ? "" : ", ") + entry;
    }
    return legend;
}

// The page's legend: the figures of the tables, what the bands and lines of the charts
// are, and the limits in words.
std::string pageLegend() {
    std::string figures(kFiguresLegend);
    std::replace(figures.begin(), figures.end(), '\n', ' ');
    while (!figures.empty() && figures.back() == ' ') {
        figures.pop_back();
    }
    return figures +
           " Shaded bands mark events, strong when they count in the verdict and faint when "
           "they are minor: " +
           bandsLegend() +
           ". Dashed lines are the levels a spike or drop is measured against; dotted " +
           std::string(kLimitColorName) +
           " lines the limits of the verdict, where the data reaches them. " + thresholdsNote();
}

}  // namespace

const std::vector<MatchChart>& matchCharts() {
    static const std::vector<MatchChart> kCharts = {
        {"ping",
         "Ping and latency",
         "ms",
         {EventKind::PingSpike, EventKind::UnstablePing, EventKind::ServerHiccup},
         // Latency first, wider and paler, so that ping stays in sight on top where they meet.
         {{"Latency", Statistic::Latency, "rgba(255, 127, 14, 0.7)", 3},
          {"Ping", Statistic::Ping, "#1f77b4"}},
         false,
         {{"spike line", "#1f77b4", &Analysis::pingSpikeThreshold}},
         {{"high ping (p95)", T::kHighPingP95Ms, "ms"},
          {"high latency (median)", T::kHighLatencyMedianMs, "ms"}}},
        {"packets",
         "Packets per second",
         "packets",
         {EventKind::NothingIn, EventKind::Outage},
         {{"In", Statistic::PacketsIn, "#17becf"}, {"Out", Statistic::PacketsOut, "#7f7f7f"}},
         true,
         {},
         {}},
        {"loss",
         "Packets lost per second",
         "packets",
         {EventKind::LossBurst, EventKind::SteadyLoss},
         {{"Lost in", Statistic::LostPacketsIn, "#d62728"},
          {"Lost out", Statistic::LostPacketsOut, "#9467bd"}},
         true,
         {},
         {}},
        {"fps",
         "Frames per second",
         "FPS",
         {EventKind::FpsDrop, EventKind::Stutter},
         {{"FPS", Statistic::FPS, "#2ca02c"}},
         false,
         {{"drop line", "#2ca02c", &Analysis::fpsDropThreshold}},
         {{"low FPS", T::kLowFps, ""}}},
        {"buffer",
         "Input buffer",
         "frames",
         {EventKind::BufferAboveTarget},
         {{"Buffer", Statistic::Buffer, "#8c564b"}, {"Target", Statistic::BufferTarget, "#7f7f7f"}},
         true,
         {},
         {}},
    };
    return kCharts;
}

std::vector<Statistic> chartedStatistics() {
    std::vector<Statistic> statistics;
    for (const MatchChart& chart : matchCharts()) {
        for (const ChartLine& line : chart.lines) {
            if (std::find(statistics.begin(), statistics.end(), line.statistic) ==
                statistics.end()) {
                statistics.push_back(line.statistic);
            }
        }
    }
    return statistics;
}

json pageLayoutJson() {
    json charts = json::array();
    for (const MatchChart& chart : matchCharts()) {
        charts.push_back(matchChartJson(chart));
    }
    json servers = json::array();
    for (const GroupChart& chart : serverCharts()) {
        servers.push_back(groupChartJson(chart));
    }
    json colors = json::object();
    for (std::size_t k = 0; k < Analysis::kEventKindCount; ++k) {
        const KindNames& names = namesOf(static_cast<EventKind>(k));
        colors[std::string(names.key)] = names.bandRgb;
    }
    json everyChart = json::array();
    for (EventKind kind : kOnEveryChart) {
        everyChart.push_back(namesOf(kind).key);
    }
    json verdictColors = json::object();
    for (const VerdictColor& v : kVerdictColors) {
        verdictColors[std::string(causeName(v.cause))] = v.color;
    }
    return {{"matchCharts", std::move(charts)},
            {"verdictColors", std::move(verdictColors)},
            {"zoneNote", kZoneNote},
            {"onEveryChart", std::move(everyChart)},
            {"serverCharts", std::move(servers)},
            {"dayChart", groupChartJson(dayChart())},
            {"bandColors", std::move(colors)},
            {"limitColor", kLimitColor},
            {"legend", pageLegend()}};
}

json dashedLevelsJson(const Analysis::MatchFigures& figures) {
    json levels = json::array();
    for (const MatchChart& chart : matchCharts()) {
        for (const DashedLevel& dashed : chart.dashed) {
            const Analysis::Figure level = dashed.level(figures);
            if (!level) {
                continue;
            }
            const double rounded = std::round(*level);
            levels.push_back(
                {{"chart", chart.key},
                 {"text", std::string(dashed.label) + " " + Tools::formatFigure(rounded) + " " +
                              std::string(chart.unit)},
                 {"level", rounded},
                 {"color", dashed.color}});
        }
    }
    return levels;
}

}  // namespace Quorvel::Present
