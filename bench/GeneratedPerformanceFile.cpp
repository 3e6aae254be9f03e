#include "GeneratedPerformanceFile.h"

#include <chrono>
#include <cstdio>
#include <string>

#include "PerformanceFormat.h"
#include "UtcTimestamp.h"

namespace Quorvel::Bench {

namespace {

// Row `i`: statistics that vary within a match, a server per match and some loss.
void writeRow(std::FILE* out, std::int64_t i, std::string& timestamp) {
    using namespace std::chrono;
    const std::int64_t match = i / kGeneratedMatchSeconds;
    // A minute in the menu between matches.
    const sys_seconds start = sys_days{2026y / December / 8};
    timestamp.clear();
    Format::appendUtcTimestamp(timestamp, start + seconds{i + match * 60});
    std::fprintf(out,
                 "%s,Steam|76561190000000000|0,MATCH-%08lld,10.0.%lld.%lld,7777,13,%lld,%lld,%lld,"
                 "60,60,%d,%d,2,2\n",
                 timestamp.c_str(), static_cast<long long>(match),
                 static_cast<long long>(match % 200), static_cast<long long>(match % 7),
                 static_cast<long long>(120 + i % 37), static_cast<long long>(30 + i % 11),
                 static_cast<long long>(35 + i % 13), i % 50 == 0 ? 2 : 0, i % 70 == 0 ? 3 : 0);
}

}  // namespace

bool writeGeneratedPerformanceFile(const std::filesystem::path& file, std::int64_t rows) {
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    std::fwrite(Format::kHeaderLine.data(), 1, Format::kHeaderLine.size(), out);
    std::string timestamp;
    for (std::int64_t i = 0; i < rows; ++i) {
        writeRow(out, i, timestamp);
    }
    const bool written = std::ferror(out) == 0;
    return std::fclose(out) == 0 && written;
}

}  // namespace Quorvel::Bench
