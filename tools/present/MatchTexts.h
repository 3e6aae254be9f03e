#pragma once

// The texts every presentation shows, made once: the table, the JSON and the page
// show these and never re-derive them, so they cannot disagree.

#include <cstddef>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "Event.h"
#include "Report.h"
#include "ShownNames.h"

namespace Quorvel::Present {

using Analysis::Event;
using Analysis::InputSummary;
using Analysis::MatchReport;
using Analysis::ServerSummary;

// The notes of a match: the game closing during it, rows, gaps, steps back, missing
// values, inconsistent seconds; empty when the match has nothing to note.
std::string matchNotes(const MatchReport& report);
// "the game closed during this match; recorded until 6:30" when its last second came
// only from a journal the game left unfinished; empty otherwise.
std::string gameClosedNote(const MatchReport& report);
// "Match 3: 2026-12-08 18:00:20 UTC on 1.2.3.4:7777 (GUID)".
std::string matchTitle(const MatchReport& report);
// The title around its clock time, for a page that shows the time in the viewer's zone:
// "Match 3", "on 1.2.3.4:7777 (GUID)".
struct MatchHeading {
    std::string lead;
    std::string where;
};
MatchHeading matchHeading(const MatchReport& report);
// Where a match came from, when there are several files: "from FILE, player ID", or for
// a match joined from several, "from A (55 rows) and B (26 rows), joined by their
// seconds; player ID", each named as `names` says.
std::string matchSource(const MatchReport& report, const ShownNames& names);

struct EventTexts {
    std::string name;    // "loss burst"
    std::string from;    // time into the match, "0:30"
    std::string clock;   // "2026-12-08 18:00:50"
    std::string length;  // "5 s"
    std::string worst;   // "12 in / 0 out a second (20.0 %)"
    std::string band;    // the label of its band on a chart, "loss 12/s"
};
EventTexts eventTexts(const Event& event);

// The page's title: "Quorvel report: " and the files read (the first three, and how
// many more: by the name of each file, or its label), then the players when they are
// known ("(Steam|7656…|0)", or "(you)").
std::string pageTitle(const ShownNames& names, const std::set<std::string>& players);
std::string pageTitle(const ShownNames& names, const std::vector<InputSummary>& inputs);

// One line for the input of this place: "file: 3 matches, 1 with problems, on 1.2.3.4",
// or why it was refused.
std::string inputHeadline(const InputSummary& input, std::size_t place, const ShownNames& names);

// A count with its thousands apart: "200,000".
std::string groupedCount(std::size_t count);

// What a page of many matches leaves out: "Charts for 50 of 200,000 matches: those with
// the most events that count first, then the latest."; empty when every match has its
// charts.
std::string chartedMatchesLine(std::size_t charted, std::size_t matches);
// "Listed and drawn: 100 of 2,010 events, those that count first."; empty when all are.
std::string eventsShownNote(std::size_t shown, std::size_t events);

}  // namespace Quorvel::Present
