#pragma once

// The Timestamp column: "YYYY-MM-DD HH:MM:SS" in UTC, whole seconds, 19 characters.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel::Format {

inline constexpr std::size_t kTimestampLength = 19;

// Appends `time`. Years outside 0000..9999 are not written by any clock this runs on;
// they come out with more or fewer digits.
void appendUtcTimestamp(std::string& out, std::chrono::sys_seconds time);
std::string formatUtcTimestamp(std::chrono::sys_seconds time);
// The whole second containing `time` (a clock's reading).
std::string formatUtcTimestamp(std::chrono::system_clock::time_point time);

// Reads exactly that form: digits where digits stand, a real calendar date, hours
// 00..23, minutes and seconds 00..59. Nothing for anything else.
std::optional<std::chrono::sys_seconds> parseUtcTimestamp(std::string_view text);

// The date part ("YYYY-MM-DD") alone, as days since the epoch; lets a reader of many
// rows of one day parse the date once.
std::optional<std::chrono::sys_days> parseUtcDate(std::string_view text);
// The time part ("HH:MM:SS") alone, as seconds into the day.
std::optional<std::chrono::seconds> parseTimeOfDay(std::string_view text);

}  // namespace Quorvel::Format
