// What the page keeps of many or long matches: the series of a long match bounded with
// its extremes kept, and the matches chosen for charts.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "ChartSeries.h"
#include "ChartedMatches.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel;
using Format::Statistic;
using Present::ChartSeries;

// A match of `seconds` rows, one a second from 10:00:00, leaving out [gapFrom, gapTo);
// Ping 30 to 36 and FPS 140 to 144 but for the seconds in `pings` and `fpss`.
struct MatchShape {
    std::int64_t seconds = 0;
    std::int64_t gapFrom = 0;
    std::int64_t gapTo = 0;
    std::vector<std::pair<std::int64_t, std::int32_t>> pings;  // (second, Ping)
    std::vector<std::pair<std::int64_t, std::int32_t>> fpss;   // (second, FPS)
};

Matches::MatchRows matchOf(const MatchShape& shape) {
    using namespace std::chrono;
    const auto& [seconds, gapFrom, gapTo, pings, fpss] = shape;
    Matches::MatchRows rows;
    for (std::int64_t s = 0; s < seconds; ++s) {
        if (s >= gapFrom && s < gapTo) {
            continue;
        }
        Read::Second second{
            sys_seconds{sys_days{2026y / December / 8} + 10h + std::chrono::seconds{s}}, {}};
        second.values.values.fill(2);
        second.values[Statistic::Ping] = static_cast<std::int32_t>(30 + s % 7);
        second.values[Statistic::FPS] = static_cast<std::int32_t>(140 + s % 5);
        for (const auto& [at, value] : pings) {
            second.values[Statistic::Ping] = at == s ? value : second.values[Statistic::Ping];
        }
        for (const auto& [at, value] : fpss) {
            second.values[Statistic::FPS] = at == s ? value : second.values[Statistic::FPS];
        }
        rows.seconds.push_back(second);
        rows.offsets.push_back(s);
    }
    return rows;
}

// The offsets of the points without any value.
std::vector<double> gapPoints(const ChartSeries& series) {
    std::vector<double> gaps;
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (std::none_of(series.columns.begin(), series.columns.end(),
                         [i](const auto& column) { return column.values[i].has_value(); })) {
            gaps.push_back(series.offsets[i]);
        }
    }
    return gaps;
}

// Where `statistic` reaches `value`: the offsets of those points.
std::vector<double> offsetsOf(const ChartSeries& series, Statistic statistic, std::int32_t value) {
    std::vector<double> found;
    for (std::size_t i = 0; i < series.size(); ++i) {
        if (series.column(statistic).values[i] == value) {
            found.push_back(series.offsets[i]);
        }
    }
    return found;
}

TEST(ChartSeries, AShortMatchKeepsEverySecondAndItsGaps) {
    const Matches::MatchRows rows =
        matchOf({.seconds = 600, .gapFrom = 100, .gapTo = 110, .pings = {{50, 400}}, .fpss = {}});
    const ChartSeries series = Present::chartSeries(rows);
    ASSERT_EQ(series.size(), rows.seconds.size() + 1);
    EXPECT_EQ(gapPoints(series), std::vector<double>{100});
    EXPECT_EQ(offsetsOf(series, Statistic::Ping, 400), std::vector<double>{50});
    for (std::size_t i = 0, row = 0; i < series.size(); ++i) {
        if (series.offsets[i] == 100) {
            continue;
        }
        EXPECT_EQ(series.offsets[i], static_cast<double>(rows.offsets[row]));
        EXPECT_EQ(series.column(Statistic::FPS).values[i], rows.seconds[row++][Statistic::FPS]);
    }
}

