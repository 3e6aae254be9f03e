#include "NarrowPath.h"

#include <string>

#if defined(_WIN32)
#include <locale.h>
#include <windows.h>
#endif

namespace Quorvel {

#if defined(_WIN32)

namespace {

UINT fileNameCodePage() {
    if (___lc_codepage_func() == CP_UTF8) {
        return CP_UTF8;
    }
    return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

}  // namespace

std::optional<std::filesystem::path> narrowToPath(std::string_view text) {
    if (text.empty()) {
        return std::filesystem::path();
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const UINT codePage = fileNameCodePage();
    const int length = static_cast<int>(text.size());
    const int wideLength =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(),
                        wideLength);
    return std::filesystem::path(std::move(wide));
}

#else

std::optional<std::filesystem::path> narrowToPath(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

#endif

}  // namespace Quorvel
