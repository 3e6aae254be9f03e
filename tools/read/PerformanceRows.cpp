#include "PerformanceRows.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "Failure.h"
#include "UtcTimestamp.h"

namespace Quorvel::Read {

namespace {

using Tools::Failure;
using Tools::FailureKind;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isHeader(const std::vector<std::string_view>& fields) {
    if (fields.size() != Format::kColumnCount) {
        return false;
    }
    for (std::size_t i = 0; i < Format::kColumnCount; ++i) {
        std::string_view field = fields[i];
        if (i == 0 && field.starts_with(kByteOrderMark)) {
            field.remove_prefix(kByteOrderMark.size());  // a spreadsheet may add one
        }
        if (field != Format::kColumns[i].name) {
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

// Two ASCII digits as a number, or -1.
int twoDigits(const char* p) {
    const unsigned tens = static_cast<unsigned char>(p[0]) - unsigned{'0'};
    const unsigned ones = static_cast<unsigned char>(p[1]) - unsigned{'0'};
    return tens < 10 && ones < 10 ? static_cast<int>(tens * 10 + ones) : -1;
}

// "HH:MM:SS" as seconds into the day, or -1: what Format::parseTimeOfDay accepts.
int secondsIntoDay(const char* p) {
    if (p[2] != ':' || p[5] != ':') {
        return -1;
    }
    const int h = twoDigits(p), m = twoDigits(p + 3), s = twoDigits(p + 6);
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) {
        return -1;
    }
    return h * 3600 + m * 60 + s;
}

// The number at `p`, up to a comma or the line's end: what parseNumber accepts, in one
// pass. The byte after the line is a line end (CsvRecord::text), so the digits are read
// without checking the length. Null for anything else; the careful path then says what.
const char* scanNumber(const char* p, std::int32_t& value) {
    const bool negative = *p == '-';
    p += negative ? 1 : 0;
    const char* const digits = p;
    std::uint64_t magnitude = 0;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - unsigned{'0'}) < 10; ++p) {
        magnitude = magnitude * 10 + digit;
    }
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    if (p == digits || p - digits > 10 || magnitude > limit) {
        return nullptr;
    }
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude)
                                               : static_cast<std::int64_t>(magnitude));
    return p;
}

std::string headerText() {
    return std::string(Format::kHeaderLine.substr(0, Format::kHeaderLine.size() - 1));
}

// The header's names joined by `separator`, as a spreadsheet set to another list
// separator writes them.
bool isHeaderSeparatedBy(std::string_view line, char separator) {
    std::string expected = headerText();
    std::replace(expected.begin(), expected.end(), ',', separator);
    if (line.starts_with(kByteOrderMark)) {
        line.remove_prefix(kByteOrderMark.size());
    }
    return line == expected ||
           (line.ends_with('\r') && line.substr(0, line.size() - 1) == expected);
}

// A time in another form: digits, a ':' and a date's separator ("08/12/2026 18:00",
// "2026-12-08 18:00", "12.8.2026 6:00:20 PM").
bool looksLikeATime(std::string_view text) {
    const bool digits =
        std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && text.find(':') != std::string_view::npos &&
           text.find_first_of("/-.") != std::string_view::npos && text.size() <= 40;
}

// What a spreadsheet did to the file, and what to report instead.
std::string savedBySpreadsheet(const std::string& name, const std::string& what) {
    return name + ": looks saved again by a spreadsheet, which " + what +
           "; report the file as the plugin wrote it instead: <player id>-performance.csv in "
           "the game's data folder, where earlier sessions are kept in quorvel-history (the "
           "players' guide says where that folder is)";
}

}  // namespace

PerformanceRows::PerformanceRows(ByteSource& source, std::string name)
    : inputName(std::move(name)), csv(source) {
    const std::string_view head = csv.head();
    if (head.empty()) {
        throw Failure(FailureKind::Input, inputName + ": is empty, not a performance file");
    }
    const bool binary = head.find('\0') != std::string_view::npos;
    // A first line longer than the first chunk is no header: said without reading it all.
    const bool longFirstLine =
        head.size() == CsvStream::kChunkBytes && head.find('\n') == std::string_view::npos;
    if (longFirstLine || !csv.next(record) || record.tooLong || !isHeader(record.splitFields())) {
        for (const char separator : {';', '\t'}) {
            if (!longFirstLine && !record.tooLong && isHeaderSeparatedBy(record.text, separator)) {
                throw Failure(FailureKind::Input,
                              savedBySpreadsheet(inputName, separator == ';'
                                                                ? "separated its columns by ';'"
                                                                : "separated its columns by tabs"));
            }
        }
        throw Failure(FailureKind::Input,
                      inputName + (binary ? ": holds binary data, not a performance file"
                                          : ": is not a performance file: line 1 is not "
                                            "the header \"" +
                                                headerText() + "\""));
    }
    beforeFirstRow = true;
    binaryAfterHeader = binary;
    csv.limitSkipping(kBinaryVerdictBytes);
}

