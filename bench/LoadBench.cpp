// onLoad through the loaded module with a 50 MB file from an earlier session: renamed
// into the history (the usual case), or copied there and emptied (the history on
// another file system), against a load that finds only the header; with an empty
// history and with a full one.

#include <benchmark/benchmark.h>

#include <chrono>

#include "CsvFile.h"
#include "HistoryFileName.h"
#include "HistoryLimit.h"
#include "PerformanceFormat.h"
#include "PluginHarness.h"
#include "UtcTimestamp.h"

#if defined(__linux__)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using QuorvelTest::PluginHarness;

constexpr std::size_t kEarlierBytes = std::size_t{50} << 20;

std::chrono::sys_seconds firstRow() {
    using namespace std::chrono;
    return sys_days{December / 8 / 2026} + 18h + 0min + 20s;
}

const std::string& earlierSession() {
    static const std::string contents = [] {
        std::string text(Quorvel::Format::kHeaderLine);
        const std::string row = Quorvel::Format::formatUtcTimestamp(firstRow()) +
                                ",Steam|76561190000000000|0,5F1A0C2E9B7D4E3A,185.34.107.21,7811,"
                                "13,142,34,39,60,60,0,0,2,2\n";
        while (text.size() + row.size() <= kEarlierBytes) {
            text += row;
        }
        return text;
    }();
    return contents;
}

// The files in the data folder the game reports, wherever a benchmark moved it.
std::filesystem::path history(const PluginHarness& harness) {
    return harness.host.game().dataFolder / Quorvel::Format::kHistoryFolderName;
}

std::filesystem::path csvFile(const PluginHarness& harness) {
    return *Quorvel::csvFilePath(harness.host.game().dataFolder, harness.host.game().uniqueId);
}

void BM_LoadFindsOnlyTheHeader(benchmark::State& state) {
    PluginHarness harness;
    harness.load();
    for (auto _ : state) {
        harness.object().onLoad();
    }
}

// Arg: sessions already in the history, every one of which the pruning looks at.
void BM_LoadRenames50MB(benchmark::State& state) {
    PluginHarness harness;
    std::filesystem::create_directories(history(harness));
    const auto longAgo = std::chrono::sys_days{std::chrono::January / 1 / 2025};
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        const auto name =
            Quorvel::Format::historyFileName("other", longAgo + std::chrono::minutes(i), 1);
        QuorvelTest::writeFile(history(harness) / name, "r\n");
    }
    QuorvelTest::writeFile(csvFile(harness), earlierSession());
    harness.load();
    const std::filesystem::path kept =
        history(harness) / Quorvel::Format::historyFileName(harness.game().uniqueId, firstRow(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::rename(kept, csvFile(harness));  // back for the next load
        state.ResumeTiming();
        harness.object().onLoad();
    }
    state.counters["MB"] = static_cast<double>(earlierSession().size()) / (1 << 20);
}

#if defined(__linux__)

bool sameDevice(const std::filesystem::path& a, const std::filesystem::path& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev;
}

// Arg 0: the data folder on the disk, the history in memory (/dev/shm); arg 1: the
// data folder in memory, the history on the disk, where the copy's flush waits for it.
void BM_LoadCopies50MB(benchmark::State& state) {
    PluginHarness harness;
    const std::filesystem::path memory =
        "/dev/shm/quorvel-load-bench-" + std::to_string(::getpid());
    std::filesystem::create_directories(memory);
    const bool historyOnDisk = state.range(0) == 1;
    const std::filesystem::path disk = harness.dataFolder / "elsewhere";
    std::filesystem::create_directories(disk);
    if (historyOnDisk) {
        harness.game().dataFolder = memory;
    }
    const std::filesystem::path historyTarget = historyOnDisk ? disk : memory / "history";
    std::filesystem::create_directories(historyTarget);
    if (sameDevice(historyTarget, harness.game().dataFolder)) {
        state.SkipWithError("/dev/shm is not another file system here");
        std::filesystem::remove_all(memory);
        return;
    }
    std::filesystem::create_directory_symlink(historyTarget, history(harness));
    harness.load();
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto& entry : std::filesystem::directory_iterator(historyTarget)) {
            std::filesystem::remove(entry.path());
        }
        QuorvelTest::writeFile(csvFile(harness), earlierSession());
        state.ResumeTiming();
        harness.object().onLoad();
    }
    std::filesystem::remove_all(memory);
    state.counters["MB"] = static_cast<double>(earlierSession().size()) / (1 << 20);
}

#endif

BENCHMARK(BM_LoadFindsOnlyTheHeader)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_LoadRenames50MB)
    ->Arg(0)
    ->Arg(Quorvel::kHistoryLimit.files - 1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);
#if defined(__linux__)
BENCHMARK(BM_LoadCopies50MB)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
#endif

}  // namespace

BENCHMARK_MAIN();
