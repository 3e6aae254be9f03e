#pragma once

// The tables of matches, servers and days, one row per column: its title, its width in
// a terminal, the side it keeps to and what it shows of a match or group. The terminal
// table, the JSON's `texts.cells` and the page's tables all take their cells from here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "MatchReport.h"
#include "ServerTable.h"

namespace Quorvel::Present {

template <typename Row>
struct Column {
    std::string_view title;
    std::size_t width;
    bool alignRight;  // figures; texts keep to the left
    std::string (*cell)(const Row&);
    // A clock time (UTC in the cell): the page shows it in the viewer's time zone.
    bool clock = false;
};

// The figures' legend under the tables.
inline constexpr std::string_view kFiguresLegend =
    "ping, jitter and latency in ms (median, then 99th or 95th percentile); loss in % of\n"
    "packets; FPS mean and 1 % low; input buffer mean and its target in frames; events\n"
    "that count in the verdict + minor ones\n";

// "#" (the match's number) first.
const std::vector<Column<Analysis::MatchReport>>& matchColumns();
const std::vector<Column<Analysis::ServerSummary>>& serverColumns();
const std::vector<Column<Analysis::DaySummary>>& dayColumns();

// "3 good, 1 connection": a group's matches by verdict.
std::string verdictCounts(const Analysis::GroupSummary& group);

// Each column's cell of `row`, in order.
template <typename Row>
std::vector<std::string> cellsOf(const std::vector<Column<Row>>& columns, const Row& row) {
    std::vector<std::string> cells;
    cells.reserve(columns.size());
    for (const Column<Row>& column : columns) {
        cells.push_back(column.cell(row));
    }
    return cells;
}

}  // namespace Quorvel::Present
