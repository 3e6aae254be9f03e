// The report's whole path on a 24-hour performance file (86,400 rows): read, split
// into matches, summarize, format.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "MatchSummary.h"
#include "PerformanceLog.h"

namespace {

std::string dayOfRows() {
    std::string csv =
        "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,"
        "PacketsIn,"
        "LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n";
    char row[256];
    for (int second = 0; second < 86400; ++second) {
        const int match = second / 600;  // a ten-minute match after another
        std::snprintf(
            row, sizeof row,
            "2026-12-08 "
            "%02d:%02d:%02d,Steam|76561190000000000|0,MATCH-%04d,10.0.%d.%d,7777,13,%d,%d,%d,"
            "60,60,%d,%d,2,2\n",
            second / 3600, second / 60 % 60, second % 60, match, match % 256, match % 7,
            120 + second % 37, 30 + second % 11, 35 + second % 13, second % 50 == 0 ? 2 : 0,
            second % 70 == 0 ? 3 : 0);
        csv += row;
    }
    return csv;
}

void BM_ReportOfADay(benchmark::State& state) {
    const std::string csv = dayOfRows();
    for (auto _ : state) {
        const auto log = Quorvel::Summary::readPerformanceLog(csv);
        const auto summaries = Quorvel::Summary::summarizeLog(log);
        benchmark::DoNotOptimize(Quorvel::Summary::formatTable(summaries));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 86400);
}

BENCHMARK(BM_ReportOfADay)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
