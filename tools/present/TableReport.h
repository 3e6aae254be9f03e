#pragma once

#include <vector>

#include "Input.h"
#include "MatchTexts.h"
#include "Report.h"
#include "ShownNames.h"
#include "Spool.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// The report as text for a terminal no wider than 120 columns: first the conclusion
// across all matches (one per player when there are several), then a line of figures per match with
// its verdict below (and a line of notes when rows are missing or odd, and of its file and player
// when there are several files), then a table of the servers played on. The matches are kept back
// (Tools::Spool) until the conclusion is known.
class TableReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    TableReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs);

    void match(const Matches::MatchRows& rows, const MatchReport& report) override;
    void finish(const Analysis::ReportTotals& totals) override;

  private:
    Tools::TextOutput& out;
    ShownNames names;
    Tools::Spool matches;
    bool headerWritten = false;
};

}  // namespace Quorvel::Present
