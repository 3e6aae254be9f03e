#pragma once

#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Summary {

// The report as text for a terminal no wider than 120 columns: a line of figures per
// match with its verdict below (and a line of notes when rows are missing or odd),
// then a table of the servers played on.
class TableReport : public ReportSink {
  public:
    explicit TableReport(TextOutput& output);

    void match(const MatchRows& rows, const std::vector<std::int64_t>& times,
               const MatchReport& report) override;
    void finish(const std::vector<InputSummary>& inputs,
                const std::vector<ServerSummary>& servers) override;

  private:
    TextOutput& out;
    bool headerWritten = false;
};

// The notes line of a match: rows, gaps, steps back, missing values; empty when the
// match has nothing to note.
std::string matchNotes(const MatchReport& report);

}  // namespace Quorvel::Summary
