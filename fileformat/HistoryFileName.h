#pragma once

// The names of earlier sessions: when a load starts a player's file afresh, the rows it
// held move to the history folder beside it as
// "<safe id>-YYYYMMDD-HHMMSS-performance.csv", the UTC time of their first row, with
// "-2", "-3"... before "-performance.csv" when two sessions began in the same second.
//
// A match in progress is also kept, as it is recorded, in the history folder's
// "<safe id>-unfinished-performance.csv" until its rows reach the player's file; one
// left there by a game that closed in the match is kept at the next load as
// "<safe id>-YYYYMMDD-HHMMSS[-N]-unfinished-performance.csv".

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace Quorvel::Format {

// The history folder's name inside the data folder.
inline constexpr std::string_view kHistoryFolderName = "quorvel-history";

// Whether a session's rows end with its last match or the game closed in that match.
enum class SessionEnd { Whole, Unfinished };

// Sequence 1 is the plain name; 2 and up add "-<sequence>".
std::string historyFileName(std::string_view userId, std::chrono::sys_seconds firstRow,
                            unsigned sequence, SessionEnd end = SessionEnd::Whole);

struct HistoryName {
    std::string_view safeId;  // the id as fileNameSafeId writes it, within the name read
    std::chrono::sys_seconds firstRow{};
    unsigned sequence = 1;
    SessionEnd end = SessionEnd::Whole;
};

// What a name historyFileName gives is made of; nullopt for a name of any other form.
std::optional<HistoryName> parseHistoryFileName(std::string_view name);

// "<safe id>-unfinished-performance.csv": the match being recorded now, or the one the
// game closed in.
std::string journalFileName(std::string_view userId);

// True for a journal's name and for the name of a kept unfinished session: the rows of
// such a file end where the game closed, not where the match did.
bool isUnfinishedSessionName(std::string_view fileName);

}  // namespace Quorvel::Format
