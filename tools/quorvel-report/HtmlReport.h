#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "Report.h"
#include "TextOutput.h"

namespace QuorvelReport {

// One self-contained page (the chart library, the page's script and the data inlined;
// nothing fetched). Written as the matches come: one JSON block per match with its
// figures, events and second-by-second series, then a block with the files and
// servers; the page's script builds the headline, the tables and, per match, charts
// of ping and latency, packets lost, FPS and input buffer over clock time, with events
// as shaded bands. Once drawn, the page marks <body data-charts-drawn="N"
// data-errors="M"> and each chart data-bands="kind@offset+length:x0-x1 ...", so a
// headless browser can check it.
class HtmlReport : public Quorvel::Summary::ReportSink {
  public:
    HtmlReport(Quorvel::Summary::TextOutput& output, std::vector<std::filesystem::path> inputs);

    void match(const Quorvel::Summary::MatchRows& rows, const std::vector<std::int64_t>& times,
               const Quorvel::Summary::MatchReport& report) override;
    void finish(const std::vector<Quorvel::Summary::InputSummary>& inputs,
                const std::vector<Quorvel::Summary::ServerSummary>& servers) override;

  private:
    // Writes the page template on from where it stopped up to the next data marker,
    // with the built-in assets put in place; returns that marker's name (empty at the end).
    std::string_view writeUpToNextMarker();
    // Writes on to `marker` (to the end when empty).
    void writeUntil(std::string_view marker);

    Quorvel::Summary::TextOutput& out;
    std::vector<std::filesystem::path> files;
    std::size_t templatePosition = 0;
};

}  // namespace QuorvelReport
