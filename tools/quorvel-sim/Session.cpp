#include "Session.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "DisplayText.h"
#include "PerformanceFormat.h"
#include "SessionEnvironment.h"
#include "tarvik/loader/PluginModule.h"
#include "tarvik/standin/HostControl.h"

namespace QuorvelSim {

namespace {

using Tarvik::StandIn::History;

constexpr History kHistoryOf[kStatisticCount] = {
    History::Latency,       History::PacketsOut, History::PacketsIn,    History::LostPacketsOut,
    History::LostPacketsIn, History::Buffer,     History::BufferTarget, History::FPS};

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
    game.exactPing = static_cast<float>(phase->pingMs.at(offset, duration) / 1000.0);
    for (std::size_t i = 0; i < kStatisticCount; ++i) {
        const auto value = static_cast<float>(phase->statistics[i].at(offset, duration));
        game.sample(kHistoryOf[i]) = {value, value};
    }
}

// Whether the last word of the plugin on writing its file was a failure.
bool lastWriteFailed(const std::vector<std::string>& consoleLines) {
    bool failed = false;
    for (const std::string& line : consoleLines) {
        if (line == "Performance data logged") {
            failed = false;
        } else if (line.rfind("Quorvel: Could not write performance data", 0) == 0) {
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

}  // namespace

SessionResult playSession(const Scenario& scenario, const SessionOptions& options,
                          std::ostream& out) {
    SessionResult result;
    Tarvik::StandIn::Host host;
    host.game().uniqueId = options.player;
    host.game().dataFolder = options.dataFolder;
    const std::filesystem::path launchLog =
        options.documentsFolder / "My Games" / "Brimvale" / "TAGame" / "Logs" / "Launch.log";

    Tarvik::Loader::PluginModule module(options.modulePath);
    const SessionEnvironment environment(module, options.documentsFolder, options.calendarStart,
                                         [&host] { return host.now(); });
    const auto& record = module.record();
    out << "Loaded " << record.displayName << " " << record.version << " (API " << record.apiVersion
        << ") from " << Quorvel::Summary::displayPath(options.modulePath) << "\n";

    std::size_t printed = 0;
    auto printConsole = [&] {
        const auto& lines = host.console();
        for (; printed < lines.size(); ++printed) {
            char time[32];
            std::snprintf(time, sizeof time, "[%6.1fs] ", lines[printed].time);
            out << time << lines[printed].text << "\n";
        }
        if (options.realSecondsPerTick > 0) {
            out.flush();  // a paced session is watched as it goes
        }
    };
    auto note = [&](const std::string& text) {
        printConsole();
        char time[32];
        std::snprintf(time, sizeof time, "[%6.1fs] ", host.now());
        out << time << "(host) " << text << "\n";
    };

    bool loaded = false;
    auto load = [&] {
        std::shared_ptr<Tarvik::Plugin::TarvikPlugin>* instance = record.getPlugin();
        if (instance == nullptr || !*instance) {
            throw std::runtime_error("the module's getPlugin gave no plugin object");
        }
        (*instance)->console = host.consoleWrapper();
        (*instance)->game = host.gameWrapper();
        (*instance)->onLoad();
        loaded = true;
    };
    auto unload = [&] {
        (*record.getPlugin())->onUnload();
        record.deleteMe();
        loaded = false;
    };

    // What happens in second s (the game's state, log lines, unload and load) happens
    // half a second before the tick at s.
    std::size_t nextEvent = 0;
    for (int second = 0; second <= scenario.seconds; ++second) {
        if (options.stopRequested && (result.stoppedBySignal = options.stopRequested()) != 0) {
            break;
        }
        if (second > 0) {
            host.advance(0.5);
        }
        applyState(scenario, second, host.game());
        for (; nextEvent < scenario.events.size() && scenario.events[nextEvent].at == second;
             ++nextEvent) {
            const Event& event = scenario.events[nextEvent];
            if (event.kind == Event::Kind::AppendToLaunchLog) {
                std::filesystem::create_directories(launchLog.parent_path());
                std::ofstream(launchLog, std::ios::binary | std::ios::app) << event.text << "\r\n";
                note("game logs: " + event.text);
            } else if (event.kind == Event::Kind::Unload && loaded) {
                note("unloads the plugin");
                unload();
            } else if (event.kind == Event::Kind::Load && !loaded && second > 0) {
                note("loads the plugin");
                load();
            }
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
    if (loaded) {
        host.advance(0.5);
        note(result.stoppedBySignal != 0
                 ? "stopped (signal " + std::to_string(result.stoppedBySignal) +
                       "): the game closes and unloads the plugin"
                 : "session ends: unloads the plugin");
        unload();
    }
    printConsole();
    // Scheduled callbacks are module code: drop them before the module goes.
    host.cancelTimeouts();

    result.rowsNotWritten = lastWriteFailed(host.consoleTexts());
    for (const auto& entry : std::filesystem::directory_iterator(options.dataFolder)) {
        if (entry.is_regular_file() && Quorvel::Summary::displayPath(entry.path().filename())
                                           .ends_with(Quorvel::Format::kFileNameSuffix)) {
            result.files.push_back(entry.path());
        }
    }
    return result;
}

}  // namespace QuorvelSim
