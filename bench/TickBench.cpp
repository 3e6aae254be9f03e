// The plugin's ticks through the loaded module and the stand-in host's clock: an idle
// tick, a sampling tick, and the flush of a ten-minute match with its file append.

#include <benchmark/benchmark.h>

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

void BM_SamplingTick(benchmark::State& state) {
    PluginHarness harness;
    prepare(harness);
    harness.enterMatch();
    harness.host.advance(1.0);  // finds the server
    int rows = 0;
    for (auto _ : state) {
        harness.host.advance(1.0);
        if (++rows == 600) {  // a ten-minute match, then the menu
            state.PauseTiming();
            harness.leaveMatch();
            harness.host.advance(1.0);
            harness.enterMatch();
            harness.host.advance(1.0);
            rows = 0;
            state.ResumeTiming();
        }
    }
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
BENCHMARK(BM_SamplingTick)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_Flush600Rows)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
