#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FolderSnapshot.h"
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
    // The performance files in the data folder and its history the session wrote or
    // changed, sorted; not those that were there before it and are as they were, under
    // any name.
    std::vector<WrittenFile> files;
    // The plugin said it could not write its file and never wrote it afterwards: rows
    // it collected did not reach the file.
    bool rowsNotWritten = false;
    int stoppedBySignal = 0;
    // A write to `out` failed (a closed pipe, a full disk): the session was ended there.
    bool outputFailed = false;
    // The scenario's crash: the session second the game closed at, the plugin left as it
    // was (neither unloaded nor deleted).
    std::optional<int> crashedAt;
    // Why the session could not be played as scripted (a line of the game's log could not
    // be written): it was ended there, as when the game closes.
    std::optional<std::string> notAsScripted;
    // The rows the plugin took, as the stand-in host counts them: it reads the ping once
    // for each row.
    std::uint64_t rowsTaken = 0;
};

// The game's log below a Documents folder, where the module looks for it.
std::filesystem::path launchLogIn(const std::filesystem::path& documentsFolder);

// Loads the module the way the host does and plays `scenario` on the stand-in host's
// virtual clock, one tick a second, printing the console lines with their times to
// `out`. Ends with the plugin unloaded, early when a stop is requested or `out` fails,
// or at the scenario's crash with the plugin left as it was.
// Throws a Failure (Input) when the module cannot be loaded or the data folder cannot
// be listed.
SessionResult playSession(const Scenario& scenario, const SessionOptions& options,
                          std::ostream& out);

}  // namespace Quorvel::Sim
