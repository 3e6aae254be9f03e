#pragma once

#include <filesystem>
#include <string_view>

#include "HistoryFileName.h"

namespace Quorvel {

// Where the rows a player's file held at load went.
enum class EarlierRows {
    None,     // absent, empty, header only or not a regular file: nothing to keep
    Moved,    // renamed into the history folder; the file is gone
    Copied,   // copied into the history folder; the file is unchanged
    NotKept,  // neither worked; the file is unchanged
};

struct KeptSession {
    EarlierRows rows = EarlierRows::None;
    std::filesystem::path historyFile;  // when Moved or Copied
};

// The history folder inside the data folder.
std::filesystem::path historyFolder(const std::filesystem::path& dataFolder);

// Keeps the rows `file` holds from an earlier session in `history` (made when
// missing), named by Format::historyFileName for `userId`, the time of the first
// row (else the file's last write, else now) and how the session ended. Never replaces a file
// there: a taken name gets the next sequence. Renames when it can, else copies. Throws nothing but
// std::bad_alloc, and never before the rows are kept or `file` is left as it was.
KeptSession keepEarlierSession(const std::filesystem::path& file,
                               const std::filesystem::path& history, std::string_view userId,
                               Format::SessionEnd end = Format::SessionEnd::Whole);

}  // namespace Quorvel
