#include "LaunchLogPath.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#if defined(_WIN32)
#include <shlobj.h>
#include <windows.h>
#endif

namespace Quorvel {

#if defined(_WIN32)

std::filesystem::path documentsFolder() {
    wchar_t folder[MAX_PATH] = {};
    const HRESULT result = SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, 0, folder);
    if (FAILED(result)) {
        return {};
    }
    return std::filesystem::path(folder);
}

std::filesystem::path launchLogPath() {
    std::filesystem::path folder = documentsFolder();
    if (folder.empty()) {
        return {};
    }
    // The suffix starts with its own separator; none is added.
    return std::filesystem::path(folder.native() +
                                 L"\\My Games\\Brimvale\\TAGame\\Logs\\Launch.log");
}

#else

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return std::string(value);
}

// XDG_DOCUMENTS_DIR="$HOME/..." or an absolute path, as the user-dirs file holds it.
std::optional<std::string> documentsFromUserDirs(const std::string& home) {
    const std::optional<std::string> configHome = environment("XDG_CONFIG_HOME");
    const std::filesystem::path file =
        std::filesystem::path(configHome ? *configHome : home + "/.config") / "user-dirs.dirs";
    std::ifstream in(file);
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(kKey, 0) != 0 || line.size() < kKey.size() + 1 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
        if (value.rfind("$HOME", 0) == 0) {
            value.replace(0, 5, home);
        }
        if (!value.empty() && value.front() == '/') {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

std::filesystem::path documentsFolder() {
    if (std::optional<std::string> documents = environment("XDG_DOCUMENTS_DIR")) {
        return *documents;
    }
    const std::optional<std::string> home = environment("HOME");
    if (!home) {
        return {};
    }
    return documentsFromUserDirs(*home).value_or(*home + "/Documents");
}

std::filesystem::path launchLogPath() {
    std::filesystem::path folder = documentsFolder();
    if (folder.empty()) {
        return {};
    }
    return std::filesystem::path(folder.native() + "/My Games/Brimvale/TAGame/Logs/Launch.log");
}

#endif

}  // namespace Quorvel