PerformanceRows::PerformanceRows(ByteSource& source, std::string name, ResumeAt at)
    : inputName(std::move(name)), csv(source, at) {}

void PerformanceRows::skip(const std::string& what) {
    skippedRows.add(record.line, record.lastLine, what);
}

// Far enough into a file without a row to tell that it is none: nothing but binary data
// in its first megabytes, or a line that runs past them without an end.
void PerformanceRows::refuseWhenNoRows() const {
    if (!beforeFirstRow) {
        return;
    }
    const std::string within = std::to_string(kBinaryVerdictBytes >> 20) + " MB";
    if (record.abandoned && !binaryAfterHeader) {
        throw Failure(FailureKind::Input, inputName + ": line " + std::to_string(record.line) +
                                              " runs past its first " + within +
                                              " without an end, and no row came before it; "
                                              "not a performance file");
    }
    if (record.abandoned || (csv.position() > kBinaryVerdictBytes && skippedRows.count() > 0 &&
                             skippedRows.binaryLines() == skippedRows.count())) {
        throw Failure(FailureKind::Input, inputName +
                                              ": holds binary data after its header (its "
                                              "first " +
                                              within + " hold no row), not a performance file");
    }
}

void PerformanceRows::noteForeignTime(std::string_view text) {
    if (!beforeFirstRow || !looksLikeATime(text)) {
        return;
    }
    if (foreignTimes++ == 0) {
        firstForeignTime = text;
    }
    refuseWhenSavedBySpreadsheet(false);
}

// Every line so far, and at least kForeignTimesTold of them or all the file's, had a time
// in another form: not damage, a file a spreadsheet wrote.
void PerformanceRows::refuseWhenSavedBySpreadsheet(bool atTheEnd) const {
    if (beforeFirstRow && foreignTimes > 0 && foreignTimes == skippedRows.count() &&
        (atTheEnd || foreignTimes >= kForeignTimesTold)) {
        throw Failure(
            FailureKind::Input,
            savedBySpreadsheet(inputName, "wrote its times its own way (\"" + firstForeignTime +
                                              "\", where the plugin writes "
                                              "YYYY-MM-DD HH:MM:SS)"));
    }
}

bool PerformanceRows::next(Row& row) {
    while (csv.nextLine(record)) {
        if (!record.tooLong && record.text.empty()) {
            continue;  // a blank line
        }
        if (!record.tooLong && parseLine(record.text, row)) {
            return accept(row);
        }
        if (!record.tooLong && record.text.find('\0') != std::string_view::npos) {
            skippedRows.addBinary(record.line,
                                  "binary data (as a crash while writing leaves), not a row");
            refuseWhenNoRows();
            continue;
        }
        refuseWhenNoRows();
        if (!record.tooLong && record.text.find('"') != std::string_view::npos) {
            readQuoted();
        }
        if (parseFields(row)) {
            return accept(row);
        }
    }
    refuseWhenSavedBySpreadsheet(true);
    return false;
}

// A line with a quote, read as RFC 4180 allows: its quoted fields may hold line breaks.
// When that gives no row across several lines, the quote was stray: only its own line
// is lost, and reading goes on at the next.
void PerformanceRows::readQuoted() {
    csv.rereadQuoted(record);
    if (record.lastLine > record.line && !record.tooLong &&
        (record.malformed || record.fields.size() != Format::kColumnCount)) {
        csv.keepFirstLine(record);
    }
}

bool PerformanceRows::accept(Row& row) {
    row.offset = record.offset;
    row.line = record.line;
    ++rowCount;
    if (beforeFirstRow) {
        beforeFirstRow = false;
        csv.limitSkipping(UINT64_MAX);
    }
    return true;
}

bool PerformanceRows::parseTimestamp(std::string_view text, std::chrono::sys_seconds& time) {
    if (text.size() != Format::kTimestampLength || text[10] != ' ') {
        return false;
    }
    // Rows come a second apart: most share the last one's minute, "YYYY-MM-DD HH:MM:".
    constexpr std::size_t kMinuteLength = sizeof lastMinuteText;
    if (sameMinute && std::memcmp(text.data(), lastMinuteText, kMinuteLength) == 0) {
        const int second = twoDigits(text.data() + kMinuteLength);
        if (second < 0 || second > 59) {
            return false;
        }
        time = lastMinute + std::chrono::seconds{second};
        return true;
    }
    const int sinceMidnight = secondsIntoDay(text.data() + 11);
    const auto date = sinceMidnight < 0 ? std::nullopt : Format::parseUtcDate(text.substr(0, 10));
    if (!date) {
        return false;
    }
    time = *date + std::chrono::seconds{sinceMidnight};
    lastMinute = time - std::chrono::seconds{sinceMidnight % 60};
    std::memcpy(lastMinuteText, text.data(), kMinuteLength);
    sameMinute = true;
    return true;
}

