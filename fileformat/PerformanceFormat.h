#pragma once

// The performance file as the plugin writes it and the tools read it: its name, its
// columns in order, and the value that stands for "no value". Every writer and reader
// of the file follows these definitions; the plugin links them, so they use the
// standard library only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "EnumArray.h"

namespace Quorvel::Format {

// The columns, in file order: five texts, the playlist, then the statistics (named by
// Statistic, below: columnOf gives their columns).
enum class Column : std::size_t {
    Timestamp,
    UserID,
    MatchGUID,
    ServerIP,
    ServerPort,
    Playlist,
    FirstStatistic,
};

// The text columns, the first of the file.
enum class TextColumn : std::size_t { Timestamp, UserID, MatchGUID, ServerIP, ServerPort };
inline constexpr std::size_t kTextColumnCount = 5;

// The statistic columns, the last of the file, in file order. A type of its own, so a
// text column can never index a second's statistics.
enum class Statistic : std::size_t {
    FPS,
    Ping,
    Latency,
    PacketsOut,
    PacketsIn,
    LostPacketsOut,
    LostPacketsIn,
    Buffer,
    BufferTarget,
};
inline constexpr std::size_t kStatisticCount = 9;
inline constexpr std::size_t kColumnCount =
    static_cast<std::size_t>(Column::FirstStatistic) + kStatisticCount;

// Between the texts and the statistics: the playlist id.
inline constexpr Column kPlaylistColumn = Column::Playlist;

constexpr Column columnOf(TextColumn text) {
    return static_cast<Column>(static_cast<std::size_t>(text));
}
constexpr Column columnOf(Statistic statistic) {
    return static_cast<Column>(static_cast<std::size_t>(statistic) +
                               static_cast<std::size_t>(Column::FirstStatistic));
}

template <typename T>
using PerStatistic = EnumArray<Statistic, T, kStatisticCount>;
using RowTexts = EnumArray<TextColumn, std::string_view, kTextColumnCount>;

// A row's texts by name, as a writer has them; rowTexts() puts each in its column.
struct RowTextFields {
    std::string_view timestamp;
    std::string_view userId;
    std::string_view matchGuid;
    std::string_view serverIp;
    std::string_view serverPort;
};
constexpr RowTexts rowTexts(const RowTextFields& fields) {
    RowTexts texts;
    texts[TextColumn::Timestamp] = fields.timestamp;
    texts[TextColumn::UserID] = fields.userId;
    texts[TextColumn::MatchGUID] = fields.matchGuid;
    texts[TextColumn::ServerIP] = fields.serverIp;
    texts[TextColumn::ServerPort] = fields.serverPort;
    return texts;
}

struct ColumnInfo {
    std::string_view name;  // as the header names it
    std::string_view key;   // in camel case, for JSON and scenario files
};

inline constexpr std::array<ColumnInfo, kColumnCount> kColumns = {{
    {"Timestamp", "timestamp"},
    {"UserID", "userId"},
    {"MatchGUID", "matchGuid"},
    {"ServerIP", "serverIp"},
    {"ServerPort", "serverPort"},
    {"Playlist", "playlist"},
    {"FPS", "fps"},
    {"Ping", "ping"},
    {"Latency", "latency"},
    {"PacketsOut", "packetsOut"},
    {"PacketsIn", "packetsIn"},
    {"LostPacketsOut", "lostPacketsOut"},
    {"LostPacketsIn", "lostPacketsIn"},
    {"Buffer", "buffer"},
    {"BufferTarget", "bufferTarget"},
}};

constexpr std::string_view columnName(Column column) {
    return kColumns[static_cast<std::size_t>(column)].name;
}
constexpr std::string_view statisticName(Statistic statistic) {
    return columnName(columnOf(statistic));
}
constexpr std::string_view statisticKey(Statistic statistic) {
    return kColumns[static_cast<std::size_t>(columnOf(statistic))].key;
}

// Every statistic, in file order, for loops.
inline constexpr std::array<Statistic, kStatisticCount> kStatistics = [] {
    std::array<Statistic, kStatisticCount> all{};
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        all[i] = static_cast<Statistic>(i);
    }
    return all;
}();

// The first line of every file: the column names joined by commas, then a line feed.
inline constexpr std::string_view kHeaderLine =
    "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,"
    "PacketsIn,LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n";

// The columns from Playlist on hold signed 32-bit decimals. A statistic that was not
// a number or did not fit is written as this value: it means "no value this second".
inline constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::min();

// "<safe id>-performance.csv" ends every file name.
inline constexpr std::string_view kFileNameSuffix = "-performance.csv";

// The file-name form of a player id: each byte a Windows file name may not hold
// (< > : " / \ | ? * and controls below 0x20) and '%' itself become '%' and two
// upper-case hex digits, so the file stays inside the data folder and two ids never
// share a file. Other ids come back unchanged.
std::string fileNameSafeId(std::string_view userId);

// fileNameSafeId(userId) + "-performance.csv".
std::string performanceFileName(std::string_view userId);

// True when a file name has the performance file's form (ends in the suffix).
bool isPerformanceFileName(std::string_view fileName);

}  // namespace Quorvel::Format
