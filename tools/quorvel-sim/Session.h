#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Scenario.h"

namespace Quorvel::Sim {

struct SessionOptions {
    std::filesystem::path modulePath;
    std::filesystem::path dataFolder;
    std::filesystem::path documentsFolder;
    std::string player;
    double realSecondsPerTick = 0;  // 0: as fast as it goes
    // The calendar time of the session's second 0; the module's clock follows the
    // session from there. Without it the module reads the real clock.
    std::optional<std::chrono::sys_seconds> calendarStart;
    // Asked between ticks: a signal's number ends the session early, as when the game
    // closes (the plugin unloaded); 0 goes on.
    std::function<int()> stopRequested;
};

struct SessionResult {
    std::vector<std::filesystem::path> files;  // the performance files in the data folder
    // The plugin said it could not write its file and never wrote it afterwards: rows
    // it collected did not reach the file.
    bool rowsNotWritten = false;
    int stoppedBySignal = 0;
};

// Loads the module the way the host does and plays `scenario` on the stand-in host's
// virtual clock, one tick a second, printing the console lines with their times.
// Ends with the plugin unloaded. Throws a Failure (Input) when the module cannot be
// loaded.
SessionResult playSession(const Scenario& scenario, const SessionOptions& options,
                          std::ostream& out);

}  // namespace Quorvel::Sim
