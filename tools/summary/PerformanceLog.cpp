#include "PerformanceLog.h"

#include <array>
#include <charconv>

#include "CsvReader.h"

namespace Quorvel::Summary {

namespace {

constexpr std::array<std::string_view, 15> kColumns = {
    "Timestamp",     "UserID", "MatchGUID",   "ServerIP",   "ServerPort", "Playlist",
    "FPS",           "Ping",   "Latency",     "PacketsOut", "PacketsIn",  "LostPacketsOut",
    "LostPacketsIn", "Buffer", "BufferTarget"};

bool parseInt(std::string_view text, std::int32_t& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

bool parseDigits(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end;
}

bool isHeader(const std::vector<std::string>& fields) {
    if (fields.size() != kColumns.size()) {
        return false;
    }
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (fields[i] != kColumns[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool parseTimestamp(std::string_view text, std::chrono::sys_seconds& time) {
    using namespace std::chrono;
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return false;
    }
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!parseDigits(text.substr(0, 4), y) || !parseDigits(text.substr(5, 2), mo) ||
        !parseDigits(text.substr(8, 2), d) || !parseDigits(text.substr(11, 2), h) ||
        !parseDigits(text.substr(14, 2), mi) || !parseDigits(text.substr(17, 2), s)) {
        return false;
    }
    const year_month_day date{year{y}, month{static_cast<unsigned>(mo)},
                              day{static_cast<unsigned>(d)}};
    if (!date.ok() || h > 23 || mi > 59 || s > 60) {
        return false;
    }
    time = sys_days{date} + hours{h} + minutes{mi} + seconds{s};
    return true;
}

PerformanceLog readPerformanceLog(std::string_view text) {
    PerformanceLog log;
    CsvReader reader(text);
    CsvRecord record;
    const auto problem = [&log](std::size_t line, const std::string& what) {
        log.problems.push_back("line " + std::to_string(line) + ": " + what);
    };
    while (reader.next(record)) {
        if (record.line == 1 && isHeader(record.fields)) {
            continue;
        }
        if (record.line == 1) {
            problem(1, "not the performance file header");
        }
        if (record.fields.size() == 1 && record.fields[0].empty()) {
            continue;  // a blank line
        }
        if (record.malformed) {
            problem(record.line, "badly quoted field");
            continue;
        }
        if (record.fields.size() != kColumns.size()) {
            problem(record.line,
                    "expected 15 fields, found " + std::to_string(record.fields.size()));
            continue;
        }
        Sample sample;
        sample.line = record.line;
        if (!parseTimestamp(record.fields[0], sample.time)) {
            problem(record.line, "Timestamp is not YYYY-MM-DD HH:MM:SS");
            continue;
        }
        sample.userId = record.fields[1];
        sample.matchGuid = record.fields[2];
        sample.serverIp = record.fields[3];
        sample.serverPort = record.fields[4];
        std::int32_t* const numbers[] = {
            &sample.playlist,   &sample.fps,         &sample.ping,           &sample.latency,
            &sample.packetsOut, &sample.packetsIn,   &sample.lostPacketsOut, &sample.lostPacketsIn,
            &sample.buffer,     &sample.bufferTarget};
        bool numeric = true;
        for (std::size_t i = 0; i < std::size(numbers) && numeric; ++i) {
            if (!parseInt(record.fields[5 + i], *numbers[i])) {
                problem(record.line, std::string(kColumns[5 + i]) + " is not a whole number");
                numeric = false;
            }
        }
        if (numeric) {
            log.samples.push_back(std::move(sample));
        }
    }
    return log;
}

}  // namespace Quorvel::Summary
