#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>

namespace Quorvel::Tools {

// What tells one file from every other, however its path is spelt and through any
// link: the device (volume) and the file's number on it. Nothing when it does not exist.
using FileIdentity = std::pair<std::uint64_t, std::uint64_t>;
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& file);

// True when both paths name one existing file, or the same place for a file that is
// not there yet (another spelling of the same path).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace Quorvel::Tools
