// Our Launch.log scan against the literal approach (every line of the whole file
// searched with std::regex), on generated logs of 1, 16 and 128 MB with the last
// entry near the end, in the middle, or absent; then the repeated scan of an
// unchanged log and of a 128 MB log that grows by about 1 KB before each scan. Prints
// the speed-up at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <string>

#include "LaunchLogScan.h"

namespace {

namespace fs = std::filesystem;

enum class Placement { NearEnd, Middle, Absent };
const char* const kPlacementNames[] = {"near_end", "middle", "absent"};

fs::path benchFolder() {
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / "quorvel-bench-logs";
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// A log of `megabytes` MB made of game-like lines, a few with quotes, with one
// GameURL entry placed as asked ("near the end" is half a megabyte before it).
fs::path generatedLog(int megabytes, Placement placement) {
    fs::path file = benchFolder() / ("Launch-" + std::to_string(megabytes) + "-" +
                                     kPlacementNames[static_cast<int>(placement)] + ".log");
    const auto size = static_cast<std::uintmax_t>(megabytes) << 20;
    std::error_code error;
    if (fs::file_size(file, error) == size) {
        return file;
    }
    const std::uintmax_t entryAt = placement == Placement::Middle    ? size / 2
                                   : placement == Placement::NearEnd ? size - (512u << 10)
                                                                     : size + 1;
    std::string text;
    text.reserve(size);
    for (unsigned line = 0; text.size() < size; ++line) {
        if (text.size() >= entryAt && text.size() < entryAt + 200) {
            text += "[0042.17][  1]LogNet: Browse: GameURL=\"10.0.0.1:7777\" Options\n";
        }
        char buffer[160];
        const int length =
            line % 10 == 0
                ? std::snprintf(buffer, sizeof buffer,
                                "[%04u.%02u][%3u]LogOnline: Warning: \"Profile_%u\" not cached\n",
                                line / 100, line % 100, line % 997, line)
                : std::snprintf(buffer, sizeof buffer,
                                "[%04u.%02u][%3u]LogNet: Game client on port %u, rate %u\n",
                                line / 100, line % 100, line % 997, 7000 + line % 1000, line * 7);
        text.append(buffer, static_cast<std::size_t>(length));
    }
    text.resize(size);
    std::ofstream(file, std::ios::binary).write(text.data(), static_cast<std::streamsize>(size));
    return file;
}

std::optional<std::string> literalScan(const fs::path& file) {
    static const std::regex pattern("GameURL=\"([^\"]*)\"");
    std::ifstream in(file);
    std::optional<std::string> last;
    std::smatch match;
    for (std::string line; std::getline(in, line);) {
        if (std::regex_search(line, match, pattern)) {
            last = match[1].str();
        }
    }
    return last;
}

void setBytes(benchmark::State& state, const fs::path& file) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(fs::file_size(file)));
}

void BM_Literal(benchmark::State& state) {
    const fs::path file =
        generatedLog(static_cast<int>(state.range(0)), static_cast<Placement>(state.range(1)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(literalScan(file));
    }
    setBytes(state, file);
}

void BM_FirstScan(benchmark::State& state) {
    const fs::path file =
        generatedLog(static_cast<int>(state.range(0)), static_cast<Placement>(state.range(1)));
    for (auto _ : state) {
        Quorvel::LaunchLogScanner scanner;
        benchmark::DoNotOptimize(scanner.lastEntry(file));
    }
    setBytes(state, file);
}

void BM_RepeatedScan(benchmark::State& state) {
    const fs::path file =
        generatedLog(static_cast<int>(state.range(0)), static_cast<Placement>(state.range(1)));
    Quorvel::LaunchLogScanner scanner;
    scanner.lastEntry(file);
    for (auto _ : state) {
        benchmark::DoNotOptimize(scanner.lastEntry(file));
    }
}

// The game writes on while a match is looked for: about 1 KB of lines (no entry)
// lands before each scan of a log that had none. Each scan reads what was appended
// and checks that the region read before is the same file, unchanged.
void BM_GrowingScan(benchmark::State& state) {
    const fs::path source = generatedLog(static_cast<int>(state.range(0)), Placement::Absent);
    const fs::path file = benchFolder() / "Launch-growing.log";
    fs::copy_file(source, file, fs::copy_options::overwrite_existing);
    std::string lines;
    while (lines.size() < 1000) {
        lines += "[0100.00][  7]LogNet: Game client on port 7777, rate 2500\n";
    }
    Quorvel::LaunchLogScanner scanner;
    scanner.lastEntry(file);
    std::ofstream log(file, std::ios::binary | std::ios::app);
    for (auto _ : state) {
        state.PauseTiming();
        log.write(lines.data(), static_cast<std::streamsize>(lines.size()));
        log.flush();
        state.ResumeTiming();
        benchmark::DoNotOptimize(scanner.lastEntry(file));
    }
    state.counters["appended_bytes"] = static_cast<double>(lines.size());
}

void logSizes(benchmark::internal::Benchmark* bench) {
    bench->ArgNames({"MB", "entry"});
    for (int megabytes : {1, 16, 128}) {
        for (int placement : {0, 1, 2}) {
            bench->Args({megabytes, placement});
        }
    }
    bench->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_Literal)->Apply(logSizes)->Iterations(1);
BENCHMARK(BM_FirstScan)->Apply(logSizes);
BENCHMARK(BM_RepeatedScan)->Apply(logSizes);
BENCHMARK(BM_GrowingScan)->ArgName("MB")->Arg(128)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// Keeps every run's time so that main can print our scan against the baseline.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nSpeed-up of the first scan over the literal approach:\n");
    for (const auto& [name, time] : reporter.times) {
        if (name.rfind("BM_Literal/", 0) != 0) {
            continue;
        }
        std::string args = name.substr(std::string("BM_Literal").size());
        args = args.substr(0, args.find("/iterations:"));
        const auto ours = reporter.times.find("BM_FirstScan" + args);
        if (ours != reporter.times.end() && ours->second > 0) {
            std::printf("  %-28s %10.0fx\n", args.c_str(), time / ours->second);
        }
    }
    benchmark::Shutdown();
    return 0;
}