// The common case: a line without quotes, read in one pass. False for anything
// unusual, which parseFields() then reads carefully.
bool PerformanceRows::parseLine(std::string_view text, Row& row) {
    const char* p = text.data();
    const char* const end = p + text.size();
    constexpr std::size_t kStamp = Format::kTimestampLength;
    if (text.size() <= kStamp || p[kStamp] != ',' ||
        !parseTimestamp(text.substr(0, kStamp), row.second.time)) {
        return false;
    }
    row.texts[TextColumn::Timestamp] = text.substr(0, kStamp);
    p += kStamp + 1;
    p = sameTextsAsBefore(p, end, row) ? p + lastTexts.size() : scanTexts(p, end, row);
    if (p == nullptr) {
        return false;
    }
    p = scanNumber(p, row.playlist);
    for (Statistic statistic : Format::kStatistics) {
        if (p == nullptr || p == end || *p != ',') {
            return false;
        }
        p = scanNumber(p + 1, row.second.values[statistic]);  // past the comma
    }
    return p == end;
}

// Rows of one match repeat their texts: when this line's texts are the last line's,
// byte for byte, they are taken at the same places without looking for commas again.
bool PerformanceRows::sameTextsAsBefore(const char* p, const char* end, Row& row) const {
    if (lastTexts.empty() || static_cast<std::size_t>(end - p) <= lastTexts.size() ||
        std::memcmp(p, lastTexts.data(), lastTexts.size()) != 0) {
        return false;
    }
    for (std::size_t i = 1; i < Format::kTextColumnCount; ++i) {
        row.texts[static_cast<TextColumn>(i)] = {p + lastTextStarts[i - 1], lastTextLengths[i - 1]};
    }
    return true;
}

// The texts between the timestamp and the numbers, each up to its comma; null when a
// comma is missing or a text is quoted.
const char* PerformanceRows::scanTexts(const char* p, const char* end, Row& row) {
    const char* const textsBegin = p;
    for (std::size_t i = 1; i < Format::kTextColumnCount; ++i) {
        const auto* comma =
            static_cast<const char*>(std::memchr(p, ',', static_cast<std::size_t>(end - p)));
        if (comma == nullptr) {
            return nullptr;
        }
        lastTextStarts[i - 1] = static_cast<std::size_t>(p - textsBegin);
        lastTextLengths[i - 1] = static_cast<std::size_t>(comma - p);
        row.texts[static_cast<TextColumn>(i)] = {p, lastTextLengths[i - 1]};
        p = comma + 1;
    }
    lastTexts.assign(textsBegin, p);
    if (lastTexts.find('"') != std::string::npos) {
        lastTexts.clear();
        return nullptr;  // quoted texts
    }
    return p;
}

// Reads the record field by field and says what is wrong when it is not a row.
bool PerformanceRows::parseFields(Row& row) {
    if (record.tooLong) {
        skip("longer than " + std::to_string(CsvStream::kMaxRecordBytes >> 20) + " MB, not a row");
        return false;
    }
    if (record.malformed) {
        skip("badly quoted field");
        return false;
    }
    const std::vector<std::string_view>& fields = record.splitFields();
    if (fields.size() != Format::kColumnCount) {
        skip("expected " + std::to_string(Format::kColumnCount) + " fields, found " +
             std::to_string(fields.size()));
        return false;
    }
    const auto field = [&fields](Format::Column column) {
        return fields[static_cast<std::size_t>(column)];
    };
    if (!parseTimestamp(field(Format::Column::Timestamp), row.second.time)) {
        skip("Timestamp is not a time of the form YYYY-MM-DD HH:MM:SS");
        noteForeignTime(field(Format::Column::Timestamp));
        return false;
    }
    for (std::size_t i = 0; i < Format::kTextColumnCount; ++i) {
        row.texts[static_cast<TextColumn>(i)] = fields[i];
    }
    const auto number = [&](Format::Column column, std::int32_t& value) {
        const NumberResult result = parseNumber(field(column), value);
        if (result != NumberResult::Ok) {
            skip(std::string(Format::columnName(column)) +
                 (result == NumberResult::OutOfRange ? " is out of range (beyond 32 bits)"
                                                     : " is not a whole number"));
        }
        return result == NumberResult::Ok;
    };
    if (!number(Format::kPlaylistColumn, row.playlist)) {
        return false;
    }
    for (Statistic statistic : Format::kStatistics) {
        if (!number(Format::columnOf(statistic), row.second.values[statistic])) {
            return false;
        }
    }
    return true;
}

}  // namespace Quorvel::Read
