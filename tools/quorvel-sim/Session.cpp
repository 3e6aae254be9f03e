#include "Session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <thread>

#include "CommandLine.h"
#include "ConsoleLines.h"
#include "DisplayText.h"
#include "Failure.h"
#include "FolderSnapshot.h"
#include "PerformanceFormat.h"
#include "SessionEnvironment.h"
#include "SystemPath.h"
#include "TerminalText.h"
#include "tarvik/loader/PluginModule.h"
#include "tarvik/standin/HostControl.h"

namespace Quorvel::Sim {

namespace {

using Format::Statistic;
using Tarvik::StandIn::History;

// Where the stand-in host keeps each statistic; Ping is the replication info's own.
std::optional<History> historyOf(Statistic statistic) {
    switch (statistic) {
        case Statistic::FPS:
            return History::FPS;
        case Statistic::Latency:
            return History::Latency;
        case Statistic::PacketsOut:
            return History::PacketsOut;
        case Statistic::PacketsIn:
            return History::PacketsIn;
        case Statistic::LostPacketsOut:
            return History::LostPacketsOut;
        case Statistic::LostPacketsIn:
            return History::LostPacketsIn;
        case Statistic::Buffer:
            return History::Buffer;
        case Statistic::BufferTarget:
            return History::BufferTarget;
        case Statistic::Ping:
            break;
    }
    return std::nullopt;
}

void applyState(const Scenario& scenario, int second, Tarvik::StandIn::GameState& game) {
    const Phase* phase = scenario.phaseAt(second);
    if (phase == nullptr) {
        game.inOnlineGame = false;  // the menu
        return;
    }
    const int offset = second - phase->from;
    const int duration = phase->to - phase->from;
    game.inOnlineGame = phase->inOnlineGame;
    game.onlineGamePresent = phase->onlineGame;
    game.localPlayerPresent = phase->localPlayer;
    game.replicationInfoPresent = phase->replicationInfo;
    game.statGraphsPresent = phase->statGraphs;
    game.matchGuid = phase->matchGuid;
    game.playlistId = phase->playlistId;
    for (Statistic statistic : Format::kStatistics) {
        const auto value = static_cast<float>(phase->statistics[statistic].at(offset, duration));
        if (const std::optional<History> history = historyOf(statistic)) {
            game.sample(*history) = {value, value};
        } else {
            game.exactPing = value / 1000.0f;  // Ping: the game reports seconds
        }
    }
}

// Whether the last word of the plugin on writing its file was a failure.
bool lastWriteFailed(const std::vector<std::string>& consoleLines) {
    bool failed = false;
    for (const std::string& line : consoleLines) {
        if (line == Console::kRowsLogged) {
            failed = false;
        } else if (line.starts_with(Console::kCouldNotWrite)) {
            failed = true;
        }
    }
    return failed;
}

// Sleeps `seconds` in short steps, so a stop request is seen at once.
void pace(double seconds, const std::function<int()>& stopRequested) {
    using Clock = std::chrono::steady_clock;
    const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(seconds));
    for (auto now = Clock::now(); now < until && !(stopRequested && stopRequested() != 0);
         now = Clock::now()) {
        std::this_thread::sleep_for(
            std::min<Clock::duration>(std::chrono::milliseconds{50}, until - now));
    }
}

std::unique_ptr<Tarvik::Loader::PluginModule> loadModule(const std::filesystem::path& file) {
    try {
        return std::make_unique<Tarvik::Loader::PluginModule>(file);
    } catch (const Tarvik::Loader::ModuleLoadError& error) {
        throw Tools::Failure(Tools::FailureKind::Input, error.what());
    }
}

// One session: the host, the module loaded into it and the module's surroundings,
// made and given back in that order's reverse.
class SessionPlayer {
  public:
    SessionPlayer(const Scenario& played, const SessionOptions& chosen, std::ostream& output)
        : scenario(played),
          options(chosen),
          out(output),
          module(loadModule(options.modulePath)),
          environment(*module, options.documentsFolder, options.calendarStart,
                      [this] { return host.now(); }) {
        host.game().uniqueId = options.player;
        host.game().dataFolder = options.dataFolder;
    }

