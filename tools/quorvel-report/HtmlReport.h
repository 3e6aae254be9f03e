#pragma once

#include <string>
#include <vector>

#include "MatchSummary.h"
#include "PerformanceLog.h"

namespace QuorvelReport {

// One self-contained page (the chart library and the data inlined, nothing fetched):
// the summary table, then per match time-series charts of ping and latency, packets
// lost, FPS, and input buffer against its target, with seconds into the match on the
// x axis. Once drawn, the page marks <body data-charts-drawn="N"> with the number of
// charts whose canvas holds any pixel, so a headless browser can check it.
std::string renderHtml(const std::string& title,
                       const std::vector<std::vector<Quorvel::Summary::Sample>>& matches,
                       const std::vector<Quorvel::Summary::MatchSummary>& summaries);

}  // namespace QuorvelReport
