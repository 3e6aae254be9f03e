#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CsvStream.h"
#include "PerformanceFormat.h"
#include "SkippedRows.h"

namespace Quorvel::Read {

using Format::Statistic;
using Format::TextColumn;

// One second: its time and statistics as the file gives them.
struct Second {
    std::chrono::sys_seconds time;
    Format::PerStatistic<std::int32_t> values;

    std::int32_t operator[](Statistic statistic) const { return values[statistic]; }
    // Whether the second has a value for `statistic`: not Format::kNoValue, and not below
    // zero, which no statistic can be (a negative Ping or FPS is as good as none).
    bool has(Statistic statistic) const { return values[statistic] >= 0; }
};

// One row; its texts stay valid until the next row is read.
struct Row {
    std::uint64_t offset = 0;  // where it starts in the input, in bytes
    std::size_t line = 0;
    Format::RowTexts texts;
    std::int32_t playlist = 0;
    Second second;
};

// Reads the rows of one performance file. The constructor checks that the input is
// one (a Failure of kind Input says what it is instead, naming it by `name`); rows that
// cannot be read are skipped and noted in skipped(), and damage costs only the lines it
// touches: a stray quote its own line, binary bytes (a crash while appending) the
// lines that hold them.
class PerformanceRows {
  public:
    PerformanceRows(ByteSource& source, std::string name);
    // Goes on reading a file checked before, `source` standing at `at.offset`.
    PerformanceRows(ByteSource& source, std::string name, ResumeAt at);

    // False at the end of the input.
    bool next(Row& row);

    // A file whose first this many bytes gave no row and nothing but binary data is
    // refused as binary there, not read to its end.
    static constexpr std::uint64_t kBinaryVerdictBytes = std::uint64_t{8} << 20;
    // A file whose first this many lines all have a time in another form than the
    // plugin's (and no row) was saved again by a spreadsheet: said in one sentence.
    static constexpr std::size_t kForeignTimesTold = 20;

    std::uint64_t position() const { return csv.position(); }
    std::size_t rowsRead() const { return rowCount; }
    const SkippedRows& skipped() const { return skippedRows; }

  private:
    bool accept(Row& row);
    void readQuoted();
    bool parseLine(std::string_view text, Row& row);
    bool sameTextsAsBefore(const char* p, const char* end, Row& row) const;
    const char* scanTexts(const char* p, const char* end, Row& row);
    bool parseTimestamp(std::string_view text, std::chrono::sys_seconds& time);
    bool parseFields(Row& row);
    void skip(const std::string& what);
    void refuseWhenNoRows() const;
    void noteForeignTime(std::string_view text);
    void refuseWhenSavedBySpreadsheet(bool atTheEnd) const;

    std::string inputName;
    CsvStream csv;
    CsvRecord record;
    std::size_t rowCount = 0;
    // From the header to the first row: whether the file is rows at all is still open.
    bool beforeFirstRow = false;
    bool binaryAfterHeader = false;  // the file's first chunk holds a NUL
    // Before the first row: lines whose Timestamp is a time in another form (as a
    // spreadsheet that saved the file writes it), and the first of them.
    std::size_t foreignTimes = 0;
    std::string firstForeignTime;
    SkippedRows skippedRows;
    // The texts of the last plain line read, with their commas, and where each began.
    std::string lastTexts;
    std::array<std::size_t, Format::kTextColumnCount - 1> lastTextStarts{};
    std::array<std::size_t, Format::kTextColumnCount - 1> lastTextLengths{};
    // Rows of one minute share its text: the rest is parsed when it changes.
    char lastMinuteText[17] = {};
    bool sameMinute = false;
    std::chrono::sys_seconds lastMinute{};
};

}  // namespace Quorvel::Read
