#include "CsvRow.h"

#include "PerformanceRow.h"

namespace Quorvel {

namespace {

using Format::Statistic;

float meanOf(RecordedSample sample) {
    return (sample.first + sample.second) * 0.5f;
}

}  // namespace

RowStatistics combineStatistics(const PendingSamples& samples, float exactPingSeconds) {
    RowStatistics statistics;
    statistics[Statistic::FPS] = meanOf(samples.fps);
    statistics[Statistic::Ping] = exactPingSeconds * 1000.0f;
    statistics[Statistic::Latency] = meanOf(samples.latency);
    statistics[Statistic::PacketsOut] = samples.packetsOut.second;
    statistics[Statistic::PacketsIn] = samples.packetsIn.second;
    statistics[Statistic::LostPacketsOut] = samples.lostPacketsOut.second;
    statistics[Statistic::LostPacketsIn] = samples.lostPacketsIn.second;
    statistics[Statistic::Buffer] = samples.buffer.first;
    statistics[Statistic::BufferTarget] = samples.bufferTarget.first;
    return statistics;
}

std::int32_t roundStatistic(float value) {
    const double shifted = static_cast<double>(value) + 0.5;
    // Written so that NaN fails the test too.
    if (!(shifted > -2147483649.0 && shifted < 2147483648.0)) {
        return Format::kNoValue;
    }
    return static_cast<std::int32_t>(shifted);
}

void appendCsvRow(std::string& out, const Format::RowTextFields& texts, std::int32_t playlistId,
                  const RowStatistics& statistics) {
    Format::PerStatistic<std::int32_t> rounded;
    for (Statistic statistic : Format::kStatistics) {
        rounded[statistic] = roundStatistic(statistics[statistic]);
    }
    Format::appendPerformanceRow(out, texts, playlistId, rounded);
}

}  // namespace Quorvel
