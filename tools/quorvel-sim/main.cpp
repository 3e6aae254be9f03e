// quorvel-sim: plays a game session through the built plugin module on the stand-in
// host and prints what the plugin said and what it recorded.

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string_view>

#include "CommandLine.h"
#include "CommandWord.h"
#include "DefaultScenario.h"
#include "Desktop.h"
#include "DisplayText.h"
#include "Failure.h"
#include "Input.h"
#include "ParseArguments.h"
#include "Report.h"
#include "Scenario.h"
#include "ScratchFolder.h"
#include "Session.h"
#include "SimulatorFiles.h"
#include "StreamOutput.h"
#include "SystemPath.h"
#include "TableReport.h"
#include "TerminalText.h"
#include "UtcTimestamp.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

using namespace Quorvel;
using Tools::Failure;
using Tools::FailureKind;

constexpr double kMaxPace = 60.0;

// Standard output could not be written (a closed pipe, a full disk): the status a shell
// gives a program that SIGPIPE ended, on every platform.
constexpr int kExitOutputClosed = 141;

// For a player who started the program from Explorer rather than a terminal.
const char* const kAbout =
    "quorvel-sim plays a game session through the Quorvel plugin, as the game and its host\n"
    "would, and the plugin writes its performance file. Started on its own, it plays its\n"
    "built-in session: two short matches. The summary at the end says where the file is.\n\n";

const char* const kExitStatuses =
    "Exit status:\n"
    "  0    the session was played and every row collected is in a file (the player's, or\n"
    "       the history folder for a session the plugin kept at a reload); or the\n"
    "       scenario's crash was played, and the summary says what it cost\n"
    "  1    the session could not be played, or not as scripted (the module, a folder, the\n"
    "       game's log)\n"
    "  2    wrong options, or a scenario that cannot be used (nothing is written)\n"
    "  3    the plugin could not write its file: rows did not reach it\n"
    "  4    an internal error of the simulator (please report it)\n"
#if defined(_WIN32)
    "  130  stopped by Ctrl-C, Ctrl-Break or the console window closing. The plugin was\n"
    "       unloaded as when the game closes, so the rows collected are in files\n"
#else
    "  129  stopped by SIGHUP (the terminal closed); 130: by Ctrl-C; 143: by SIGTERM. The\n"
    "       plugin was unloaded as when the game closes, so the rows collected are in files\n"
#endif
    "  141  standard output could not be written (closed, as by | head, or full): the\n"
    "       session was ended the same way\n";

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
#else
    std::signal(SIGHUP, requestStop);
    // A closed output is a failed write instead, which ends the session as a stop does.
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

struct Options {
    std::string scenarioFile, dataFolder, documentsFolder, player, modulePath, start;
    bool realtime = false;
    double pace = 0;
};

// Where the CSV file goes without --data: a folder in the current one, where the player
// finds it after the run (the summary names it).
constexpr const char* kDefaultDataFolder = "quorvel-sim-data";

// A plain decimal number of seconds (digits, then a point and digits if any) from 0 to
// kMaxPace: no sign, exponent, hexadecimal or infinity.
std::string checkPace(const std::string& text) {
    const auto digits = [](std::string_view part) {
        return !part.empty() &&
               std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    const std::string_view whole = text;
    const std::size_t point = whole.find('.');
    const bool plain =
        digits(whole.substr(0, point)) && (point == whole.npos || digits(whole.substr(point + 1)));
    if (!plain || std::strtod(text.c_str(), nullptr) > kMaxPace) {
        return "--pace takes a number of seconds from 0 to 60, written with digits and at most "
               "one point, not \"" +
               text + "\"";
    }
    return {};
}

std::string checkStart(const std::string& text) {
    if (Format::parseUtcTimestamp(text)) {
        return {};
    }
    return "--start takes a time in UTC written \"YYYY-MM-DD HH:MM:SS\", not \"" + text + "\"";
}

// Second 0 of the session on the module's clock: --start, else the scenario's own, else
// now, so that runs on later days make a history of later days.
std::chrono::sys_seconds sessionStart(const Options& options, const Sim::Scenario& scenario) {
    if (options.start.empty()) {
        return scenario.start.value_or(
            std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));
    }
    const std::chrono::sys_seconds start = *Format::parseUtcTimestamp(options.start);
    if (const auto problem = Sim::startOutOfRange(start, scenario.seconds)) {
        throw Failure(FailureKind::Usage, "--start: expected " + *problem);
    }
    return start;
}

