#include "UnfinishedMatch.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "MatchJournal.h"
#include "PerformanceFormat.h"
#include "SessionHistory.h"
#include "SharedLogFile.h"

namespace Quorvel {

namespace {

// Journals up to this size are compared with the player's file; a larger one (rows
// that could not be written for hours) is kept without the comparison.
constexpr std::uint64_t kComparedBytes = std::uint64_t{8} << 20;
constexpr std::size_t kCountChunk = std::size_t{1} << 16;

std::size_t countRows(const SharedLogFile& file) {
    const auto chunk = std::make_unique<char[]>(kCountChunk);
    std::size_t lines = 0;
    char last = '\n';
    for (std::uint64_t at = 0; at < file.size();) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCountChunk, file.size() - at));
        if (!file.read(at, chunk.get(), length)) {
            break;
        }
        lines += static_cast<std::size_t>(std::count(chunk.get(), chunk.get() + length, '\n'));
        last = chunk[length - 1];
        at += length;
    }
    lines += last != '\n' ? 1 : 0;
    return lines > 0 ? lines - 1 : 0;  // the header
}

// The journal's rows, as bytes: everything after its first line.
std::optional<std::string> rowsOf(const SharedLogFile& file) {
    if (file.size() > kComparedBytes) {
        return std::nullopt;
    }
    std::string content(static_cast<std::size_t>(file.size()), '\0');
    if (!file.read(0, content.data(), content.size())) {
        return std::nullopt;
    }
    const std::size_t lineEnd = content.find('\n');
    return lineEnd == std::string::npos ? std::string() : content.substr(lineEnd + 1);
}

std::size_t longestLine(std::string_view rows) {
    std::size_t longest = 0;
    for (std::size_t at = 0; at < rows.size();) {
        const std::size_t end = std::min(rows.find('\n', at), rows.size());
        longest = std::max(longest, end - at + 1);
        at = end + 1;
    }
    return longest;
}

// Whether `rows` are in the last part of the player's file: the append that carried
// them ends the file, with at most the rows taken after the journal's last write.
bool endsThePlayersFile(std::string_view rows, const std::filesystem::path& playerFile) {
    const std::optional<SharedLogFile> file = SharedLogFile::open(playerFile);
    if (rows.empty() || !file) {
        return false;
    }
    const std::uint64_t after = MatchJournal::kRowsBetweenWrites * (longestLine(rows) + 1) + 4096;
    const auto window =
        static_cast<std::size_t>(std::min<std::uint64_t>(file->size(), rows.size() + after));
    std::string tail(window, '\0');
    return file->read(file->size() - window, tail.data(), window) &&
           tail.find(rows) != std::string::npos;
}

}  // namespace

KeptUnfinished keepUnfinishedMatch(const UnfinishedMatchFiles& files, std::string_view userId) {
    const auto& [journal, playerFile, history] = files;
    KeptUnfinished result;
    if (const std::optional<SharedLogFile> opened = SharedLogFile::open(journal)) {
        result.rowCount = countRows(*opened);
        const std::optional<std::string> rows = rowsOf(*opened);
        if (rows && endsThePlayersFile(*rows, playerFile)) {
            discardJournal(journal);
            result.rows = UnfinishedRows::AlreadySaved;
            return result;
        }
    }
    const KeptSession kept =
        keepEarlierSession(journal, history, userId, Format::SessionEnd::Unfinished);
    switch (kept.rows) {
        case EarlierRows::None:
            discardJournal(journal);  // a header alone, or nothing
            return {};
        case EarlierRows::NotKept:
            result.rows = UnfinishedRows::NotKept;
            return result;
        case EarlierRows::Copied:
            discardJournal(journal);
            break;
        case EarlierRows::Moved:
            break;
    }
    result.rows = UnfinishedRows::Kept;
    result.historyFile = kept.historyFile;
    return result;
}

}  // namespace Quorvel
