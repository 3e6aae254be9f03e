#include "ChartSeries.h"

#include <algorithm>

#include "MatchTime.h"
#include "PageLayout.h"

namespace Quorvel::Present {

namespace {

using Matches::MatchRows;

// A series with a column for each charted statistic, no point yet.
ChartSeries emptySeries() {
    ChartSeries series;
    for (Format::Statistic statistic : chartedStatistics()) {
        series.columns.push_back({statistic, {}});
    }
    return series;
}

void addPoint(ChartSeries& series, double offset) {
    series.offsets.push_back(offset);
    for (ChartColumn& column : series.columns) {
        column.values.emplace_back();
    }
}

void addSecond(ChartSeries& series, const MatchRows& rows, std::size_t i) {
    series.offsets.push_back(static_cast<double>(rows.offsets[i]));
    const Read::Second& s = rows.seconds[i];
    for (ChartColumn& column : series.columns) {
        column.values.push_back(s.has(column.statistic) ? std::optional(s[column.statistic])
                                                        : std::nullopt);
    }
}

// After row `last`, when a gap follows: a point without values between it and the next.
void addGapAfter(ChartSeries& series, const MatchRows& rows, std::size_t last) {
    const auto at = static_cast<double>(rows.offsets[last]);
    const double next =
        last + 1 < rows.offsets.size() ? static_cast<double>(rows.offsets[last + 1]) : at + 2;
    addPoint(series, std::min(at + 1, (at + next) / 2));
}

ChartSeries everySecond(const MatchRows& rows) {
    ChartSeries series = emptySeries();
    for (std::size_t i = 0; i < rows.seconds.size(); ++i) {
        if (i > 0 && Matches::isGap(rows.seconds[i - 1], rows.seconds[i])) {
            addGapAfter(series, rows, i - 1);
        }
        addSecond(series, rows, i);
    }
    return series;
}

// Rows [first, last] as two points: per statistic its lowest and highest value, the
// earlier of the two first.
void addStretch(ChartSeries& series, const MatchRows& rows, std::size_t first, std::size_t last) {
    if (first == last) {
        addSecond(series, rows, first);
        return;
    }
    series.offsets.push_back(static_cast<double>(rows.offsets[first]));
    series.offsets.push_back(static_cast<double>(rows.offsets[last]));
    for (ChartColumn& column : series.columns) {
        const Format::Statistic statistic = column.statistic;
        std::optional<std::size_t> low, high;
        for (std::size_t i = first; i <= last; ++i) {
            const Read::Second& s = rows.seconds[i];
            if (!s.has(statistic)) {
                continue;
            }
            low = !low || s[statistic] < rows.seconds[*low][statistic] ? i : *low;
            high = !high || s[statistic] > rows.seconds[*high][statistic] ? i : *high;
        }
        if (!low) {
            column.values.insert(column.values.end(), 2, std::nullopt);
            continue;
        }
        const std::size_t earlier = std::min(*low, *high), later = std::max(*low, *high);
        column.values.push_back(rows.seconds[earlier][statistic]);
        column.values.push_back(rows.seconds[later][statistic]);
    }
}

ChartSeries byStretches(const MatchRows& rows) {
    ChartSeries series = emptySeries();
    const std::int64_t width =
        (rows.lengthSeconds() + static_cast<std::int64_t>(kChartStretches) - 1) /
        static_cast<std::int64_t>(kChartStretches);
    const std::size_t n = rows.seconds.size();
    for (std::size_t first = 0; first < n;) {
        const std::int64_t stretch = rows.offsets[first] / width;
        std::size_t last = first;
        bool gap = false;
        for (; last + 1 < n && rows.offsets[last + 1] / width == stretch; ++last) {
            gap = gap || Matches::isGap(rows.seconds[last], rows.seconds[last + 1]);
        }
        gap = gap || (last + 1 < n && Matches::isGap(rows.seconds[last], rows.seconds[last + 1]));
        addStretch(series, rows, first, last);
        if (gap) {
            addGapAfter(series, rows, last);
        }
        first = last + 1;
    }
    return series;
}

}  // namespace

const ChartColumn& ChartSeries::column(Format::Statistic statistic) const {
    return *std::find_if(columns.begin(), columns.end(),
                         [statistic](const ChartColumn& c) { return c.statistic == statistic; });
}

ChartSeries chartSeries(const MatchRows& rows) {
    std::size_t points = rows.seconds.size();
    for (std::size_t i = 1; i < rows.seconds.size() && points <= kMaxChartPoints; ++i) {
        points += Matches::isGap(rows.seconds[i - 1], rows.seconds[i]) ? 1u : 0u;
    }
    return points <= kMaxChartPoints ? everySecond(rows) : byStretches(rows);
}

}  // namespace Quorvel::Present
