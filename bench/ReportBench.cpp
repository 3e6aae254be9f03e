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
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "GeneratedPerformanceFile.h"
#include "Report.h"
#include "TableReport.h"
#include "TextOutput.h"

namespace {

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
    if (!Quorvel::Bench::writeGeneratedPerformanceFile(file, rows)) {
        std::fprintf(stderr, "cannot write %s\n", file.c_str());
        std::exit(EXIT_FAILURE);
    }
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
        const std::vector<Quorvel::Read::Input> inputs = {Quorvel::Read::Input::file(file)};
        Quorvel::Present::TableReport table(out, inputs);
        const auto result = Quorvel::Analysis::buildReport(inputs, {&table});
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
