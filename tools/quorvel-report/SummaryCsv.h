#pragma once

#include <filesystem>
#include <vector>

#include "Report.h"
#include "TextOutput.h"

namespace QuorvelReport {

// One CSV row per match (RFC 4180, empty where the match has no value), for players
// who keep their own spreadsheet.
class SummaryCsv : public Quorvel::Summary::ReportSink {
  public:
    SummaryCsv(Quorvel::Summary::TextOutput& output, std::vector<std::filesystem::path> inputs);

    void match(const Quorvel::Summary::MatchRows& rows, const std::vector<std::int64_t>& times,
               const Quorvel::Summary::MatchReport& report) override;
    void finish(const std::vector<Quorvel::Summary::InputSummary>&,
                const std::vector<Quorvel::Summary::ServerSummary>&) override {}

  private:
    Quorvel::Summary::TextOutput& out;
    std::vector<std::filesystem::path> files;
};

}  // namespace QuorvelReport
