#include "TextConversion.h"

#if defined(_WIN32)
#include <locale.h>
#include <windows.h>

#include <climits>
#endif

namespace Quorvel::Platform {

#if defined(_WIN32)

namespace {

UINT fileNameCodePage() {
    if (___lc_codepage_func() == CP_UTF8) {
        return CP_UTF8;
    }
    return AreFileApisANSI() ? CP_ACP : CP_OEMCP;
}

// `text` in `codePage` as UTF-16; nullopt when `flags` refuse a byte of it.
std::optional<std::wstring> wideOf(std::string_view text, UINT codePage, DWORD flags) {
    if (text.empty()) {
        return std::wstring();
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return std::nullopt;
    }
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wideLength <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), wideLength);
    return wide;
}

}  // namespace

std::optional<std::filesystem::path> narrowToPath(std::string_view text) {
    std::optional<std::wstring> wide = wideOf(text, fileNameCodePage(), MB_ERR_INVALID_CHARS);
    if (!wide) {
        return std::nullopt;
    }
    return std::filesystem::path(std::move(*wide));
}

std::string utf8FromWide(std::wstring_view wide) {
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int length = static_cast<int>(wide.size());
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), bytes, nullptr, nullptr);
    }
    return text;
}

std::wstring wideFromUtf8(std::string_view utf8) {
    return wideOf(utf8, CP_UTF8, 0).value_or(std::wstring());
}

#else

std::optional<std::filesystem::path> narrowToPath(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

#endif

}  // namespace Quorvel::Platform