TEST(ChartSeries, ALongMatchIsBoundedAndKeepsItsSpikesDropsAndGaps) {
    struct Case {
        std::int64_t seconds;
        std::int64_t spikeAt;
        std::int64_t dropAt;
    };
    const Case cases[] = {{86400, 40000, 60000}, {1700, 1699, 0}, {7200, 1, 7199}};
    for (const Case& c : cases) {
        const std::int64_t gapFrom = c.seconds / 3, gapTo = gapFrom + 100;
        const Matches::MatchRows rows = matchOf({.seconds = c.seconds,
                                                 .gapFrom = gapFrom,
                                                 .gapTo = gapTo,
                                                 .pings = {{c.spikeAt, 900}},
                                                 .fpss = {{c.dropAt, 5}}});
        const ChartSeries series = Present::chartSeries(rows);
        EXPECT_LE(series.size(), Present::kMaxChartPoints) << c.seconds;
        EXPECT_TRUE(std::is_sorted(series.offsets.begin(), series.offsets.end())) << c.seconds;
        // Each extreme once, within one stretch of time of where it was.
        const double stretch = static_cast<double>(c.seconds) / Present::kChartStretches + 1;
        const auto spike = offsetsOf(series, Statistic::Ping, 900);
        ASSERT_EQ(spike.size(), 1u) << c.seconds;
        EXPECT_LE(std::abs(spike[0] - static_cast<double>(c.spikeAt)), stretch) << c.seconds;
        const auto drop = offsetsOf(series, Statistic::FPS, 5);
        ASSERT_EQ(drop.size(), 1u) << c.seconds;
        EXPECT_LE(std::abs(drop[0] - static_cast<double>(c.dropAt)), stretch) << c.seconds;
        // The gap is a break inside it, and the only one.
        const auto gaps = gapPoints(series);
        ASSERT_EQ(gaps.size(), 1u) << c.seconds;
        EXPECT_GT(gaps[0], static_cast<double>(gapFrom - 1)) << c.seconds;
        EXPECT_LT(gaps[0], static_cast<double>(gapTo)) << c.seconds;
    }
}

TEST(ChartedMatches, TheMostCountingEventsFirstThenTheLatest) {
    struct Case {
        const char* what;
        std::vector<std::size_t> counting;  // of matches 1, 2, ...
        std::vector<std::size_t> chosen;
    };
    const Case cases[] = {
        {"fewer than the places", {0, 3}, {1, 2}},
        {"none with problems: the latest", {0, 0, 0, 0, 0}, {3, 4, 5}},
        {"problems first, worst first", {2, 0, 1, 0, 0}, {1, 3, 5}},
        {"a late problem pushes out the oldest", {0, 0, 0, 5, 0}, {3, 4, 5}},
        {"as many problems: the latest", {1, 1, 1, 1, 0}, {2, 3, 4}},
        {"more problems than places", {4, 1, 3, 2, 5, 1}, {1, 3, 5}},
    };
    for (const Case& c : cases) {
        Present::ChartedMatches charted(3);
        for (std::size_t i = 0; i < c.counting.size(); ++i) {
            Analysis::MatchReport report;
            report.number = i + 1;
            report.events.kinds[Analysis::EventKind::LossBurst].counting = c.counting[i];
            charted.offer(report, [&report] { return std::to_string(report.number); });
        }
        std::vector<std::string> expected;
        expected.reserve(c.chosen.size());
        for (std::size_t number : c.chosen) {
            expected.push_back(std::to_string(number));
        }
        EXPECT_EQ(charted.byNumber(), expected) << c.what;
        EXPECT_EQ(charted.size(), c.chosen.size()) << c.what;
    }
}

TEST(ChartedMatches, AMatchThatIsNotChosenCostsNothing) {
    Present::ChartedMatches charted(2);
    std::size_t made = 0;
    for (std::size_t number : {1u, 2u, 3u}) {
        Analysis::MatchReport report;
        report.number = number;
        report.events.kinds[Analysis::EventKind::LossBurst].counting = number == 3 ? 0 : 4;
        charted.offer(report, [&made] {
            ++made;
            return std::string();
        });
    }
    EXPECT_EQ(made, 2u);
}

}  // namespace
}  // namespace QuorvelTest
