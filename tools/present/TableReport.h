#pragma once

#include "MatchTexts.h"
#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// The report as text for a terminal no wider than 120 columns: a line of figures per
// match with its verdict below (and a line of notes when rows are missing or odd),
// then a table of the servers played on.
class TableReport : public Analysis::ReportSink {
  public:
    explicit TableReport(Tools::TextOutput& output);

    void match(const Matches::MatchRows& rows, const MatchReport& report) override;
    void finish(const std::vector<InputSummary>& inputs,
                const std::vector<ServerSummary>& servers) override;

  private:
    Tools::TextOutput& out;
    bool headerWritten = false;
};

}  // namespace Quorvel::Present
