#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

namespace Quorvel::Tools {

// Paths of any length, for the calls the tools make on files and folders. On Windows a
// path of 248 characters or more (the most a folder may have in the short form) reaches
// the system only in the long form "\\?\C:\..." ("\\?\UNC\server\share\..."): absolute,
// backslashes, no "." or "..". The C runtime cannot take that form in all its calls
// (its stat refuses the "?"), so the functions below go to the system directly there.
// Elsewhere every path goes as it is. Messages keep showing the path as it was given.
std::filesystem::path systemPath(const std::filesystem::path& path);

// What `path` is, links followed, as std::filesystem::status: not_found with `error`
// set when nothing is there, `error` too_many_symbolic_link_levels for a loop.
std::filesystem::file_status fileStatus(const std::filesystem::path& path, std::error_code& error);

// The names of a folder's entries, "." and ".." left out; `error` set when the folder
// cannot be listed.
std::vector<std::filesystem::path> folderEntryNames(const std::filesystem::path& folder,
                                                    std::error_code& error);

// A file's size and the time it was last written (in the system's own ticks), to tell
// whether it changed; nullopt when they cannot be read.
struct SizeAndTime {
    std::uintmax_t size = 0;
    std::int64_t lastWrite = 0;
    bool operator==(const SizeAndTime&) const = default;
};
std::optional<SizeAndTime> sizeAndTime(const std::filesystem::path& file);

// Creates `folder` and any missing folders above it; throws std::filesystem::
// filesystem_error naming `folder` when it cannot.
void createFolders(const std::filesystem::path& folder);

}  // namespace Quorvel::Tools
