#pragma once

#include <filesystem>
#include <optional>

#include "FileIdentity.h"

namespace Quorvel::Tools {

// Which file a path of any length names (SystemPath), however it is spelt and through
// any link; nothing when it does not exist.
using Platform::FileIdentity;
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& file);

// True when both paths name one existing file, or the same place for a file that is
// not there yet (another spelling of the same path).
bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace Quorvel::Tools
