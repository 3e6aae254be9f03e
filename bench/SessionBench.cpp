// A week-long scenario of 201,600 phases (three seconds each, matches and the menu in
// turn): read, then played through the loaded module. Each second looks its phase up
// among all of them, so a lookup that is not logarithmic shows here.

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>
#include <string>

#include "Scenario.h"
#include "Session.h"
#include "TempDir.h"

namespace {

constexpr int kWeek = 7 * 24 * 3600;
constexpr int kPhaseSeconds = 3;

std::string weekOfPhases() {
    std::string text = "{\"seconds\": " + std::to_string(kWeek) + ", \"phases\": [";
    for (int from = 0; from < kWeek; from += kPhaseSeconds) {
        const bool match = (from / kPhaseSeconds) % 2 == 0;
        text +=
            (from == 0 ? "" : ",\n") + std::string("{\"from\": ") + std::to_string(from) +
            ", \"to\": " + std::to_string(from + kPhaseSeconds) +
            (match ? ", \"inOnlineGame\": true, \"matchGuid\": \"M" + std::to_string(from) + "\"}"
                   : "}");
    }
    return text +
           "], \"events\": [{\"at\": 0, \"launchLog\": \"GameURL=\\\"192.0.2.1:7777\\\"\"}]}";
}

// Console lines go nowhere; a stream that fails would end the session.
class Discard : public std::streambuf {
  protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

void BM_ReadWeekOfPhases(benchmark::State& state) {
    const std::string text = weekOfPhases();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Quorvel::Sim::parseScenario(text, "week.json"));
    }
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_PlayWeekOfPhases(benchmark::State& state) {
    const Quorvel::Sim::Scenario scenario = Quorvel::Sim::parseScenario(weekOfPhases(), "week");
    Discard nowhere;
    std::ostream out(&nowhere);
    // The plugin starts its file afresh at each load: one folder serves every run.
    const QuorvelTest::TempDir folder("quorvel-session-bench");
    std::filesystem::create_directories(folder / "data");
    Quorvel::Sim::SessionOptions options;
    options.modulePath = QUORVEL_MODULE_PATH;
    options.dataFolder = folder / "data";
    options.documentsFolder = folder / "Documents";
    options.player = "Steam|1|0";
    using namespace std::chrono;
    options.calendarStart = scenario.start.value_or(sys_days{2026y / December / 8} + 18h);
    for (auto _ : state) {
        const auto result = Quorvel::Sim::playSession(scenario, options, out);
        state.PauseTiming();
        if (result.files.size() != 1 || result.rowsNotWritten || result.outputFailed) {
            state.SkipWithError("the session did not write its file");
        }
        state.ResumeTiming();
    }
    state.counters["phases"] = static_cast<double>(scenario.phases.size());
}

BENCHMARK(BM_ReadWeekOfPhases)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayWeekOfPhases)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
