#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Quorvel::Summary {

// One row of a performance file.
struct Sample {
    std::size_t line = 0;
    std::chrono::sys_seconds time;
    std::string userId;
    std::string matchGuid;
    std::string serverIp;
    std::string serverPort;
    std::int32_t playlist = 0;
    std::int32_t fps = 0;
    std::int32_t ping = 0;
    std::int32_t latency = 0;
    std::int32_t packetsOut = 0;
    std::int32_t packetsIn = 0;
    std::int32_t lostPacketsOut = 0;
    std::int32_t lostPacketsIn = 0;
    std::int32_t buffer = 0;
    std::int32_t bufferTarget = 0;
};

struct PerformanceLog {
    std::vector<Sample> samples;
    // "line N: what is wrong"; each such line was skipped.
    std::vector<std::string> problems;
};

// Reads a performance file: the header line checked, every row parsed; rows that
// cannot be read are reported and skipped.
PerformanceLog readPerformanceLog(std::string_view text);

// "YYYY-MM-DD HH:MM:SS" in UTC; false when the text is not such a time.
bool parseTimestamp(std::string_view text, std::chrono::sys_seconds& time);

}  // namespace Quorvel::Summary
