// The report on generated performance files: 2,000,000 rows (about 200 MB, matches of
// 300 s) and 10,000,000 rows (about 1 GB). For each, in the same run: a plain read of
// the file (the I/O floor), the report's whole path in this process, and the
// quorvel-report program itself, whose peak memory is its own (peak_MB, from the
// operating system's accounting of the finished child).

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "Report.h"
#include "TableReport.h"
#include "TextOutput.h"

namespace {

constexpr int kMatchSeconds = 300;

class Discard : public Quorvel::Tools::TextOutput {
  public:
    void write(std::string_view text) override { bytes += text.size(); }
    std::size_t bytes = 0;
};

// A file of `rows` rows, made once per size and kept in the temporary folder.
const std::filesystem::path& generatedFile(std::int64_t rows) {
    static std::map<std::int64_t, std::filesystem::path> files;
    auto& file = files[rows];
    if (!file.empty()) {
        return file;
    }
    file = std::filesystem::temp_directory_path() /
           ("quorvel-bench-" + std::to_string(rows) + "-performance.csv");
    std::FILE* out = std::fopen(file.c_str(), "wb");
    std::fputs(
        "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,"
        "PacketsIn,LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n",
        out);
    using namespace std::chrono;
    const sys_seconds start = sys_days{2026y / December / 8};
    for (std::int64_t i = 0; i < rows; ++i) {
        const std::int64_t match = i / kMatchSeconds;
        // A minute in the menu between matches.
        const sys_seconds time = start + seconds{i + match * 60};
        const auto day = floor<days>(time);
        const year_month_day date{day};
        const hh_mm_ss clock{time - day};
        std::fprintf(out,
                     "%04d-%02u-%02u %02lld:%02lld:%02lld,Steam|76561190000000000|0,"
                     "MATCH-%08lld,10.0.%lld.%lld,7777,13,%lld,%lld,%lld,60,60,%d,%d,2,2\n",
                     static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                     static_cast<unsigned>(date.day()),
                     static_cast<long long>(clock.hours().count()),
                     static_cast<long long>(clock.minutes().count()),
                     static_cast<long long>(clock.seconds().count()), static_cast<long long>(match),
                     static_cast<long long>(match % 200), static_cast<long long>(match % 7),
                     static_cast<long long>(120 + i % 37), static_cast<long long>(30 + i % 11),
                     static_cast<long long>(35 + i % 13), i % 50 == 0 ? 2 : 0, i % 70 == 0 ? 3 : 0);
    }
    std::fclose(out);
    return file;
}

void setFileCounters(benchmark::State& state, const std::filesystem::path& file) {
    const auto bytes = static_cast<std::int64_t>(std::filesystem::file_size(file));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
    state.counters["file_MB"] = static_cast<double>(bytes) / 1e6;
}

void BM_PlainRead(benchmark::State& state) {
    const auto& file = generatedFile(state.range(0));
    std::vector<char> buffer(std::size_t{1} << 20);
    for (auto _ : state) {
        std::FILE* in = std::fopen(file.c_str(), "rb");
        std::size_t total = 0;
        for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0;) {
            total += n;
        }
        std::fclose(in);
        benchmark::DoNotOptimize(total);
    }
    setFileCounters(state, file);
}

void BM_ReportInProcess(benchmark::State& state) {
    const auto& file = generatedFile(state.range(0));
    for (auto _ : state) {
        Discard out;
        Quorvel::Present::TableReport table(out);
        const auto result =
            Quorvel::Analysis::buildReport({Quorvel::Read::Input::file(file)}, {&table});
        benchmark::DoNotOptimize(out.bytes);
        benchmark::DoNotOptimize(result.matches);
    }
    setFileCounters(state, file);
}

// The program as a player runs it, output thrown away; timed from outside.
void BM_ReportProgram(benchmark::State& state) {
    const auto& file = generatedFile(state.range(0));
    const std::string program = QUORVEL_REPORT_PATH;
    long peakKilobytes = 0;
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        const pid_t child = fork();
        if (child == 0) {
            std::freopen("/dev/null", "w", stdout);
            execl(program.c_str(), program.c_str(), file.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(child, &status, 0, &usage);
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        state.SetIterationTime(elapsed.count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("quorvel-report failed");
            break;
        }
        peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
    }
    setFileCounters(state, file);
    state.counters["peak_MB"] = static_cast<double>(peakKilobytes) / 1024.0;
}

constexpr std::int64_t kTwoMillion = 2'000'000;
constexpr std::int64_t kTenMillion = 10'000'000;

BENCHMARK(BM_PlainRead)->Arg(kTwoMillion)->Arg(kTenMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportInProcess)->Arg(kTwoMillion)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReportProgram)
    ->Arg(kTwoMillion)
    ->Arg(kTenMillion)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
