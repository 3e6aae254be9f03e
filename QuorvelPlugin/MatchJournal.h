#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string_view>

namespace Quorvel {

// The journal of `userId`'s match in progress in the data folder's history folder;
// nullopt when its name cannot be converted to a path.
std::optional<std::filesystem::path> journalFilePath(const std::filesystem::path& dataFolder,
                                                     std::string_view userId);

// Removes a journal whose rows are safe elsewhere; one that cannot be removed (held
// open on Windows) is emptied instead, so it is never taken for a match in progress.
void discardJournal(const std::filesystem::path& file);

// Keeps on disk, while a match is recorded, the rows not yet in the player's file, so
// that a game closing in the match loses at most the rows taken since the last write.
// The rows live in the caller's string; the journal follows how much of it is on disk.
// Every write opens, appends and closes the file within the call.
class MatchJournal {
  public:
    // A write every this many rows: at most this many seconds of a match are lost.
    static constexpr std::size_t kRowsBetweenWrites = 10;

    // One more row was appended to the rows; true when a write is due.
    bool rowTaken();
    // Appends to `file` the part of `rows` not yet in it (with the header when the file
    // is new). True when the journal now holds all of `rows`, or is switched off.
    bool write(const std::filesystem::path& file, std::string_view rows);
    // The rows reached the player's file: the journal is discarded and starts again.
    void rowsSaved(const std::filesystem::path& file);
    // For the rest of the session: `file` still holds rows that could not be kept.
    void switchOff() { enabled = false; }
    // Whether the journal holds rows of this session, not yet in the player's file.
    bool holdsRows() const { return journaledBytes > 0; }

  private:
    std::size_t journaledBytes = 0;
    std::size_t rowsSinceWrite = 0;
    bool enabled = true;
};

}  // namespace Quorvel
