#pragma once

// Which file a path or an open file is, as the system tells it: the same file however
// its path is spelt and through any link, and another file even at the same path once
// it was replaced (deleted and created again, renamed over).

#include <cstdint>
#include <filesystem>
#include <optional>

namespace Quorvel::Platform {

struct FileIdentity {
    std::uint64_t volume = 0;  // device (Linux), volume serial number (Windows)
    std::uint64_t index = 0;   // inode (Linux), file index (Windows)

    bool operator==(const FileIdentity&) const = default;
    // An order for maps and sets keyed by file (written out: clang-tidy reads the
    // comparison a defaulted <=> is rewritten to as a null pointer constant).
    bool operator<(const FileIdentity& other) const {
        return volume != other.volume ? volume < other.volume : index < other.index;
    }
};

// The file `path` leads to, links followed; nothing when there is none or the system
// will not say. On Windows `path` reaches the system as it is: give a long one in its
// long form.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// An open file as the platform holds it: a descriptor (POSIX) or a HANDLE (Windows).
#if defined(_WIN32)
using NativeFile = void*;
#else
using NativeFile = int;
#endif

// What the system says of an open file, taken at once.
struct OpenFileFacts {
    bool regular = false;  // a regular file on a disk (not a folder, pipe or device)
    std::uint64_t size = 0;
    FileIdentity identity;
    // The last write, in the platform's finest unit (nanoseconds on Linux, 100 ns on
    // Windows): only ever compared with another reading of the same file.
    std::int64_t lastWrite = 0;
};
std::optional<OpenFileFacts> openFileFacts(NativeFile file);

}  // namespace Quorvel::Platform
