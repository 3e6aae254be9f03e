#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace Quorvel {

// Converts narrow text in the host's encoding to a path. On Windows the code page
// is UTF-8 when the C runtime's locale is UTF-8, else the ANSI code page when the
// file APIs are in ANSI mode, else the OEM code page; bytes invalid in it give
// nullopt. Elsewhere a path is bytes and every text converts.
std::optional<std::filesystem::path> narrowToPath(std::string_view text);

}  // namespace Quorvel
