#include "Desktop.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ConsoleText.h"
#include "DisplayText.h"
#include "Failure.h"

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

}  // namespace

void openWithDefaultProgram(const std::filesystem::path& file) {
    if (environmentSays("QUORVEL_NO_BROWSER")) {
        return;
    }
    const auto cannot = [&file](const std::string& why) {
        return Failure(FailureKind::Output, "cannot open " + displayPath(file) + ": " + why);
    };
#if defined(_WIN32)
    const auto result = reinterpret_cast<std::intptr_t>(
        ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        throw cannot("no program to open it with was found (error " + std::to_string(result) + ")");
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
