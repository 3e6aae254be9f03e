#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace Quorvel {

// What became of a journal an earlier session left behind (the game closed in a match,
// or its rows could not be written when the plugin was unloaded).
enum class UnfinishedRows {
    None,          // no journal, or one without rows
    AlreadySaved,  // its rows had reached the player's file: the journal is discarded
    Kept,          // kept in the history as an unfinished session
    NotKept,       // neither renamed nor copied: the journal stays as it was
};

struct KeptUnfinished {
    UnfinishedRows rows = UnfinishedRows::None;
    std::filesystem::path historyFile;  // when Kept
    std::size_t rowCount = 0;           // its rows, when AlreadySaved or Kept
};

// The files an unfinished match concerns.
struct UnfinishedMatchFiles {
    const std::filesystem::path& journal;     // the journal an earlier session left
    const std::filesystem::path& playerFile;  // the player's file, whose end may hold its rows
    const std::filesystem::path& history;     // the history folder, where it is kept
};

// At load, before the player's file is looked at: keeps the journal's rows in the
// history as `userId`'s unfinished session named by its first row, unless the same
// rows already end the player's file (the game closed between that file's append and
// the journal's removal). Throws nothing but std::bad_alloc.
KeptUnfinished keepUnfinishedMatch(const UnfinishedMatchFiles& files, std::string_view userId);

}  // namespace Quorvel
