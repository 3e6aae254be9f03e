// quorvel-sim: plays a game session through the built plugin module on the stand-in
// host and prints what the plugin said and what it recorded.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <iostream>

#include "CommandLine.h"
#include "DefaultScenario.h"
#include "DisplayText.h"
#include "ExitStatus.h"
#include "ParseArguments.h"
#include "Report.h"
#include "Scenario.h"
#include "Session.h"
#include "StandardOutput.h"
#include "TableReport.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using namespace Quorvel::Tools;

constexpr double kMaxPace = 60.0;

const char* const kExitStatuses =
    "Exit status:\n"
    "  0    the session was played and its rows are in the file\n"
    "  1    the session could not be played (the module, a folder)\n"
    "  2    wrong options, or a scenario that cannot be used (nothing is written)\n"
    "  3    the plugin could not write its file: rows did not reach it\n"
    "  130  stopped by Ctrl-C (143: by SIGTERM), after the plugin was unloaded as when\n"
    "       the game closes, so the rows collected are in the file\n";

volatile std::sig_atomic_t stopSignal = 0;

extern "C" void requestStop(int signal) {
    stopSignal = signal;
}

#if defined(_WIN32)
// Ctrl-C, Ctrl-Break and closing the console window end the session as SIGINT does.
BOOL WINAPI consoleEvent(DWORD) {
    stopSignal = SIGINT;
    return TRUE;
}
#endif

void stopOnSignals() {
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
#if defined(_WIN32)
    SetConsoleCtrlHandler(consoleEvent, TRUE);
#endif
}

std::filesystem::path moduleBesideThisProgram(const char* argv0) {
#if defined(_WIN32)
    return programFile(argv0).parent_path() / "QuorvelPlugin.dll";
#else
    return programFile(argv0).parent_path() / "QuorvelPlugin.so";
#endif
}

std::filesystem::path freshSessionFolder() {
    const auto stamp =
        std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
    return std::filesystem::temp_directory_path() / ("quorvel-sim-" + std::to_string(stamp));
}

// A finite number of seconds from 0 to kMaxPace.
std::string checkPace(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value) || value < 0 ||
        value > kMaxPace) {
        return "--pace takes a number of seconds from 0 to 60, not \"" + text + "\"";
    }
    return {};
}

// The summary of each file the session wrote, as the report tool prints it.
void printSummaries(const std::vector<std::filesystem::path>& files, StreamOutput& out) {
    for (const auto& file : files) {
        out.write("\nCSV file: " + Quorvel::Summary::displayPath(file) + "\n");
        Quorvel::Summary::TableReport table(out);
        Quorvel::Summary::ReportHooks hooks;
        hooks.problem = [&out](const std::filesystem::path&, std::size_t line,
                               const std::string& what) {
            out.write("  line " + std::to_string(line) + ": " + what + "\n");
        };
        const auto result = Quorvel::Summary::buildReport({file}, {&table}, hooks);
        const auto& input = result.inputs.front();
        if (!input.usable) {
            out.write(input.refusal + "\n");
        } else {
            out.write(std::to_string(input.rows) + " rows in " + std::to_string(input.matches) +
                      (input.matches == 1 ? " match\n" : " matches\n"));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    useUtf8Console();
    const Utf8Arguments arguments(argc, argv);
    CLI::App app{"Plays a game session through the Quorvel plugin module on the stand-in host."};
    app.footer(kExitStatuses);
    std::string scenarioFile, dataFolder, documentsFolder, player, modulePath;
    bool realtime = false;
    double pace = 0;
    app.add_option("scenario", scenarioFile, "Scenario file (JSON); default: the built-in session");
    app.add_option("--data", dataFolder,
                   "Host data folder the CSV file goes into (default: a fresh folder)");
    app.add_option("--documents", documentsFolder,
                   "The user's Documents folder (default: a fresh folder)");
    app.add_option("--player", player,
                   "The local player's id (default: the scenario's, or a Steam-like id)");
    app.add_option("--module", modulePath,
                   "The plugin module (default: the one built beside this program)");
    auto* realtimeFlag = app.add_flag("--realtime", realtime, "Tick once per real second");
    app.add_option("--pace", pace, "Real seconds per tick, 0 to 60 (0: as fast as possible)")
        ->check(CLI::Validator(checkPace, "SECONDS"))
        ->excludes(realtimeFlag);
    if (const auto done = parseArguments(app, arguments, "quorvel-sim")) {
        return *done;
    }

    QuorvelSim::Scenario scenario;
    try {
        scenario = scenarioFile.empty()
                       ? QuorvelSim::parseScenario(kDefaultScenario, "built-in session")
                       : QuorvelSim::loadScenarioFile(pathFromUtf8(scenarioFile));
    } catch (const QuorvelSim::ScenarioError& error) {
        std::cerr << "quorvel-sim: " << error.what() << "\n";
        return kExitUsage;
    }

    QuorvelSim::SessionOptions options;
    const std::filesystem::path session = freshSessionFolder();
    options.dataFolder = dataFolder.empty() ? session / "data" : pathFromUtf8(dataFolder);
    options.documentsFolder = documentsFolder.empty()
                                  ? session / pathFromUtf8(scenario.documentsFolder)
                                  : pathFromUtf8(documentsFolder);
    options.player =
        !player.empty() ? player : scenario.player.value_or("Steam|76561190000000000|0");
    options.modulePath =
        modulePath.empty() ? moduleBesideThisProgram(argv[0]) : pathFromUtf8(modulePath);
    options.realSecondsPerTick = realtime ? 1.0 : pace;
    if (!realtime) {
        options.calendarStart = scenario.start;
    }
    options.stopRequested = [] { return static_cast<int>(stopSignal); };
    stopOnSignals();

    StreamOutput out(stdout, "standard output");
    int status = kExitOk;
    try {
        std::filesystem::create_directories(options.dataFolder);
        std::filesystem::create_directories(options.documentsFolder);
        std::cout << "Session: " << (scenarioFile.empty() ? "built-in" : scenarioFile) << " \u2014 "
                  << scenario.description << "\n"
                  << "Data folder: " << Quorvel::Summary::displayPath(options.dataFolder) << "\n"
                  << "Documents folder: " << Quorvel::Summary::displayPath(options.documentsFolder)
                  << "\n";
        const QuorvelSim::SessionResult result =
            QuorvelSim::playSession(scenario, options, std::cout);
        std::cout.flush();
        printSummaries(result.files, out);
        if (result.rowsNotWritten) {
            std::cerr << "quorvel-sim: the plugin could not write its file in "
                      << Quorvel::Summary::displayPath(options.dataFolder)
                      << ": rows it collected did not reach the file\n";
            status = kExitOutputFailed;
        }
        if (result.stoppedBySignal != 0) {
            status = kExitInterruptedBase + result.stoppedBySignal;
        }
    } catch (const std::exception& error) {
        std::cerr << "quorvel-sim: " << error.what() << "\n";
        return kExitUnusableInput;
    }
    if (!std::cout.flush() || out.finish()) {
        std::cerr << "quorvel-sim: standard output cannot be written\n";
        return kExitOutputFailed;
    }
    return status;
}
