#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "CsvStream.h"
#include "PerformanceFormat.h"

namespace Quorvel::Summary {

// The nine statistic columns, FPS to BufferTarget, named as the file names them.
using Statistic = Format::Column;
inline constexpr std::size_t kStatisticCount =
    Format::kColumnCount - static_cast<std::size_t>(Format::kFirstStatisticColumn);

// A statistic's place among the nine, and back.
constexpr std::size_t statisticIndex(Statistic statistic) {
    return static_cast<std::size_t>(statistic) -
           static_cast<std::size_t>(Format::kFirstStatisticColumn);
}
constexpr Statistic statisticAt(std::size_t index) {
    return static_cast<Statistic>(index + static_cast<std::size_t>(Format::kFirstStatisticColumn));
}
constexpr std::string_view statisticName(Statistic statistic) {
    return Format::columnName(statistic);
}

// One second: its time and statistics (Format::kNoValue where the second has none).
struct Second {
    std::chrono::sys_seconds time;
    std::array<std::int32_t, kStatisticCount> values{};

    std::int32_t operator[](Statistic statistic) const { return values[statisticIndex(statistic)]; }
    bool has(Statistic statistic) const { return (*this)[statistic] != Format::kNoValue; }
};

// One row; the texts stay valid until the next row is read.
struct Row {
    std::size_t line = 0;
    Second second;
    std::string_view userId;
    std::string_view matchGuid;
    std::string_view serverIp;
    std::string_view serverPort;
    std::int32_t playlist = 0;
};

// Receives "line N: what is wrong" for each row that is skipped.
using ProblemSink = std::function<void(std::size_t line, const std::string& what)>;

// Reads the rows of one performance file. The constructor checks that the file is one
// (an InputError says what it is instead); rows that cannot be read go to the problem
// sink and are skipped.
class PerformanceRows {
  public:
    PerformanceRows(ByteSource& source, ProblemSink problems);

    // False at the end of the file.
    bool next(Row& row);

    std::uint64_t position() const { return csv.position(); }
    std::size_t rowsRead() const { return rowCount; }
    std::size_t rowsSkipped() const { return skipCount; }

  private:
    bool parse(const CsvRecordView& record, Row& row);
    void skip(std::size_t line, const std::string& what);

    CsvStream csv;
    CsvRecordView record;
    ProblemSink problemSink;
    std::size_t rowCount = 0;
    std::size_t skipCount = 0;
    // Rows of one day share their date: it is parsed when it changes.
    std::string lastDateText;
    std::chrono::sys_days lastDate{};
};

}  // namespace Quorvel::Summary
