#pragma once

#include <deque>
#include <string>
#include <vector>

#include "Input.h"
#include "MatchTexts.h"
#include "Report.h"
#include "ShownNames.h"
#include "Spool.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// How much of a long history the table lists: the latest matches only, so that the answer
// and the tables stay in sight, with where the earlier ones are.
struct TableBounds {
    std::size_t latestMatches = 20;  // 0: every match
    // Where the matches not listed are, ending the sentence "the N earlier ones are ...".
    std::string earlierAre;
};

// The report as text for a terminal no wider than 120 columns: first the conclusion
// across all matches (one per player when there are several), then the latest matches,
// a line of figures each with its verdict below (and a line of notes when rows are
// missing or odd, and of its file and player when there are several files), then the
// tables of the servers and the days; when that runs past a screen, the conclusion again
// at the end. The matches are kept back until the conclusion is known: the latest only
// when the table is bounded, all of them (Tools::Spool) when not.
class TableReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    TableReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs,
                TableBounds bounds = {});

    void match(const Matches::MatchRows& rows, const MatchReport& report) override;
    void finish(const Analysis::ReportTotals& totals) override;

  private:
    // Writes `text`, counting its lines.
    void say(const std::string& text);
    void sayConclusions(const Analysis::ReportTotals& totals);
    void sayMatches();
    void sayGroups(const Analysis::ReportTotals& totals);

    Tools::TextOutput& out;
    ShownNames names;
    TableBounds bounds;
    Tools::Spool matches;            // every match's lines, when the table is not bounded
    std::deque<std::string> latest;  // the latest matches' lines, when it is
    std::size_t matchesSeen = 0;
    std::size_t spooledLines = 0;
    std::size_t linesSaid = 0;
};

}  // namespace Quorvel::Present
