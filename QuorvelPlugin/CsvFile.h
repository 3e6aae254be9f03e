#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel {

// The player's file name (Format::performanceFileName) inside `dataFolder`, joined with the
// platform's path rules; nullopt when the name cannot be converted to a path.
std::optional<std::filesystem::path> csvFilePath(const std::filesystem::path& dataFolder,
                                                 std::string_view userId);

// Truncates `file` and writes the header line. False when the file could not be
// opened or written; a FIFO is never opened (that would wait for a reader).
bool createWithHeader(const std::filesystem::path& file);

// Appends `rows` in one write, text mode. A file that is absent or empty gets the
// header line first, one whose last line lacks its line end a line end first. A FIFO
// is never opened. On any failure the file is cut back to what it held before,
// so a retry neither loses nor duplicates a row; the result says whether the rows
// are on disk.
bool appendRows(const std::filesystem::path& file, std::string_view rows);

}  // namespace Quorvel
