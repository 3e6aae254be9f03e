#include "PluginHarness.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#if defined(_WIN32)
#include <windows.h>
#endif

#include "CsvFile.h"
#include "PerformanceFormat.h"

namespace QuorvelTest {

const std::string& headerOnDisk() {
    static const std::string header = onDisk(std::string(Quorvel::Format::kHeaderLine));
    return header;
}

#if defined(_WIN32)
void setDocumentsFolder(const std::filesystem::path& folder) {
    HKEY key = nullptr;
    const wchar_t* shellFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    if (RegCreateKeyExW(HKEY_CURRENT_USER, shellFolders, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot open the shell folders key");
    }
    const std::wstring value = folder.native();
    RegSetValueExW(key, L"Personal", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}
#else
void setDocumentsFolder(const std::filesystem::path& folder) {
    setenv("XDG_DOCUMENTS_DIR", folder.c_str(), 1);
}
#endif

PluginHarness::PluginHarness() : module(QUORVEL_MODULE_PATH) {
    host.game().dataFolder = dataFolder.path();
    setDocumentsFolder(documents.path());
}

PluginHarness::~PluginHarness() {
    // Scheduled callbacks are module code: drop them while the module is loaded.
    host.cancelTimeouts();
    deleteMe();
}

Tarvik::Plugin::TarvikPlugin& PluginHarness::create() {
    instance = module.record().getPlugin();
    if (instance == nullptr || !*instance) {
        throw std::runtime_error("getPlugin gave no plugin");
    }
    (*instance)->console = host.consoleWrapper();
    (*instance)->game = host.gameWrapper();
    return **instance;
}

Tarvik::Plugin::TarvikPlugin& PluginHarness::load() {
    Tarvik::Plugin::TarvikPlugin& created = create();
    created.onLoad();
    return created;
}

void PluginHarness::deleteMe() {
    module.record().deleteMe();
}

void PluginHarness::crash() {
    host.cancelTimeouts();
    if (instance != nullptr && *instance) {
        crashed.push_back(*instance);
    }
    deleteMe();  // empties the module's hold only: the copy above keeps the object
    instance = nullptr;
}

Tarvik::Plugin::TarvikPlugin& PluginHarness::object() {
    if (instance == nullptr || !*instance) {
        throw std::runtime_error("no plugin object");
    }
    return **instance;
}

QuorvelPlugin& PluginHarness::plugin() {
    return static_cast<QuorvelPlugin&>(object());
}

void PluginHarness::ticks(int count) {
    for (int i = 0; i < count; ++i) {
        host.advance(1.0);
    }
}

void PluginHarness::enterMatch(const std::string& guid) {
    auto& state = game();
    state.inOnlineGame = true;
    state.onlineGamePresent = true;
    state.localPlayerPresent = true;
    state.replicationInfoPresent = true;
    state.statGraphsPresent = true;
    state.matchGuid = guid;
}

void PluginHarness::leaveMatch() {
    game().inOnlineGame = false;
}

void PluginHarness::markedTick(int mark) {
    enterMatch(game().matchGuid.empty() ? "match-1" : game().matchGuid);
    game().sample(Tarvik::StandIn::History::PacketsIn) = {0.0f, static_cast<float>(mark)};
    ticks(1);
}

std::filesystem::path PluginHarness::launchLog() const {
    return documents / "My Games" / "Brimvale" / "TAGame" / "Logs" / "Launch.log";
}

void PluginHarness::writeLaunchLog(const std::string& contents) {
    writeFile(launchLog(), contents);
}

std::filesystem::path PluginHarness::csvFile() const {
    return *Quorvel::csvFilePath(dataFolder.path(), host.game().uniqueId);
}

std::string PluginHarness::csv() const {
    return readFile(csvFile());
}

std::vector<std::string> PluginHarness::rows() const {
    std::vector<std::string> lines = splitLines(csv());
    if (!lines.empty()) {
        lines.erase(lines.begin());
    }
    return lines;
}

std::vector<std::string> PluginHarness::historyLines() const {
    std::vector<std::string> lines;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(historyFolder(), error)) {
        for (std::string& line : splitLines(readFile(entry.path()))) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::size_t PluginHarness::consoleCount(const std::string& text) const {
    const auto texts = host.consoleTexts();
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

std::multiset<int> rowMarks(const std::vector<std::string>& lines) {
    std::multiset<int> marks;
    for (const std::string& line : lines) {
        if (line.rfind("Timestamp,", 0) != 0) {
            marks.insert(std::stoi(splitFields(line).at(10)));
        }
    }
    return marks;
}

std::vector<std::string> splitFields(const std::string& row) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const char c = row[i];
        if (quoted) {
            if (c == '"' && i + 1 < row.size() && row[i + 1] == '"') {
                fields.back().push_back('"');
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                fields.back().push_back(c);
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else {
            fields.back().push_back(c);
        }
    }
    return fields;
}

}  // namespace QuorvelTest
