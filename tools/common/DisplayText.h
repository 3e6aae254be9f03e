#pragma once

// Texts for people: paths, times into a match, numbers and padded table cells.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "CountText.h"
#include "PathText.h"

namespace Quorvel::Tools {

// A path as UTF-8, whatever the platform's own encoding.
using Platform::displayPath;

// Seconds into a match as "m:ss", or "h:mm:ss" from an hour on.
std::string formatMatchTime(std::int64_t seconds);

// "YYYY-MM-DD HH:MM:SS" in UTC.
std::string formatClock(std::chrono::sys_seconds time);

// "YYYY-MM-DD", the day in UTC.
std::string formatDay(std::chrono::sys_days day);

// A number with `decimals` digits after the point; "–" when absent.
std::string formatFigure(std::optional<double> value, int decimals = 0);

inline constexpr std::string_view kNoFigure = "\u2013";  // an en dash: no value

// A length in whole seconds: "2 s".
std::string formatSeconds(std::int64_t seconds);

// A share as a whole percentage: 0.2 is "20 %".
std::string formatPercent(double share);

// The percentile at a share: 0.25 is "25th", 0.95 "95th".
std::string formatPercentile(double share);

// A count with its noun: "1 match", "3 matches".
using Platform::plural;
// A figure written whole (formatFigure) with its noun, which agrees with the number
// written: "1 packet", "0 packets", "12 packets" (1.4 is written "1": "1 packet").
std::string pluralFigure(double value, std::string_view one, std::string_view many);

// A share in words: "half", "a quarter", "three quarters", else "40 %".
std::string shareWords(double share);
// A share of something to follow: "half" (the usual), "a quarter of", "40 % of".
std::string partOf(double share);

// Characters `text` takes on a terminal: UTF-8 sequences count once.
std::size_t displayWidth(std::string_view text);

// `text` cut to `width` characters (the last one "…" when cut) and padded with spaces
// on the right, or on the left when `alignRight`.
std::string cell(std::string_view text, std::size_t width, bool alignRight = false);

// Why the system refused, in a player's words ("there is no such file or folder", "this
// account may not read or write it", "the disk is full"...); the system's own message
// for the rarer ones.
std::string plainReason(std::error_code error);
// The same for a C library call's errno.
std::string plainReasonOfErrno(int number);

}  // namespace Quorvel::Tools
