#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Input.h"
#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// One self-contained page (the chart library, the page's script and the data inlined;
// nothing fetched). Written as the matches come: one JSON block per match with its
// figures, texts, events and second-by-second series, then a block with the files,
// the servers and the page's texts; the page's script lays them out and draws, per
// match, charts of ping and latency, packets lost, FPS and input buffer over clock
// time, with events as shaded bands.
class HtmlReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report.
    HtmlReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs);

    void match(const Matches::MatchRows& rows, const Analysis::MatchReport& report) override;
    void finish(const Analysis::ReportTotals& totals) override;

  private:
    // Writes the page template on from where it stopped up to the next data marker,
    // with the built-in assets put in place; returns that marker's name (empty at the end).
    std::string_view writeUpToNextMarker();
    // Writes on to `marker` (to the end when empty).
    void writeUntil(std::string_view marker);

    Tools::TextOutput& out;
    const std::vector<Read::Input>& files;
    std::size_t templatePosition = 0;
};

}  // namespace Quorvel::Present
