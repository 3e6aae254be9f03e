#include "PerformanceRows.h"

#include <charconv>

#include "InputError.h"
#include "UtcTimestamp.h"

namespace Quorvel::Summary {

namespace {

using Format::Column;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isHeader(const CsvRecordView& record) {
    if (record.fields.size() != Format::kColumnCount) {
        return false;
    }
    for (std::size_t i = 0; i < Format::kColumnCount; ++i) {
        std::string_view field = record.fields[i];
        if (i == 0 && field.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            field.remove_prefix(kByteOrderMark.size());  // a spreadsheet may add one
        }
        if (field != Format::kColumnNames[i]) {
            return false;
        }
    }
    return true;
}

enum class NumberResult { Ok, NotANumber, OutOfRange };

// An optional '-' and digits, within 32 bits.
NumberResult parseNumber(std::string_view text, std::int32_t& value) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first == last || *first == '+') {
        return NumberResult::NotANumber;
    }
    const auto [end, error] = std::from_chars(first, last, value);
    if (end != last) {
        return NumberResult::NotANumber;
    }
    if (error == std::errc::result_out_of_range) {
        return NumberResult::OutOfRange;
    }
    return error == std::errc() ? NumberResult::Ok : NumberResult::NotANumber;
}

bool looksBinary(std::string_view head) {
    return head.find('\0') != std::string_view::npos;
}

}  // namespace

PerformanceRows::PerformanceRows(ByteSource& source, ProblemSink problems)
    : csv(source), problemSink(std::move(problems)) {
    const std::string name = source.name();
    const std::string_view head = csv.head();
    if (head.empty()) {
        throw InputError(name + ": is empty, not a performance file");
    }
    if (looksBinary(head)) {
        throw InputError(name + ": holds binary data, not a performance file");
    }
    if (!csv.next(record) || !isHeader(record)) {
        throw InputError(
            name + ": is not a performance file: line 1 is not the header \"" +
            std::string(Format::kHeaderLine.substr(0, Format::kHeaderLine.size() - 1)) + "\"");
    }
}

void PerformanceRows::skip(std::size_t line, const std::string& what) {
    ++skipCount;
    if (problemSink) {
        problemSink(line, what);
    }
}

bool PerformanceRows::next(Row& row) {
    while (csv.next(record)) {
        if (record.fields.size() == 1 && record.fields[0].empty() && !record.malformed) {
            continue;  // a blank line
        }
        if (parse(record, row)) {
            ++rowCount;
            return true;
        }
    }
    return false;
}

bool PerformanceRows::parse(const CsvRecordView& r, Row& row) {
    if (r.tooLong) {
        skip(r.line,
             "longer than " + std::to_string(CsvStream::kMaxRecordBytes >> 20) + " MB, not a row");
        return false;
    }
    if (r.malformed) {
        skip(r.line, "badly quoted field");
        return false;
    }
    if (r.fields.size() != Format::kColumnCount) {
        skip(r.line, "expected 15 fields, found " + std::to_string(r.fields.size()));
        return false;
    }
    const auto field = [&r](Column column) { return r.fields[static_cast<std::size_t>(column)]; };

    const std::string_view timestamp = field(Column::Timestamp);
    std::chrono::seconds timeOfDay{};
    bool timeOk = timestamp.size() == Format::kTimestampLength && timestamp[10] == ' ' &&
                  Format::parseTimeOfDay(timestamp.substr(11), timeOfDay);
    if (timeOk && timestamp.substr(0, 10) != lastDateText) {
        timeOk = Format::parseUtcDate(timestamp.substr(0, 10), lastDate);
        lastDateText.assign(timeOk ? timestamp.substr(0, 10) : std::string_view());
    }
    if (!timeOk) {
        skip(r.line, "Timestamp is not a time of the form YYYY-MM-DD HH:MM:SS");
        return false;
    }
    row.second.time = lastDate + timeOfDay;

    std::int32_t* const numbers[] = {
        &row.playlist,         &row.second.values[0], &row.second.values[1], &row.second.values[2],
        &row.second.values[3], &row.second.values[4], &row.second.values[5], &row.second.values[6],
        &row.second.values[7], &row.second.values[8]};
    const auto firstNumber = static_cast<std::size_t>(Format::kFirstNumberColumn);
    for (std::size_t i = 0; i < std::size(numbers); ++i) {
        const NumberResult result = parseNumber(r.fields[firstNumber + i], *numbers[i]);
        if (result != NumberResult::Ok) {
            skip(r.line,
                 std::string(Format::kColumnNames[firstNumber + i]) +
                     (result == NumberResult::OutOfRange ? " is out of range (beyond 32 bits)"
                                                         : " is not a whole number"));
            return false;
        }
    }
    row.line = r.line;
    row.userId = field(Column::UserID);
    row.matchGuid = field(Column::MatchGUID);
    row.serverIp = field(Column::ServerIP);
    row.serverPort = field(Column::ServerPort);
    return true;
}

}  // namespace Quorvel::Summary
