#include "MatchJournal.h"

#include <system_error>

#include "CsvFile.h"
#include "HistoryFileName.h"
#include "SessionHistory.h"
#include "TextConversion.h"

namespace Quorvel {

std::optional<std::filesystem::path> journalFilePath(const std::filesystem::path& dataFolder,
                                                     std::string_view userId) {
    const std::optional<std::filesystem::path> name =
        Platform::narrowToPath(Format::journalFileName(userId));
    if (!name) {
        return std::nullopt;
    }
    return historyFolder(dataFolder) / *name;
}

void discardJournal(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::remove(file, error) && error) {
        std::filesystem::resize_file(file, 0, error);
    }
}

bool MatchJournal::rowTaken() {
    ++rowsSinceWrite;
    return enabled && rowsSinceWrite >= kRowsBetweenWrites;
}

bool MatchJournal::write(const std::filesystem::path& file, std::string_view rows) {
    rowsSinceWrite = 0;
    if (!enabled || rows.size() <= journaledBytes) {
        return true;
    }
    // The history folder only: a data folder that is not there is not the journal's to make.
    std::error_code error;
    std::filesystem::create_directory(file.parent_path(), error);
    if (error || !appendRows(file, rows.substr(journaledBytes))) {
        return false;
    }
    journaledBytes = rows.size();
    return true;
}

void MatchJournal::rowsSaved(const std::filesystem::path& file) {
    rowsSinceWrite = 0;
    if (!enabled) {
        return;
    }
    journaledBytes = 0;
    discardJournal(file);
}

}  // namespace Quorvel
