#pragma once

// Paths as people read them: in messages, on the console, in the report's outputs.

#include <filesystem>
#include <string>
#include <string_view>

namespace Quorvel::Platform {

// A path as UTF-8, whatever the platform's own encoding (wide on Windows).
std::string displayPath(const std::filesystem::path& path);

// A path from UTF-8 text (an argument, a name made from a player id), kept wide on
// Windows.
std::filesystem::path pathFromUtf8(std::string_view text);

}  // namespace Quorvel::Platform
