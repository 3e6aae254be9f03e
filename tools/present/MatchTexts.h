#pragma once

// The texts every presentation shows, made once: the table, the JSON and the page
// show these and never re-derive them, so they cannot disagree.

#include <array>
#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Event.h"
#include "Report.h"

namespace Quorvel::Present {

using Analysis::Event;
using Analysis::InputSummary;
using Analysis::MatchReport;
using Analysis::ServerSummary;

// A column of a table: its title, its width in a terminal, and which side it keeps to.
struct Column {
    std::string_view title;
    std::size_t width;
    bool alignRight;
};

inline constexpr std::size_t kMatchColumnCount = 11;
inline constexpr std::size_t kServerColumnCount = 7;
inline constexpr std::size_t kDayColumnCount = 7;
extern const std::array<Column, kMatchColumnCount> kMatchColumns;
extern const std::array<Column, kServerColumnCount> kServerColumns;
extern const std::array<Column, kDayColumnCount> kDayColumns;

using MatchCells = std::array<std::string, kMatchColumnCount>;
using ServerCells = std::array<std::string, kServerColumnCount>;
using DayCells = std::array<std::string, kDayColumnCount>;

MatchCells matchCells(const MatchReport& report);
ServerCells serverCells(const ServerSummary& server);
DayCells dayCells(const Analysis::DaySummary& day);

// The notes of a match: the game closing during it, rows, gaps, steps back, missing
// values, inconsistent seconds; empty when the match has nothing to note.
std::string matchNotes(const MatchReport& report);
// "the game closed during this match; recorded until 6:30" when its last second came
// only from a journal the game left unfinished; empty otherwise.
std::string gameClosedNote(const MatchReport& report);
// "Match 3: 2026-12-08 18:00:20 UTC on 1.2.3.4:7777 (GUID)".
std::string matchTitle(const MatchReport& report);
// Where a match came from, when there are several files: "from FILE, player ID", or for
// a match joined from several, "from A (55 rows) and B (26 rows), joined by their
// seconds; player ID". `files` are the report's inputs.
std::string matchSource(const MatchReport& report, const std::vector<Read::Input>& files);

// "Overall: loss in 4 of 6 matches, on 4 of 5 servers: your connection"; with several
// players, each named: "Overall for Steam|7656|0: ...".
std::string conclusionLine(const Analysis::Conclusion& conclusion, bool severalPlayers);

struct EventTexts {
    std::string name;    // "loss burst"
    std::string from;    // time into the match, "0:30"
    std::string clock;   // "2026-12-08 18:00:50"
    std::string length;  // "5 s"
    std::string worst;   // "12 in / 0 out a second (20.0 %)"
    std::string band;    // the label of its band on a chart, "loss 12/s"
};
EventTexts eventTexts(const Event& event);

// The page's title: "Quorvel report: " and the names of the files read (the first three,
// and how many more), then the players when they are known ("(Steam|7656…|0)").
struct TitleFile {
    std::string name;            // as messages name it
    std::filesystem::path path;  // empty for bytes
};
std::string pageTitle(const std::vector<TitleFile>& files, const std::set<std::string>& players);
std::string pageTitle(const std::vector<InputSummary>& inputs);

// One line for an input: "file: 3 matches, 1 with problems, on 1.2.3.4", or why it
// was refused.
std::string inputHeadline(const InputSummary& input);

// A count with its thousands apart: "200,000".
std::string groupedCount(std::size_t count);

// What a page of many matches leaves out: "Charts for 50 of 200,000 matches: those with
// the most events that count first, then the latest."; empty when every match has its
// charts.
std::string chartedMatchesLine(std::size_t charted, std::size_t matches);
// "Listed and drawn: 100 of 2,010 events, those that count first."; empty when all are.
std::string eventsShownNote(std::size_t shown, std::size_t events);

// The figures' legend under the tables.
extern const std::string_view kFiguresLegend;
// What the event lines are: the thresholds in words.
std::string thresholdsNote();

}  // namespace Quorvel::Present
