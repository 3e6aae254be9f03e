#pragma once

#include <filesystem>
#include <vector>

#include "Report.h"
#include "TextOutput.h"

namespace QuorvelReport {

// The report as one JSON document: {"matches": [...], "servers": [...], "files": [...]},
// written match by match as they come.
class JsonReport : public Quorvel::Summary::ReportSink {
  public:
    JsonReport(Quorvel::Summary::TextOutput& output, std::vector<std::filesystem::path> inputs);

    void match(const Quorvel::Summary::MatchRows& rows, const std::vector<std::int64_t>& times,
               const Quorvel::Summary::MatchReport& report) override;
    void finish(const std::vector<Quorvel::Summary::InputSummary>& inputs,
                const std::vector<Quorvel::Summary::ServerSummary>& servers) override;

  private:
    Quorvel::Summary::TextOutput& out;
    std::vector<std::filesystem::path> files;
    bool first = true;
};

}  // namespace QuorvelReport
