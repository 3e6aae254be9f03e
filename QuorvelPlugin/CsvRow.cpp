#include "CsvRow.h"

#include <charconv>

#include "PerformanceFormat.h"

namespace Quorvel {

namespace {

float meanOf(RecordedSample sample) {
    return (sample.first + sample.second) * 0.5f;
}

void appendText(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void appendInteger(std::string& out, std::int32_t value) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr);
}

}  // namespace

RowStatistics combineStatistics(const PendingSamples& samples, float exactPingSeconds) {
    return RowStatistics{
        meanOf(samples.fps),          exactPingSeconds * 1000.0f, meanOf(samples.latency),
        samples.packetsOut.second,    samples.packetsIn.second,   samples.lostPacketsOut.second,
        samples.lostPacketsIn.second, samples.buffer.first,       samples.bufferTarget.first,
    };
}

std::int32_t roundStatistic(float value) {
    const double shifted = static_cast<double>(value) + 0.5;
    // Written so that NaN fails the test too.
    if (!(shifted > -2147483649.0 && shifted < 2147483648.0)) {
        return Format::kNoValue;
    }
    return static_cast<std::int32_t>(shifted);
}

void appendCsvRow(std::string& out, const RowTexts& texts, std::int32_t playlistId,
                  const RowStatistics& statistics) {
    appendText(out, texts.timestamp);
    for (std::string_view text :
         {texts.userId, texts.matchGuid, texts.serverIp, texts.serverPort}) {
        out.push_back(',');
        appendText(out, text);
    }
    out.push_back(',');
    appendInteger(out, playlistId);
    for (float value : {statistics.fps, statistics.pingMilliseconds, statistics.latency,
                        statistics.packetsOut, statistics.packetsIn, statistics.lostPacketsOut,
                        statistics.lostPacketsIn, statistics.buffer, statistics.bufferTarget}) {
        out.push_back(',');
        appendInteger(out, roundStatistic(value));
    }
    out.push_back('\n');
}

}  // namespace Quorvel
