// The plugin's ticks through the loaded module and the stand-in host's clock: an idle
// tick, the ticks of a match (those that write the match's journal apart from the
// others, each timed alone for its percentiles), and the flush of a ten-minute match
// with its file append.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "MatchJournal.h"
#include "PluginHarness.h"

namespace {

using QuorvelTest::PluginHarness;

void prepare(PluginHarness& harness) {
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    harness.load();
}

void BM_IdleTick(benchmark::State& state) {
    PluginHarness harness;
    prepare(harness);
    for (auto _ : state) {
        harness.host.advance(1.0);
    }
}

double percentileMicroseconds(std::vector<double>& nanoseconds, double share) {
    if (nanoseconds.empty()) {
        return 0;
    }
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(nanoseconds.size() - 1));
    std::nth_element(nanoseconds.begin(), nanoseconds.begin() + static_cast<std::ptrdiff_t>(rank),
                     nanoseconds.end());
    return nanoseconds[rank] / 1000.0;
}

void setPercentiles(benchmark::State& state, const char* kind, std::vector<double>& ticks) {
    for (const auto& [name, share] :
         {std::pair{"_p50_us", 0.5}, std::pair{"_p99_us", 0.99}, std::pair{"_p99.9_us", 0.999}}) {
        state.counters[std::string(kind) + name] = percentileMicroseconds(ticks, share);
    }
}

// Ten-minute matches with a tick in the menu between them. A tick that takes a match's
// tenth, twentieth... row writes the journal.
void BM_MatchTick(benchmark::State& state) {
    PluginHarness harness;
    prepare(harness);
    harness.enterMatch();
    harness.host.advance(1.0);  // finds the server, takes the first row
    std::size_t rows = 1;
    std::vector<double> ordinary;
    std::vector<double> journaling;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        harness.host.advance(1.0);
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        ++rows;
        (rows % Quorvel::MatchJournal::kRowsBetweenWrites == 0 ? journaling : ordinary)
            .push_back(took.count());
        if (rows == 600) {
            state.PauseTiming();
            harness.leaveMatch();
            harness.host.advance(1.0);
            harness.enterMatch();
            harness.host.advance(1.0);
            rows = 1;
            state.ResumeTiming();
        }
    }
    setPercentiles(state, "ordinary", ordinary);
    setPercentiles(state, "journaling", journaling);
}

void BM_Flush600Rows(benchmark::State& state) {
    PluginHarness harness;
    prepare(harness);
    for (auto _ : state) {
        state.PauseTiming();
        harness.enterMatch();
        for (int second = 0; second < 600; ++second) {
            harness.host.advance(1.0);
        }
        harness.leaveMatch();
        QuorvelTest::writeFile(harness.csvFile(), "");
        state.ResumeTiming();
        harness.host.advance(1.0);  // the flush
    }
}

BENCHMARK(BM_IdleTick)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_MatchTick)->Iterations(100000);
BENCHMARK(BM_Flush600Rows)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
