#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "tarvik/wrappers/StatGraphWrappers.h"

namespace Quorvel {

// The eight pending samples, in the order they are taken from the graphs.
struct PendingSamples {
    RecordedSample latency;
    RecordedSample packetsOut;
    RecordedSample packetsIn;
    RecordedSample lostPacketsOut;
    RecordedSample lostPacketsIn;
    RecordedSample buffer;
    RecordedSample bufferTarget;
    RecordedSample fps;
};

// The nine statistic columns before rounding, combined in 32-bit float.
struct RowStatistics {
    float fps;
    float pingMilliseconds;
    float latency;
    float packetsOut;
    float packetsIn;
    float lostPacketsOut;
    float lostPacketsIn;
    float buffer;
    float bufferTarget;
};

RowStatistics combineStatistics(const PendingSamples& samples, float exactPingSeconds);

// Widens to double, adds 0.5 and truncates toward zero. A value that is not a
// number or does not fit a 32-bit signed integer after the shift gives the file's
// "no value" (Format::kNoValue), the value such files already hold for it.
std::int32_t roundStatistic(float value);

struct RowTexts {
    std::string_view timestamp;
    std::string_view userId;
    std::string_view matchGuid;
    std::string_view serverIp;
    std::string_view serverPort;
};

// Appends one row of 15 fields ending in a line feed. Text fields holding a comma,
// a double quote, CR or LF are quoted (RFC 4180); numbers are plain ASCII decimal
// whatever the process locale.
void appendCsvRow(std::string& out, const RowTexts& texts, std::int32_t playlistId,
                  const RowStatistics& statistics);

}  // namespace Quorvel
