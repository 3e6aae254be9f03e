#include "DisplayText.h"

#include <cstdio>

#include "UtcTimestamp.h"

namespace Quorvel::Tools {

std::string formatMatchTime(std::int64_t seconds) {
    char text[40];
    if (seconds >= 3600) {
        std::snprintf(
            text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
            static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", static_cast<long long>(seconds / 60),
                      static_cast<long long>(seconds % 60));
    }
    return text;
}

std::string formatClock(std::chrono::sys_seconds time) {
    return Format::formatUtcTimestamp(time);
}

std::string formatDay(std::chrono::sys_days day) {
    return formatClock(day).substr(0, std::string_view("YYYY-MM-DD").size());
}

std::string formatFigure(std::optional<double> value, int decimals) {
    if (!value) {
        return std::string(kNoFigure);
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, *value);
    return text;
}

std::string formatSeconds(std::int64_t seconds) {
    return std::to_string(seconds) + " s";
}

std::string formatPercent(double share) {
    return formatFigure(100 * share) + " %";
}

std::string formatPercentile(double share) {
    const std::string number = formatFigure(100 * share);
    const bool teen = number.size() >= 2 && number[number.size() - 2] == '1';
    switch (teen ? '0' : number.back()) {
        case '1':
            return number + "st";
        case '2':
            return number + "nd";
        case '3':
            return number + "rd";
        default:
            return number + "th";
    }
}

std::string pluralFigure(double value, std::string_view one, std::string_view many) {
    const std::string number = formatFigure(value);
    return number + " " + std::string(number == "1" ? one : many);
}

std::string shareWords(double share) {
    if (share == 0.5) {
        return "half";
    }
    if (share == 0.25) {
        return "a quarter";
    }
    if (share == 0.75) {
        return "three quarters";
    }
    return formatPercent(share);
}

std::string partOf(double share) {
    return share == 0.5 ? shareWords(share) : shareWords(share) + " of";
}

std::size_t displayWidth(std::string_view text) {
    std::size_t width = 0;
    for (char c : text) {
        width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return width;
}

std::string cell(std::string_view text, std::size_t width, bool alignRight) {
    std::string out;
    std::size_t shown = displayWidth(text);
    if (shown > width) {
        // Keep width - 1 characters, then an ellipsis.
        std::size_t characters = 0, at = 0;
        for (; at < text.size(); ++at) {
            const bool starts = (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
            if (starts && characters++ == width - 1) {
                break;
            }
        }
        out.assign(text.substr(0, at));
        out += "\u2026";
        return out;
    }
    const std::string padding(width - shown, ' ');
    return alignRight ? padding + std::string(text) : std::string(text) + padding;
}

std::string plainReason(std::error_code error) {
    struct Plain {
        std::errc condition;
        const char* words;
    };
    static constexpr Plain kPlain[] = {
        {std::errc::no_such_file_or_directory, "there is no such file or folder"},
        {std::errc::permission_denied, "this account may not read or write it"},
        {std::errc::operation_not_permitted, "this account may not read or write it"},
        {std::errc::is_a_directory, "it is a folder"},
        {std::errc::not_a_directory, "a part of the path is a file, not a folder"},
        {std::errc::no_space_on_device, "the disk is full"},
        {std::errc::read_only_file_system, "the disk is read-only"},
        {std::errc::filename_too_long, "the name is too long"},
        {std::errc::file_exists, "something by that name is there already"},
        {std::errc::device_or_resource_busy, "another program is using it"},
        {std::errc::text_file_busy, "another program is using it"},
        {std::errc::too_many_files_open, "too many files are open"},
    };
    for (const Plain& plain : kPlain) {
        if (error == plain.condition) {
            return plain.words;
        }
    }
    return error.message();
}

std::string plainReasonOfErrno(int number) {
    return plainReason(std::error_code(number, std::generic_category()));
}

}  // namespace Quorvel::Tools
