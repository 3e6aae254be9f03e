#pragma once

#include <cstdint>
#include <string>

#include "PerformanceFormat.h"
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

// The statistic columns before rounding, combined in 32-bit float.
using RowStatistics = Format::PerStatistic<float>;

RowStatistics combineStatistics(const PendingSamples& samples, float exactPingSeconds);

// Widens to double, adds 0.5 and truncates toward zero. A value that is not a
// number or does not fit a 32-bit signed integer after the shift gives the file's
// "no value" (Format::kNoValue), the value such files already hold for it.
std::int32_t roundStatistic(float value);

// Appends one row of the performance file, each statistic rounded.
void appendCsvRow(std::string& out, const Format::RowTextFields& texts, std::int32_t playlistId,
                  const RowStatistics& statistics);

}  // namespace Quorvel