void describeOptions(CLI::App& app, Options& options) {
    app.footer(kExitStatuses);
    app.add_option("scenario", options.scenarioFile,
                   "Scenario file (JSON); default: the built-in session")
        ->option_text("SCENARIO.json");
    app.add_option("--data", options.dataFolder,
                   std::string("Host data folder the CSV file goes into (default: ") +
                       kDefaultDataFolder + " in the current folder)")
        ->option_text("FOLDER");
    app.add_option("--documents", options.documentsFolder,
                   "The user's Documents folder (default: a temporary folder, removed at the end)")
        ->option_text("FOLDER");
    app.add_option("--player", options.player,
                   "The local player's id (default: the scenario's, or a Steam-like id)")
        ->option_text("ID");
    app.add_option(
           "--module", options.modulePath,
           "The plugin module (default: the simulator's test build, in " QUORVEL_SIMULATOR_FOLDER
           " beside this program)")
        ->option_text("FILE");
    auto* realtimeFlag = app.add_flag("--realtime", options.realtime, "Tick once per real second");
    app.add_option("--pace", options.pace,
                   "Real seconds per tick, 0 to 60 (0: as fast as possible)")
        ->check(CLI::Validator(checkPace, "SECONDS"))
        ->option_text("SECONDS")
        ->excludes(realtimeFlag);
    app.add_option("--start", options.start,
                   "The session's first second, in UTC, \"YYYY-MM-DD HH:MM:SS\" (default: the "
                   "scenario's start, else now)")
        ->check(CLI::Validator(checkStart, "TIME"))
        ->option_text("TIME")
        ->excludes(realtimeFlag);
}

Sim::SessionOptions sessionOptions(const Options& options, const Sim::Scenario& scenario,
                                   Sim::ScratchFolder& scratch, const char* argv0) {
    Sim::SessionOptions session;
    session.dataFolder = std::filesystem::absolute(
        Tools::pathFromUtf8(options.dataFolder.empty() ? kDefaultDataFolder : options.dataFolder));
    session.documentsFolder = options.documentsFolder.empty()
                                  ? scratch.path() / Tools::pathFromUtf8(scenario.documentsFolder)
                                  : Tools::pathFromUtf8(options.documentsFolder);
    session.player = !options.player.empty()
                         ? options.player
                         : scenario.player.value_or("Steam|76561190000000000|0");
    session.modulePath = options.modulePath.empty() ? Sim::defaultModule(Tools::programFile(argv0))
                                                    : Tools::pathFromUtf8(options.modulePath);
    session.realSecondsPerTick = options.realtime ? 1.0 : options.pace;
    if (!options.realtime) {
        session.calendarStart = sessionStart(options, scenario);
    }
    session.stopRequested = [] { return static_cast<int>(stopSignal); };
    return session;
}

// What a scripted crash cost: the rows the plugin took that are in no file.
std::string crashCost(const Sim::SessionResult& result, std::size_t rowsWritten) {
    const std::uint64_t lost = result.rowsTaken > rowsWritten ? result.rowsTaken - rowsWritten : 0;
    return "The game crashed " + std::to_string(*result.crashedAt) +
           " s into the session, without unloading the plugin: of the " +
           Tools::plural(result.rowsTaken, "row", "rows") + " it had taken, " +
           std::to_string(rowsWritten) + (rowsWritten == 1 ? " is" : " are") +
           " in the files above and " + std::to_string(lost) + (lost == 1 ? " was" : " were") +
           " lost.\n";
}

