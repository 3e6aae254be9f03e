#pragma once

// The performance file as the plugin writes it and the tools read it: its name, its
// columns in order, and the value that stands for "no value". The plugin links this,
// so it uses the standard library only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace Quorvel::Format {

enum class Column : std::size_t {
    Timestamp,
    UserID,
    MatchGUID,
    ServerIP,
    ServerPort,
    Playlist,
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

inline constexpr std::size_t kColumnCount = 15;

inline constexpr std::array<std::string_view, kColumnCount> kColumnNames = {
    "Timestamp",     "UserID", "MatchGUID",   "ServerIP",   "ServerPort", "Playlist",
    "FPS",           "Ping",   "Latency",     "PacketsOut", "PacketsIn",  "LostPacketsOut",
    "LostPacketsIn", "Buffer", "BufferTarget"};

constexpr std::string_view columnName(Column column) {
    return kColumnNames[static_cast<std::size_t>(column)];
}

// The first line of every file: the column names joined by commas, then a line feed.
inline constexpr std::string_view kHeaderLine =
    "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,"
    "PacketsIn,LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n";

// The columns from Playlist on hold signed 32-bit decimals. A statistic that was not
// a number or did not fit is written as this value: it means "no value this second".
inline constexpr std::int32_t kNoValue = std::numeric_limits<std::int32_t>::min();

inline constexpr Column kFirstNumberColumn = Column::Playlist;
inline constexpr Column kFirstStatisticColumn = Column::FPS;

// "<safe id>-performance.csv" ends every file name.
inline constexpr std::string_view kFileNameSuffix = "-performance.csv";

// The file-name form of a player id: each byte a Windows file name may not hold
// (< > : " / \ | ? * and controls below 0x20) and '%' itself become '%' and two
// upper-case hex digits, so the file stays inside the data folder and two ids never
// share a file. Other ids come back unchanged.
std::string fileNameSafeId(std::string_view userId);

// fileNameSafeId(userId) + "-performance.csv".
std::string performanceFileName(std::string_view userId);

}  // namespace Quorvel::Format
