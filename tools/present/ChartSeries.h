#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "MatchRows.h"

namespace Quorvel::Present {

// A match longer than this many points is drawn in kChartStretches equal stretches of
// time, at most three points each; a chart is far fewer pixels wide than that.
inline constexpr std::size_t kChartStretches = 500;
inline constexpr std::size_t kMaxChartPoints = 3 * kChartStretches;

// One statistic's values at the points of a ChartSeries; nothing where there is none.
struct ChartColumn {
    Format::Statistic statistic;
    std::vector<std::optional<std::int32_t>> values;
};

// A match's seconds as the charts draw them: points at a time into the match (seconds,
// a half where a gap has to fit between two neighbours), with a column for each
// statistic the charts draw (PageLayout's chartedStatistics). A gap in the recording is
// a point without any value, so the charts break there.
struct ChartSeries {
    std::vector<double> offsets;
    std::vector<ChartColumn> columns;

    std::size_t size() const { return offsets.size(); }
    // The column of `statistic`; it must be one the charts draw.
    const ChartColumn& column(Format::Statistic statistic) const;
};

// Every second as it is while the match fits in kMaxChartPoints; beyond, each stretch
// gives its first and last second's times, carrying each statistic's lowest and
// highest value of the stretch in the order they came (spikes and drops stay seen),
// and a point without values after it when a gap falls inside or right after it.
ChartSeries chartSeries(const Matches::MatchRows& rows);

}  // namespace Quorvel::Present
