#pragma once

// The names of earlier sessions: when a load starts a player's file afresh, the rows it
// held move to the history folder beside it as
// "<safe id>-YYYYMMDD-HHMMSS-performance.csv", the UTC time of their first row, with
// "-2", "-3"... before "-performance.csv" when two sessions began in the same second.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel::Format {

// The history folder's name inside the data folder.
inline constexpr std::string_view kHistoryFolderName = "quorvel-history";

// Sequence 1 is the plain name; 2 and up add "-<sequence>".
std::string historyFileName(std::string_view userId, std::chrono::sys_seconds firstRow,
                            unsigned sequence);

struct HistoryName {
    std::chrono::sys_seconds firstRow{};
    unsigned sequence = 1;
};

// A crash journal: while a match is recorded, its rows not yet in the player's file are
// also in "<safe id>-unfinished-performance.csv" in the history folder, and a journal
// left by a closed game is kept there as "<safe id>-YYYYMMDD-HHMMSS[-N]-unfinished-
// performance.csv". True for a file name of either form.
bool isUnfinishedSessionName(std::string_view fileName);

// The time and sequence of a name historyFileName gives (the id is not read back);
// nullopt for a name of any other form.
std::optional<HistoryName> parseHistoryFileName(std::string_view name);

}  // namespace Quorvel::Format
