#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ChartedMatches.h"
#include "Input.h"
#include "PageData.h"
#include "Report.h"
#include "ShownNames.h"
#include "TextOutput.h"

namespace Quorvel::Present {

// Servers in the page's table and charts of servers: the most played, so that a history
// of many thousands of servers still makes a page a browser opens (--json lists all).
inline constexpr std::size_t kShownServers = 1000;

// One self-contained page (the chart library, the page's script and the data inlined;
// nothing fetched), made to be shared: it names the player and the files as
// ShownNames::shareable does, never by id or path. Its first screen holds the answer
// with what may help, the verdicts counted, the latest matches as a strip over time and
// the servers compared on the figure their problems were about. Its size is bounded
// whatever the input: every match's row of the
// table, in compact blocks written as the matches come (PageData), and charts and
// events for the ChartedMatches only, each chart of at most kMaxChartPoints points;
// then a block with the files, the kShownServers servers and the page's texts, among them what was
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
    // A match in the strip over time.
    struct StripMatch {
        std::size_t number;
        std::int64_t startEpochSeconds;
        std::int64_t lengthSeconds;
        Analysis::Cause cause;
    };
    // What a server's host may want to hear: the latest matches with problems there.
    struct HostLines {
        std::deque<std::string> lines;
        std::size_t leftOut = 0;
    };

    void remember(const Analysis::MatchReport& report);
    nlohmann::ordered_json conclusionsJson(const std::vector<Analysis::Conclusion>& all) const;
    nlohmann::ordered_json firstScreenJson(const Analysis::ReportTotals& totals) const;

    // Writes the page template on from where it stopped up to the next data marker,
    // with the built-in assets put in place; returns that marker's name (empty at the end).
    std::string_view writeUpToNextMarker();
    // Writes on to `marker` (to the end when empty).
    void writeUntil(std::string_view marker);

    Tools::TextOutput& out;
    ShownNames names;
    std::string hint;
    std::size_t templatePosition = 0;
    PageTable table;
    ChartedMatches charted;
    std::size_t matches = 0;
    std::deque<StripMatch> strip;  // the latest kStripMatches
    std::map<std::string, HostLines> forHosts;
};

// Matches in the strip over time: weeks of evenings, while each stays wide enough to
// click on the screens pages are read on.
inline constexpr std::size_t kStripMatches = 500;

}  // namespace Quorvel::Present
