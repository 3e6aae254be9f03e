#include "HistoryFileName.h"

#include <charconv>

#include "PerformanceFormat.h"
#include "UtcTimestamp.h"

namespace Quorvel::Format {

namespace {

// Marks an unfinished session, before "-performance.csv".
constexpr std::string_view kUnfinishedMark = "-unfinished";

// "YYYYMMDD-HHMMSS"
constexpr std::size_t kStampLength = 15;

// The Timestamp column's form without its separators, so both have one writer.
std::string compactStamp(std::chrono::sys_seconds time) {
    std::string stamp;
    for (char c : formatUtcTimestamp(time)) {
        if (c == ' ') {
            stamp.push_back('-');
        } else if (c != '-' && c != ':') {
            stamp.push_back(c);
        }
    }
    return stamp;
}

// "-YYYYMMDD-HHMMSS" at the end of `stem`, read by the Timestamp column's reader.
std::optional<std::chrono::sys_seconds> stampAtEnd(std::string_view stem) {
    if (stem.size() < kStampLength + 1 || stem[stem.size() - kStampLength - 1] != '-') {
        return std::nullopt;
    }
    const std::string_view s = stem.substr(stem.size() - kStampLength);
    if (s[8] != '-') {
        return std::nullopt;
    }
    std::string text;
    text.append(s.substr(0, 4)).append("-").append(s.substr(4, 2)).append("-");
    text.append(s.substr(6, 2)).append(" ").append(s.substr(9, 2)).append(":");
    text.append(s.substr(11, 2)).append(":").append(s.substr(13, 2));
    return parseUtcTimestamp(text);
}

// A sequence as historyFileName writes it: 2 or more, no sign, no leading zero.
std::optional<unsigned> readSequence(std::string_view digits) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || digits[0] == '0' ||
        value < 2) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string historyFileName(std::string_view userId, std::chrono::sys_seconds firstRow,
                            unsigned sequence, SessionEnd end) {
    std::string name = fileNameSafeId(userId);
    name.append("-").append(compactStamp(firstRow));
    if (sequence > 1) {
        name.append("-").append(std::to_string(sequence));
    }
    if (end == SessionEnd::Unfinished) {
        name.append(kUnfinishedMark);
    }
    return name.append(kFileNameSuffix);
}

std::optional<HistoryName> parseHistoryFileName(std::string_view name) {
    if (!name.ends_with(kFileNameSuffix)) {
        return std::nullopt;
    }
    std::string_view stem = name.substr(0, name.size() - kFileNameSuffix.size());
    HistoryName parsed;
    if (stem.ends_with(kUnfinishedMark)) {
        stem.remove_suffix(kUnfinishedMark.size());
        parsed.end = SessionEnd::Unfinished;
    }
    if (const auto time = stampAtEnd(stem)) {
        parsed.firstRow = *time;
        parsed.safeId = stem.substr(0, stem.size() - kStampLength - 1);
        return parsed;
    }
    const std::size_t dash = stem.rfind('-');
    if (dash == std::string_view::npos || dash + 1 == stem.size()) {
        return std::nullopt;
    }
    const auto sequence = readSequence(stem.substr(dash + 1));
    const auto time = stampAtEnd(stem.substr(0, dash));
    if (!sequence || !time) {
        return std::nullopt;
    }
    parsed.firstRow = *time;
    parsed.sequence = *sequence;
    parsed.safeId = stem.substr(0, dash - kStampLength - 1);
    return parsed;
}

std::string journalFileName(std::string_view userId) {
    return fileNameSafeId(userId).append(kUnfinishedMark).append(kFileNameSuffix);
}

bool isUnfinishedSessionName(std::string_view fileName) {
    if (!fileName.ends_with(kFileNameSuffix)) {
        return false;
    }
    fileName.remove_suffix(kFileNameSuffix.size());
    return fileName.ends_with(kUnfinishedMark);
}

}  // namespace Quorvel::Format
