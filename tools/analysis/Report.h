#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "Conclusion.h"
#include "Input.h"
#include "InputSummary.h"
#include "MatchReport.h"
#include "ServerTable.h"

namespace Quorvel::Analysis {

using Pipeline::InputSummary;

// What all the matches add up to.
struct ReportTotals {
    const std::vector<InputSummary>& inputs;
    std::vector<ServerSummary> servers;   // by time played, most first
    std::vector<DaySummary> days;         // in time order
    std::vector<Conclusion> conclusions;  // one per player, by their UserID
};

// Receives the matches as they are analysed, in time order, then the totals (only
// when there was at least one match).
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    virtual void match(const MatchRows& rows, const MatchReport& report) = 0;
    virtual void finish(const ReportTotals& totals) = 0;
};

// How a report is made beyond its inputs and sinks.
struct ReportOptions {
    // Bytes read so far of all inputs, and their total size.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    // Which matches the report is about; the others are read but left out of every
    // figure, table and answer (all when empty).
    std::function<bool(const MatchReport&)> keep;
};

struct ReportResult {
    std::vector<InputSummary> inputs;
    std::size_t matches = 0;              // in the report
    std::size_t leftOut = 0;              // read, but not kept (ReportOptions::keep)
    std::vector<Conclusion> conclusions;  // one per player, by their UserID
    bool allUsable() const;
};

// Analyses every match the inputs hold as the pipeline hands them on (Pipeline::
// MatchPipeline: read as streams, merged by their start, the pieces of one match in
// several inputs joined), numbers them, hands each to the sinks and adds it to the
// servers', days' and players' totals. Memory holds a few matches. An input that cannot
// be used is refused (its InputSummary says why) and the others go on.
ReportResult buildReport(const std::vector<Read::Input>& inputs,
                         const std::vector<ReportSink*>& sinks, const ReportOptions& options = {});

}  // namespace Quorvel::Analysis
