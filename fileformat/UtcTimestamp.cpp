#include "UtcTimestamp.h"

#include <charconv>

namespace Quorvel::Format {

namespace {

// `value` in `Width` digits at least, zeros before it.
template <int Width>
void appendPadded(std::string& out, long long value) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    for (auto length = result.ptr - digits; length < Width; ++length) {
        out.push_back('0');
    }
    out.append(digits, result.ptr);
}

// `count` ASCII digits, nothing else (no sign, no space).
bool readDigits(std::string_view text, std::size_t at, std::size_t count, int& value) {
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return true;
}

}  // namespace

void appendUtcTimestamp(std::string& out, std::chrono::sys_seconds time) {
    using namespace std::chrono;
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    appendPadded<4>(out, static_cast<int>(date.year()));
    out.push_back('-');
    appendPadded<2>(out, static_cast<unsigned>(date.month()));
    out.push_back('-');
    appendPadded<2>(out, static_cast<unsigned>(date.day()));
    out.push_back(' ');
    appendPadded<2>(out, clock.hours().count());
    out.push_back(':');
    appendPadded<2>(out, clock.minutes().count());
    out.push_back(':');
    appendPadded<2>(out, clock.seconds().count());
}

std::string formatUtcTimestamp(std::chrono::sys_seconds time) {
    std::string text;
    text.reserve(kTimestampLength + 5);
    appendUtcTimestamp(text, time);
    return text;
}

std::string formatUtcTimestamp(std::chrono::system_clock::time_point time) {
    return formatUtcTimestamp(std::chrono::floor<std::chrono::seconds>(time));
}

std::optional<std::chrono::sys_days> parseUtcDate(std::string_view text) {
    using namespace std::chrono;
    int y = 0, m = 0, d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !readDigits(text, 0, 4, y) ||
        !readDigits(text, 5, 2, m) || !readDigits(text, 8, 2, d)) {
        return std::nullopt;
    }
    const year_month_day date{year{y}, month{static_cast<unsigned>(m)},
                              std::chrono::day{static_cast<unsigned>(d)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    return sys_days{date};
}

std::optional<std::chrono::seconds> parseTimeOfDay(std::string_view text) {
    int h = 0, m = 0, s = 0;
    if (text.size() != 8 || text[2] != ':' || text[5] != ':' || !readDigits(text, 0, 2, h) ||
        !readDigits(text, 3, 2, m) || !readDigits(text, 6, 2, s) || h > 23 || m > 59 || s > 59) {
        return std::nullopt;
    }
    return std::chrono::seconds{h * 3600 + m * 60 + s};
}

std::optional<std::chrono::sys_seconds> parseUtcTimestamp(std::string_view text) {
    if (text.size() != kTimestampLength || text[10] != ' ') {
        return std::nullopt;
    }
    const auto day = parseUtcDate(text.substr(0, 10));
    const auto sinceMidnight = parseTimeOfDay(text.substr(11));
    if (!day || !sinceMidnight) {
        return std::nullopt;
    }
    return *day + *sinceMidnight;
}

}  // namespace Quorvel::Format
