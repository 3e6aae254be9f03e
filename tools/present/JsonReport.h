#pragma once

#include <vector>

#include "Input.h"
#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// The report as one JSON document: {"matches": [...], "servers": [...], "files": [...]},
// written match by match as they come.
class JsonReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    JsonReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs);

    void match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) override;
    void finish(const std::vector<Analysis::InputSummary>& inputs,
                const std::vector<Analysis::ServerSummary>& servers) override;

  private:
    Tools::TextOutput& out;
    const std::vector<Read::Input>& files;
    bool first = true;
};

}  // namespace Quorvel::Present
