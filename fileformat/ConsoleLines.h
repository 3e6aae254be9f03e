#pragma once

// The lines the plugin writes on the host console, or their fixed beginnings; the
// simulator reads the console by them.

#include <string_view>

namespace Quorvel::Console {

inline constexpr std::string_view kLoaded = "Quorvel: Loaded (using Launch.log)";
// Followed by "host:port".
inline constexpr std::string_view kCapturedServer = "Quorvel: Captured server from Launch.log: ";
inline constexpr std::string_view kRowsLogged = "Performance data logged";

// Lines that say something keeps the plugin from recording; each is followed by the
// file or the error it is about.
inline constexpr std::string_view kCouldNotCreate = "Quorvel: Could not create ";
inline constexpr std::string_view kCouldNotKeep = "Quorvel: Could not keep the earlier rows of ";
inline constexpr std::string_view kCouldNotWrite = "Quorvel: Could not write performance data to ";
inline constexpr std::string_view kNoServerAddress = "Quorvel: No server address found in ";
inline constexpr std::string_view kUnexpectedError =
    "Quorvel: Unexpected error, recording continues: ";
inline constexpr std::string_view kCouldNotJournal =
    "Quorvel: Could not write the match in progress to ";
inline constexpr std::string_view kCouldNotKeepUnfinished =
    "Quorvel: Could not keep the unfinished match in ";

// What a load did with earlier rows beyond moving the player's file: "Quorvel: Kept 93
// rows of an unfinished match in <file>", and a session the history's limit removed
// although it was the newest (larger than the whole limit).
inline constexpr std::string_view kKeptUnfinished = "Quorvel: Kept ";
inline constexpr std::string_view kKeptUnfinishedRows = " of an unfinished match in ";
inline constexpr std::string_view kRemovedFromHistory = "Quorvel: Removed ";

}  // namespace Quorvel::Console
