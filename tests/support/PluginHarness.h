#pragma once

#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "QuorvelPlugin.h"
#include "TempDir.h"
#include "tarvik/loader/PluginModule.h"
#include "tarvik/standin/HostControl.h"

namespace QuorvelTest {

// The file's header as the module writes it on this platform.
const std::string& headerOnDisk();
// The console lines the module tests expect, written out rather than taken from the
// plugin's constants, so that a changed constant fails a test.
inline const char* const kLoaded = "Quorvel: Loaded (using Launch.log)";
inline const char* const kLogged = "Performance data logged";
// The player the module tests name when they write files of their own.
inline const char* const kPlayer = "Steam|7656|0";

// Points the current user's Documents folder at `folder` for this process.
void setDocumentsFolder(const std::filesystem::path& folder);

// One host with the built module loaded through the platform's loader, a data folder
// and a Documents folder of its own. The plugin is reached only through the module's
// record and the host: the virtual clock drives its ticks.
class PluginHarness {
  public:
    PluginHarness();
    ~PluginHarness();

    Tarvik::StandIn::Host host;
    Tarvik::Loader::PluginModule module;
    TempDir dataFolder{"quorvel-data"};
    TempDir documents{"quorvel-documents"};

    // getPlugin through the record, then console and game filled in as the host does.
    Tarvik::Plugin::TarvikPlugin& create();
    // create, then onLoad.
    Tarvik::Plugin::TarvikPlugin& load();
    void deleteMe();
    // The game closes at once, as a killed process does: no onUnload, no deleteMe, no
    // further tick. The object is put aside and never called again, so the next
    // create() finds the module as a new process would, on the same folders.
    void crash();
    // The plugin object as the host holds it: calls go through its virtual table.
    Tarvik::Plugin::TarvikPlugin& object();
    // The plugin's own members, read through its class definition.
    QuorvelPlugin& plugin();

    Tarvik::StandIn::GameState& game() { return host.game(); }
    // Advances the clock by whole seconds, one tick each.
    void ticks(int count);
    // In a live match with every game object present.
    void enterMatch(const std::string& guid = "match-1");
    void leaveMatch();
    // One second in a live match whose row carries `mark` as its PacketsIn value.
    void markedTick(int mark);
    // Writes Launch.log under the Documents folder.
    void writeLaunchLog(const std::string& contents);
    std::filesystem::path launchLog() const;

    std::filesystem::path csvFile() const;
    std::filesystem::path historyFolder() const { return dataFolder / "quorvel-history"; }
    // Every line of every file in the history folder.
    std::vector<std::string> historyLines() const;
    std::string csv() const;
    // The file's rows without its header line.
    std::vector<std::string> rows() const;
    std::vector<std::string> consoleTexts() const { return host.consoleTexts(); }
    std::size_t consoleCount(const std::string& text) const;

  private:
    std::shared_ptr<Tarvik::Plugin::TarvikPlugin>* instance = nullptr;
    // Objects of crashed sessions; released before the host they refer to.
    std::vector<std::shared_ptr<Tarvik::Plugin::TarvikPlugin>> crashed;
};

std::vector<std::string> splitLines(const std::string& text);
// The marks (markedTick) of the rows among `lines`; header lines are skipped.
std::multiset<int> rowMarks(const std::vector<std::string>& lines);
std::vector<std::string> splitFields(const std::string& row);

}  // namespace QuorvelTest
