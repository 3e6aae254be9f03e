#pragma once

#include <vector>

#include "Input.h"
#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// One CSV row per match (RFC 4180, empty where the match has no value), for players
// who keep their own spreadsheet. Each column is defined once, with its name and its
// value, so the header and the rows cannot drift apart.
class SummaryCsv : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    SummaryCsv(Tools::TextOutput& output, const std::vector<Read::Input>& inputs);

    void match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) override;
    void finish(const Analysis::ReportTotals&) override {}

  private:
    Tools::TextOutput& out;
    const std::vector<Read::Input>& files;
};

}  // namespace Quorvel::Present
