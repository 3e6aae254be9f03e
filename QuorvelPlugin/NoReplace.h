#pragma once

#include <filesystem>

namespace Quorvel {

// Putting a file at a new name without ever replacing what is there already.
enum class Placement {
    Done,
    NameTaken,  // something exists at the target; nothing was changed
    Failed,     // anything else; nothing was changed
};

// A file and the new name it is to have.
struct FileMove {
    const std::filesystem::path& from;
    const std::filesystem::path& to;
};

// Renames `from` to `to` in one step of the file system (microseconds whatever the
// size). Fails between file systems, and on Windows while another program holds
// `from` open without delete sharing.
Placement renameWithoutReplacing(const FileMove& move);

// Copies `from` into a new file `to` and flushes it to the disk before returning, so
// the caller may then empty `from`. `from` is read without any sharing restriction; a
// partial copy is removed.
Placement copyWithoutReplacing(const FileMove& move);

}  // namespace Quorvel
