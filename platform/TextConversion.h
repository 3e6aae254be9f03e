#pragma once

// Text between the encodings the platform uses: the host's narrow strings, the tools'
// UTF-8, and Windows' UTF-16.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel::Platform {

// Narrow text in the host's encoding as a path. On Windows the code page is UTF-8 when
// the C runtime's locale is UTF-8, else the ANSI code page when the file APIs are in
// ANSI mode, else the OEM code page; bytes invalid in it give nullopt. Elsewhere a path
// is bytes and every text converts.
std::optional<std::filesystem::path> narrowToPath(std::string_view text);

#if defined(_WIN32)
// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD.
std::string utf8FromWide(std::wstring_view wide);
// UTF-8 as UTF-16; an invalid byte becomes U+FFFD.
std::wstring wideFromUtf8(std::string_view utf8);
#endif

}  // namespace Quorvel::Platform