// Standard output could not take the summary.
Failure summaryIncomplete() {
    return Failure(FailureKind::Output,
                   "standard output cannot be written (closed or full): the summary is not "
                   "complete");
}

// The summary of each file the session wrote, as the report tool prints it, then the
// rows this run wrote in all of them, and what a crash cost. Throws summaryIncomplete()
// when standard output could not be written.
void printSummaries(const Sim::SessionResult& result) {
    const std::vector<Sim::WrittenFile>& files = result.files;
    if (!std::cout.flush()) {
        throw summaryIncomplete();
    }
    Tools::StreamOutput out(stdout, "standard output");
    std::size_t rowsWritten = 0;
    for (const Sim::WrittenFile& file : files) {
        out.write("\nCSV file: " + Tools::displayPath(file.path) + "\n");
        const std::vector<Read::Input> inputs = {Read::Input::file(file.path)};
        Present::TableReport table(out, inputs,
                                   {.earlierAre = "in quorvel-report's report of the file"});
        const auto report = Analysis::buildReport(inputs, {&table});
        const auto& input = report.inputs.front();
        for (const std::string& problem : input.skipped.listed()) {
            out.write("  " + problem + "\n");
        }
        if (input.refused) {
            out.write(std::string(input.refused->what()) + "\n");
            continue;
        }
        const std::size_t earlier = std::min(file.earlierRows, input.rows);
        rowsWritten += input.rows - earlier;
        out.write(
            Tools::plural(input.rows, "row", "rows") + " in " +
            Tools::plural(input.matches, "match", "matches") +
            (earlier > 0 ? ", " + std::to_string(earlier) + " of them from before this run" : "") +
            "\n");
    }
    out.write("\nThis run wrote " + Tools::plural(rowsWritten, "row", "rows") + ", in " +
              Tools::plural(files.size(), "file", "files") + ".\n");
    if (result.crashedAt) {
        out.write(crashCost(result, rowsWritten));
    }
    try {
        out.finish();
    } catch (const Failure&) {
        throw summaryIncomplete();
    }
}

// What ended the session early decides first, then whether everything was written.
int exitStatus(const Sim::SessionResult& result, const std::optional<Failure>& unprinted) {
    if (result.stoppedBySignal != 0) {
        return Tools::kExitInterruptedBase + result.stoppedBySignal;
    }
    // Standard output closed under the session or its summary: as a closed pipe ends a
    // program, whatever else went wrong.
    if (result.outputFailed || unprinted) {
        return kExitOutputClosed;
    }
    if (result.notAsScripted) {
        return Tools::kExitUnusableInput;
    }
    return result.rowsNotWritten ? Tools::kExitOutputFailed : Tools::kExitOk;
}

// The module is told the Documents folder in a buffer of MAX_PATH characters and opens
// the game's log below it with the system's plain calls: on Windows the log's whole path
// must be shorter than MAX_PATH, or the module would look elsewhere.
void checkDocumentsFolder([[maybe_unused]] const std::filesystem::path& folder) {
#if defined(_WIN32)
    const std::size_t length = std::filesystem::absolute(Sim::launchLogIn(folder)).native().size();
    if (length >= MAX_PATH) {
        throw Failure(FailureKind::Input,
                      "the Documents folder " + Tools::displayPath(folder) +
                          " is too long: the game's log in it would take " +
                          std::to_string(length) + " characters, and the module can use " +
                          std::to_string(MAX_PATH - 1) + " at most; choose a shorter folder");
    }
#endif
}

// Where to go from here: the report of the data folder, as a player starts it.
std::string reportHint(const std::filesystem::path& dataFolder) {
#if defined(_WIN32)
    return "\nFor a report of every match kept there, drop the CSV file, or the folder " +
           Tools::displayPath(dataFolder.filename()) + ", on quorvel-report.exe.\n";
#else
    return "\nFor a report of every match kept there: quorvel-report " +
           Tools::shellWord(Tools::displayPath(dataFolder)) + "\n";
#endif
}