    // Scheduled callbacks are module code: they go before the module does.
    ~SessionPlayer() { host.cancelTimeouts(); }
    SessionPlayer(const SessionPlayer&) = delete;
    SessionPlayer& operator=(const SessionPlayer&) = delete;

    SessionResult play();

  private:
    bool endsEarly(SessionResult& result) const;
    std::vector<WrittenFile> writtenFiles(const FolderSnapshot& before) const;
    static std::string ending(const SessionResult& result);
    void runEvents(int second, std::size_t& nextEvent);
    void appendToLaunchLog(const std::string& line);
    void load();
    void unload();
    void printConsole();
    void note(const std::string& text);
    std::filesystem::path launchLog() const { return launchLogIn(options.documentsFolder); }

    const Scenario& scenario;
    const SessionOptions& options;
    std::ostream& out;
    Tarvik::StandIn::Host host;
    std::unique_ptr<Tarvik::Loader::PluginModule> module;
    SessionEnvironment environment;
    std::size_t printed = 0;
    bool loaded = false;
    bool everLoaded = false;
    std::optional<int> crashedAt;
    std::optional<std::string> notAsScripted;
};

void SessionPlayer::printConsole() {
    const auto& lines = host.console();
    for (; printed < lines.size(); ++printed) {
        char time[32];
        std::snprintf(time, sizeof time, "[%6.1fs] ", lines[printed].time);
        out << time << Tools::terminalSafe(lines[printed].text) << "\n";
    }
    if (options.realSecondsPerTick > 0) {
        out.flush();  // a paced session is watched as it goes
    }
}

void SessionPlayer::note(const std::string& text) {
    printConsole();
    char time[32];
    std::snprintf(time, sizeof time, "[%6.1fs] ", host.now());
    out << time << "(host) " << Tools::terminalSafe(text) << "\n";
}

void SessionPlayer::load() {
    std::shared_ptr<Tarvik::Plugin::TarvikPlugin>* instance = module->record().getPlugin();
    if (instance == nullptr || !*instance) {
        throw Tools::Failure(Tools::FailureKind::Input,
                             "the module's getPlugin gave no plugin object");
    }
    (*instance)->console = host.consoleWrapper();
    (*instance)->game = host.gameWrapper();
    (*instance)->onLoad();
    loaded = everLoaded = true;
}

void SessionPlayer::unload() {
    (*module->record().getPlugin())->onUnload();
    module->record().deleteMe();
    loaded = false;
}

// A line the game's log does not get would leave the plugin without the server the
// scenario gives it: the session ends there instead of going on as if it had.
void SessionPlayer::appendToLaunchLog(const std::string& line) {
    std::ofstream log;
    try {
        Tools::createFolders(launchLog().parent_path());
        log.open(Tools::systemPath(launchLog()), std::ios::binary | std::ios::app);
        log << line << "\r\n";
        log.close();
    } catch (const std::filesystem::filesystem_error&) {
        log.setstate(std::ios::failbit);
    }
    if (!log) {
        notAsScripted = "the game's log " + Tools::displayPath(launchLog()) +
                        " could not be written (a full disk, a folder in its place?)";
        note("cannot write the game's log: the game closes and unloads the plugin");
        return;
    }
    note("game logs: " + line);
}

void SessionPlayer::runEvents(int second, std::size_t& nextEvent) {
    for (; nextEvent < scenario.events.size() && scenario.events[nextEvent].at == second;
         ++nextEvent) {
        const SessionEvent& event = scenario.events[nextEvent];
        if (event.kind == SessionEvent::Kind::AppendToLaunchLog) {
            appendToLaunchLog(event.text);
            if (notAsScripted) {
                return;
            }
        } else if (event.kind == SessionEvent::Kind::Unload && loaded) {
            note("unloads the plugin");
            unload();
        } else if (event.kind == SessionEvent::Kind::Load && !loaded && second > 0) {
            note("loads the plugin");
            load();
        } else if (event.kind == SessionEvent::Kind::Crash) {
            note("the game crashes: the plugin is neither unloaded nor told");
            crashedAt = second;
            return;
        }
    }
}

// Whether the session is to end before its next second: a stop was requested, or what
// it prints cannot be written; `result` says which.
bool SessionPlayer::endsEarly(SessionResult& result) const {
    if (options.stopRequested) {
        result.stoppedBySignal = options.stopRequested();
        if (result.stoppedBySignal != 0) {
            return true;
        }
    }
    result.outputFailed = !out;
    return result.outputFailed;
}

// The files the session wrote: those new or changed since `before`, and the plugin's
// own whenever it was loaded, since each load starts that file afresh: a run writing
// the same bytes as the last leaves its size as it was, and its time too where file
// times are coarse. The snapshot still finds the
// plugin's file where it is named otherwise (Windows: an id beyond ASCII goes through
// the code page), and the earlier sessions the plugin moved into its history.
std::vector<WrittenFile> SessionPlayer::writtenFiles(const FolderSnapshot& before) const {
    std::vector<WrittenFile> files = before.newOrChanged();
    const std::filesystem::path own =
        options.dataFolder / Tools::pathFromUtf8(Format::performanceFileName(options.player));
    const auto byPath = [](const WrittenFile& a, const WrittenFile& b) { return a.path < b.path; };
    const WrittenFile ownFile{own, 0};
    std::error_code error;
    if (everLoaded && std::filesystem::is_regular_file(Tools::fileStatus(own, error)) &&
        !std::binary_search(files.begin(), files.end(), ownFile, byPath)) {
        files.insert(std::upper_bound(files.begin(), files.end(), ownFile, byPath), ownFile);
    }
    return files;
}

// The host's note as it unloads the plugin at the end.
std::string SessionPlayer::ending(const SessionResult& result) {
    if (result.stoppedBySignal != 0) {
        return "stopped (signal " + std::to_string(result.stoppedBySignal) +
               "): the game closes and unloads the plugin";
    }
    return result.outputFailed ? "output cannot be written: the game closes and unloads the plugin"
                               : "session ends: unloads the plugin";
}

// What happens in second s (the game's state, log lines, unload and load) happens
// half a second before the tick at s.
SessionResult SessionPlayer::play() {
    const auto& record = module->record();
    out << "Loaded " << record.displayName << " " << record.version << " (API " << record.apiVersion
        << ") from " << Tools::displayPath(options.modulePath) << "\n";
    const FolderSnapshot before(options.dataFolder);
    SessionResult result;
    std::size_t nextEvent = 0;
    for (int second = 0; second <= scenario.seconds; ++second) {
        if (endsEarly(result)) {
            break;
        }
        if (second > 0) {
            host.advance(0.5);
        }
        applyState(scenario, second, host.game());
        runEvents(second, nextEvent);
        if (crashedAt || notAsScripted) {
            break;
        }
        if (second == 0) {
            load();
        } else {
            if (options.realSecondsPerTick > 0) {
                pace(options.realSecondsPerTick, options.stopRequested);
            }
            host.advance(0.5);
        }
        printConsole();
    }
    if (loaded && !crashedAt) {
        host.advance(0.5);
        if (!notAsScripted) {
            note(ending(result));
        }
        unload();
    }
    printConsole();
    result.crashedAt = crashedAt;
    result.notAsScripted = notAsScripted;
    result.rowsTaken = host.callCount(Tarvik::StandIn::HostOperation::GetExactPing);
    result.rowsNotWritten = lastWriteFailed(host.consoleTexts());
    result.files = writtenFiles(before);
    return result;
}

}  // namespace

std::filesystem::path launchLogIn(const std::filesystem::path& documentsFolder) {
    return documentsFolder / "My Games" / "Brimvale" / "TAGame" / "Logs" / "Launch.log";
}

SessionResult playSession(const Scenario& scenario, const SessionOptions& options,
                          std::ostream& out) {
    SessionPlayer player(scenario, options, out);
    return player.play();
}

}  // namespace Quorvel::Sim
