#include "SessionHistory.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <system_error>

#include "HistoryFileName.h"
#include "NoReplace.h"
#include "PerformanceFormat.h"
#include "SharedLogFile.h"
#include "TextConversion.h"
#include "UtcTimestamp.h"

namespace Quorvel {

namespace {

using std::chrono::sys_seconds;

// Enough for the header line and the first row's Timestamp.
constexpr std::size_t kPrefixBytes = 4096;
// Sessions in one second beyond this many are not kept apart.
constexpr unsigned kLastSequence = 1000;

struct Earlier {
    bool holdsRows = false;
    std::optional<sys_seconds> firstRow;
};

std::string_view firstLine(std::string_view text) {
    std::string_view line = text.substr(0, text.find('\n'));
    if (line.ends_with('\r')) {
        line.remove_suffix(1);
    }
    return line;
}

// The header with LF or, as a Windows text stream writes it, CR LF, and nothing else.
bool onlyTheHeader(std::string_view content) {
    const std::string_view header = Format::kHeaderLine.substr(0, Format::kHeaderLine.size() - 1);
    return content.empty() || content == Format::kHeaderLine ||
           (content.size() == header.size() + 2 && content.starts_with(header) &&
            content.ends_with("\r\n"));
}

std::optional<sys_seconds> firstRowTime(std::string_view prefix) {
    std::string_view row = firstLine(prefix);
    if (row.size() + 1 == Format::kHeaderLine.size() && Format::kHeaderLine.starts_with(row)) {
        const std::size_t next = prefix.find('\n');
        row = next == std::string_view::npos ? std::string_view()
                                             : firstLine(prefix.substr(next + 1));
    }
    return Format::parseUtcTimestamp(row.substr(0, row.find(',')));
}

Earlier examine(const std::filesystem::path& file) {
    const std::optional<SharedLogFile> opened = SharedLogFile::open(file);
    if (!opened) {
        // Unreadable (held without sharing, on Windows): a non-empty file may hold rows.
        std::error_code error;
        const bool regular = std::filesystem::is_regular_file(file, error);
        const std::uintmax_t size = regular ? std::filesystem::file_size(file, error) : 0;
        return {regular && !error && size > 0, std::nullopt};
    }
    std::string prefix(
        static_cast<std::size_t>(std::min<std::uint64_t>(opened->size(), kPrefixBytes)), '\0');
    if (!opened->read(0, prefix.data(), prefix.size())) {
        return {opened->size() > 0, std::nullopt};
    }
    if (opened->size() == prefix.size() && onlyTheHeader(prefix)) {
        return {};
    }
    return {true, firstRowTime(prefix)};
}

sys_seconds sessionStart(const std::filesystem::path& file, const Earlier& earlier) {
    if (earlier.firstRow) {
        return *earlier.firstRow;
    }
    std::error_code error;
    const auto written = std::filesystem::last_write_time(file, error);
    if (!error) {
        return std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(written));
    }
    return std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
}

// Where a session goes in the history: its player, its first row and how it ended.
struct HistoryPlace {
    const std::filesystem::path& folder;
    std::string_view userId;
    sys_seconds start;
    Format::SessionEnd end;
};

template <typename Place>
std::optional<std::filesystem::path> placeInHistory(const std::filesystem::path& file,
                                                    const HistoryPlace& where, Place place) {
    for (unsigned sequence = 1; sequence <= kLastSequence; ++sequence) {
        const auto name = Platform::narrowToPath(
            Format::historyFileName(where.userId, where.start, sequence, where.end));
        if (!name) {
            return std::nullopt;
        }
        std::filesystem::path target = where.folder / *name;
        const Placement placed = place({.from = file, .to = target});
        if (placed == Placement::Done) {
            return target;
        }
        if (placed == Placement::Failed) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path historyFolder(const std::filesystem::path& dataFolder) {
    return dataFolder / Format::kHistoryFolderName;
}

KeptSession keepEarlierSession(const std::filesystem::path& file,
                               const std::filesystem::path& history, std::string_view userId,
                               Format::SessionEnd end) {
    const Earlier earlier = examine(file);
    if (!earlier.holdsRows) {
        return {};
    }
    std::error_code error;
    std::filesystem::create_directories(history, error);
    if (error) {
        return {EarlierRows::NotKept, {}};
    }
    const HistoryPlace where{history, userId, sessionStart(file, earlier), end};
    if (auto moved = placeInHistory(file, where, renameWithoutReplacing)) {
        return {EarlierRows::Moved, std::move(*moved)};
    }
    if (auto copied = placeInHistory(file, where, copyWithoutReplacing)) {
        return {EarlierRows::Copied, std::move(*copied)};
    }
    return {EarlierRows::NotKept, {}};
}

}  // namespace Quorvel