int play(const Options& options, const char* argv0) {
    const Sim::Scenario scenario =
        options.scenarioFile.empty()
            ? Sim::parseScenario(kDefaultScenario, "built-in session")
            : Sim::loadScenarioFile(Tools::pathFromUtf8(options.scenarioFile));
    Sim::ScratchFolder scratch;
    const Sim::SessionOptions session = sessionOptions(options, scenario, scratch, argv0);
    checkDocumentsFolder(session.documentsFolder);
    Sim::useStandInHost(Sim::simulatorFolder(Tools::programFile(argv0)));
    stopOnSignals();
    try {
        Tools::createFolders(session.dataFolder);
        Tools::createFolders(session.documentsFolder);
    } catch (const std::filesystem::filesystem_error& error) {
        throw Failure(FailureKind::Input, error.what());
    }
    std::cout << "Session: " << (options.scenarioFile.empty() ? "built-in" : options.scenarioFile)
              << " \u2014 " << Tools::terminalSafe(scenario.description) << "\n"
              << "Data folder: " << Tools::displayPath(session.dataFolder) << "\n"
              << "Documents folder: " << Tools::displayPath(session.documentsFolder) << "\n";
    const Sim::SessionResult result = Sim::playSession(scenario, session, std::cout);
    // The summary is the session's last word: what ended the session is told first.
    std::optional<Failure> unprinted;
    try {
        printSummaries(result);
        if (!(std::cout << reportHint(session.dataFolder) << std::flush)) {
            throw summaryIncomplete();
        }
    } catch (const Failure& failure) {
        unprinted = failure;
    }
    if (result.notAsScripted) {
        std::cerr << "quorvel-sim: " << *result.notAsScripted
                  << ": the session could not be played as scripted and was ended there\n";
    }
    if (result.rowsNotWritten) {
        std::cerr << "quorvel-sim: the plugin could not write its file in "
                  << Tools::displayPath(session.dataFolder)
                  << ": rows it collected did not reach the file\n";
    }
    if (result.outputFailed) {
        std::cerr << "quorvel-sim: standard output cannot be written (closed or full): the "
                     "session was ended there, as when the game closes\n";
    } else if (unprinted) {
        std::cerr << "quorvel-sim: " << unprinted->what() << "\n";
    }
    return exitStatus(result, unprinted);
}

int runSession(const Options& options, const char* argv0) {
    try {
        return play(options, argv0);
    } catch (const Failure& failure) {
        std::cerr << "quorvel-sim: " << Tools::terminalSafe(failure.what()) << "\n";
        return Tools::exitStatusOf(failure.kind());
    } catch (const std::exception& error) {
        std::cerr << "quorvel-sim: internal error: " << error.what() << "\n";
        return Tools::kExitInternalError;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Tools::useUtf8Console();
    const Tools::Utf8Arguments arguments(argc, argv);
    CLI::App app{"Plays a game session through the Quorvel plugin module on the stand-in host."};
    Options options;
    describeOptions(app, options);
    const Tools::ProgramUsage usage{
        "quorvel-sim",
        "[SCENARIO.json] [--data FOLDER] [--documents FOLDER] [--player ID] [--module FILE]\n"
        "                   [--start TIME] [--realtime | --pace SECONDS] [--version]",
        {}};
    if (const auto done = Tools::parseArguments(app, arguments, usage)) {
        return *done;
    }
    // Started from Explorer: say what this is, and keep the window open at the end so
    // that the summary, and where the file went, can be read.
    const bool ownConsole = Tools::hasConsoleOfItsOwn();
    if (ownConsole && arguments.count() == 1) {
        std::cout << kAbout;
    }
    const int status = runSession(options, argv[0]);
    if (ownConsole) {
        std::cout.flush();
        Tools::waitForKeyBeforeClosing();
    }
    return status;
}
