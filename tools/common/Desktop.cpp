#include "Desktop.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "ConsoleText.h"
#include "DisplayText.h"
#include "Failure.h"
#include "SystemPath.h"

#if defined(_WIN32)
#include <windows.h>
// after windows.h, which they need
#include <conio.h>
#include <io.h>
#include <shellapi.h>
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace Quorvel::Tools {

namespace {

bool environmentSays(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && !std::string_view(value).empty() && std::string_view(value) != "0";
}

#if defined(_WIN32)
// The shell starts programs with paths shorter than MAX_PATH: a longer one is given in
// its short form (8.3 names), where the volume keeps such names; nothing when there is
// no short enough form.
std::optional<std::wstring> shellPath(const std::filesystem::path& file) {
    std::error_code error;
    const std::wstring plain = std::filesystem::absolute(file, error).native();
    if (!error && plain.size() < MAX_PATH) {
        return plain;
    }
    const std::wstring longForm = systemPath(file).native();
    std::wstring shortForm(longForm.size() + 1, L'\0');
    const DWORD length =
        GetShortPathNameW(longForm.c_str(), shortForm.data(), static_cast<DWORD>(shortForm.size()));
    if (length == 0 || length >= shortForm.size()) {
        return std::nullopt;
    }
    shortForm.resize(length);
    if (shortForm.rfind(L"\\\\?\\UNC\\", 0) == 0) {
        shortForm = L"\\\\" + shortForm.substr(8);
    } else if (shortForm.rfind(L"\\\\?\\", 0) == 0) {
        shortForm = shortForm.substr(4);
    }
    return shortForm.size() < MAX_PATH ? std::optional<std::wstring>(shortForm) : std::nullopt;
}
#endif

}  // namespace

void openWithDefaultProgram(const std::filesystem::path& file) {
    if (environmentSays("QUORVEL_NO_BROWSER")) {
        return;
    }
    const auto cannot = [&file](const std::string& why) {
        return Failure(FailureKind::Output, "cannot open " + displayPath(file) + ": " + why);
    };
#if defined(_WIN32)
    const std::optional<std::wstring> path = shellPath(file);
    if (!path) {
        throw cannot(
            "its path is too long for a browser to be started with it; the page is "
            "written there, open it from its folder");
    }
    const auto result = reinterpret_cast<std::intptr_t>(
        ShellExecuteW(nullptr, L"open", path->c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result == SE_ERR_NOASSOC || result == SE_ERR_ASSOCINCOMPLETE) {
        throw cannot(
            "no program to open it with was found; the page is written there, open it "
            "with a browser");
    } else if (result <= 32) {
        throw cannot("Windows could not start a program for it (error " + std::to_string(result) +
                     "); the page is written there, open it with a browser");
    }
#else
    const std::string path = file.string();
    const char* const arguments[] = {"xdg-open", path.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, const_cast<char* const*>(arguments),
                     environ) != 0) {
        throw cannot("xdg-open, which opens it in the browser, is not installed");
    }
    int status = 0;
    waitpid(child, &status, 0);  // xdg-open hands the file on and returns at once
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw cannot("xdg-open could not open it");
    }
#endif
}

bool hasConsoleOfItsOwn() {
    if (environmentSays("QUORVEL_OWN_CONSOLE")) {
        return true;
    }
#if defined(_WIN32)
    DWORD processes[2] = {};
    return GetConsoleProcessList(processes, 2) == 1;
#else
    return false;
#endif
}

void waitForKeyBeforeClosing() {
#if defined(_WIN32)
    if (_isatty(_fileno(stdin)) == 0) {
        return;
    }
    writeText(stderr, "\nPress any key to close this window.");
    std::fflush(stderr);
    _getch();
#endif
}

}  // namespace Quorvel::Tools
