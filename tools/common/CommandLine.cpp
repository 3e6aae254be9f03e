#include "CommandLine.h"

#include <cstdlib>

#include "ConsoleText.h"
#include "TextConversion.h"

#if defined(_WIN32)
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>
#endif

namespace Quorvel::Tools {

namespace {

#if defined(_WIN32)
unsigned originalOutputCodePage = 0;

void restoreOutputCodePage() {
    SetConsoleOutputCP(originalOutputCodePage);
}
#endif

}  // namespace

Utf8Arguments::Utf8Arguments(int argc, char** argv) {
#if defined(_WIN32)
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        for (int i = 0; i < count; ++i) {
            texts.push_back(Platform::utf8FromWide(wide[i]));
        }
        LocalFree(wide);
    }
#endif
    for (int i = 0; texts.size() < static_cast<std::size_t>(argc) && i < argc; ++i) {
        texts.emplace_back(argv[i]);
    }
    for (const std::string& text : texts) {
        pointers.push_back(text.c_str());
    }
}

std::filesystem::path programFile([[maybe_unused]] const char* argv0) {
#if defined(_WIN32)
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);
    }
#elif defined(__linux__)
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::absolute(argv0) : self;
#else
    return std::filesystem::absolute(argv0);
#endif
}

void useUtf8Console() {
    routeStandardStreams();
#if defined(_WIN32)
    if (originalOutputCodePage == 0) {
        originalOutputCodePage = GetConsoleOutputCP();
        if (originalOutputCodePage != 0 && SetConsoleOutputCP(CP_UTF8)) {
            std::atexit(restoreOutputCodePage);
        }
    }
#endif
}

}  // namespace Quorvel::Tools
