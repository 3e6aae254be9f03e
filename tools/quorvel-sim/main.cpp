// quorvel-sim: plays a game session through the built plugin module on the stand-in
// host and prints what the plugin said and what it recorded.

#include <CLI/CLI.hpp>
#include <chrono>
#include <fstream>
#include <iostream>
#include <sstream>

#include "DefaultScenario.h"
#include "MatchSummary.h"
#include "Scenario.h"
#include "Session.h"

#if defined(__linux__)
#include <unistd.h>
#endif

namespace {

std::filesystem::path moduleBesideThisProgram(const char* argv0) {
#if defined(__linux__)
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto folder = error ? std::filesystem::absolute(argv0).parent_path() : self.parent_path();
    return folder / "QuorvelPlugin.so";
#elif defined(_WIN32)
    return std::filesystem::absolute(argv0).parent_path() / "QuorvelPlugin.dll";
#else
    return std::filesystem::absolute(argv0).parent_path() / "QuorvelPlugin.so";
#endif
}

std::filesystem::path freshSessionFolder() {
    const auto stamp =
        std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
    return std::filesystem::temp_directory_path() / ("quorvel-sim-" + std::to_string(stamp));
}

std::string readText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Plays a game session through the Quorvel plugin module on the stand-in host."};
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
    app.add_flag("--realtime", realtime, "Tick once per real second");
    app.add_option("--pace", pace, "Real seconds per tick (0: as fast as possible)")
        ->check(CLI::NonNegativeNumber);
    CLI11_PARSE(app, argc, argv);

    QuorvelSim::Scenario scenario;
    try {
        scenario = scenarioFile.empty()
                       ? QuorvelSim::parseScenario(kDefaultScenario, "built-in session")
                       : QuorvelSim::loadScenarioFile(scenarioFile);
    } catch (const QuorvelSim::ScenarioError& error) {
        std::cerr << "quorvel-sim: " << error.what() << "\n";
        return 2;
    }

    QuorvelSim::SessionOptions options;
    const std::filesystem::path session = freshSessionFolder();
    options.dataFolder = dataFolder.empty() ? session / "data" : std::filesystem::path(dataFolder);
    options.documentsFolder = documentsFolder.empty() ? session / scenario.documentsFolder
                                                      : std::filesystem::path(documentsFolder);
    options.player =
        !player.empty() ? player : scenario.player.value_or("Steam|76561190000000000|0");
    options.modulePath =
        modulePath.empty() ? moduleBesideThisProgram(argv[0]) : std::filesystem::path(modulePath);
    options.realSecondsPerTick = realtime ? 1.0 : pace;

    try {
        std::filesystem::create_directories(options.dataFolder);
        std::filesystem::create_directories(options.documentsFolder);
        std::cout << "Session: " << (scenarioFile.empty() ? "built-in" : scenarioFile) << " — "
                  << scenario.description << "\n"
                  << "Data folder: " << options.dataFolder.string() << "\n"
                  << "Documents folder: " << options.documentsFolder.string() << "\n";
        const auto files = QuorvelSim::playSession(scenario, options, std::cout);
        for (const auto& file : files) {
            const auto log = Quorvel::Summary::readPerformanceLog(readText(file));
            const auto matches = Quorvel::Summary::summarizeLog(log);
            std::cout << "\nCSV file: " << file.string() << "\n"
                      << log.samples.size() << " rows in " << matches.size() << " match"
                      << (matches.size() == 1 ? "" : "es") << "\n";
            for (const auto& problem : log.problems) {
                std::cout << "  " << problem << "\n";
            }
            std::cout << Quorvel::Summary::formatTable(matches);
        }
    } catch (const std::exception& error) {
        std::cerr << "quorvel-sim: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
