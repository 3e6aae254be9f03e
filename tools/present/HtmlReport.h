#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ChartedMatches.h"
#include "Input.h"
#include "PageData.h"
#include "Report.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// One self-contained page (the chart library, the page's script and the data inlined;
// nothing fetched), of a size bounded whatever the input: every match's row of the
// table, in compact blocks written as the matches come (PageData), and charts and
// events for the ChartedMatches only, each chart of at most kMaxChartPoints points;
// then a block with the files, the servers and the page's texts, among them what was
// left out and how to get a page of other matches. The page's script lays them out and
// draws, per charted match, charts of ping and latency, packets, packets lost, FPS and
// input buffer over clock time, with events as shaded bands.
class HtmlReport : public Analysis::ReportSink {
  public:
    // `inputs` must outlive the report. `otherMatchesHint` tells how to get a page of
    // other matches (the command, with the options of the program that made the page);
    // shown when some matches have no charts.
    HtmlReport(Tools::TextOutput& output, const std::vector<Read::Input>& inputs,
               std::string otherMatchesHint = {});

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
    std::string hint;
    std::size_t templatePosition = 0;
    PageTable table;
    ChartedMatches charted;
    std::size_t matches = 0;
};

}  // namespace Quorvel::Present
