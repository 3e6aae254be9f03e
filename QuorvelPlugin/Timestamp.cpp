#include "Timestamp.h"

#include <charconv>

namespace Quorvel {

namespace {

void appendPadded(std::string& out, long long value, int width) {
    char digits[24];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    for (auto length = result.ptr - digits; length < width; ++length) {
        out.push_back('0');
    }
    out.append(digits, result.ptr);
}

}  // namespace

std::string formatUtcTimestamp(std::chrono::system_clock::time_point time) {
    using namespace std::chrono;
    const auto second = floor<seconds>(time);
    const auto day = floor<days>(second);
    const year_month_day date{day};
    const hh_mm_ss clock{second - day};

    std::string text;
    text.reserve(24);
    appendPadded(text, static_cast<int>(date.year()), 4);
    text.push_back('-');
    appendPadded(text, static_cast<unsigned>(date.month()), 2);
    text.push_back('-');
    appendPadded(text, static_cast<unsigned>(date.day()), 2);
    text.push_back(' ');
    appendPadded(text, clock.hours().count(), 2);
    text.push_back(':');
    appendPadded(text, clock.minutes().count(), 2);
    text.push_back(':');
    appendPadded(text, clock.seconds().count(), 2);
    return text;
}

}  // namespace Quorvel
