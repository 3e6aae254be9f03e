#pragma once

#include <vector>

#include "Input.h"
#include "Report.h"
#include "ShownNames.h"
#include "Spool.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// The report as one JSON document: {"conclusion": {...}, "conclusions": [...],
// "matches": [...], "servers": [...], "days": [...], "files": [...]}; the matches are
// kept back (Tools::Spool) until the conclusions across them are known.
class JsonReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    JsonReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs);

    void match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) override;
    void finish(const Analysis::ReportTotals& totals) override;

  private:
    Tools::TextOutput& out;
    ShownNames names;
    Tools::Spool matches;  // kept back until the conclusion, which comes first
    bool first = true;
};

}  // namespace Quorvel::Present
