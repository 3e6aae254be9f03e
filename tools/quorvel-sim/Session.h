#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "Scenario.h"

namespace QuorvelSim {

struct SessionOptions {
    std::filesystem::path modulePath;
    std::filesystem::path dataFolder;
    std::filesystem::path documentsFolder;
    std::string player;
    double realSecondsPerTick = 0;  // 0: as fast as it goes
};

// Loads the module the way the host does and plays `scenario` on the stand-in host's
// virtual clock, one tick a second, printing the console lines with their times.
// Ends with the plugin unloaded. Returns the performance files the session wrote.
std::vector<std::filesystem::path> playSession(const Scenario& scenario,
                                               const SessionOptions& options, std::ostream& out);

}  // namespace QuorvelSim
