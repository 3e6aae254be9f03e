#pragma once

// How the page draws its data: the charts of a match (each statistic a line with its
// label and colour, the kinds of event shaded on it, the levels and limits it shows),
// the charts comparing servers and days, the colours of the events' bands, and the
// legend that names them. The page's script draws what this says and names nothing
// itself.

#include <nlohmann/json.hpp>
#include <string_view>
#include <vector>

#include "Event.h"
#include "MatchFigures.h"

namespace Quorvel::Present {

// A statistic drawn as a line of a match's chart.
struct ChartLine {
    std::string_view label;  // in the chart's legend
    Format::Statistic statistic;
    std::string_view color;
    double width = 1.5;
};

// A level a match is measured against, drawn dashed across its chart: the spike line,
// the drop line.
struct DashedLevel {
    std::string_view label;
    std::string_view color;
    Analysis::Figure (*level)(const Analysis::MatchFigures&);
};

// A limit of the verdict, drawn dotted where the data reaches it.
struct Limit {
    std::string_view words;  // "high ping (p95)"
    double level;
    std::string_view unit;  // after the value in the label; empty for none
};

struct MatchChart {
    std::string_view key;  // the chart's name for the page's checks
    std::string_view title;
    std::string_view unit;
    std::vector<Analysis::EventKind> bands;  // the kinds shaded on it
    std::vector<ChartLine> lines;            // the one drawn last lies on top
    bool fromZero = false;                   // counts: the axis starts at zero
    std::vector<DashedLevel> dashed;
    std::vector<Limit> limits;
};

// The charts of a match, in the order they are shown.
const std::vector<MatchChart>& matchCharts();

// The statistics the charts of a match draw, each once, in the order they are drawn.
std::vector<Format::Statistic> chartedStatistics();

// The layout for the page's script: the charts of a match, of the servers and of the
// days, the bands' colours, the colour of the verdict's limits, and the legend under the
// page (the figures, what the bands and lines are, and the thresholds in words).
nlohmann::ordered_json pageLayoutJson();

// The dashed levels of one match's charts: [{"chart", "text", "level", "color"}], the
// level rounded, the text naming it ("spike line 75 ms"); none without values.
nlohmann::ordered_json dashedLevelsJson(const Analysis::MatchFigures& figures);

}  // namespace Quorvel::Present
