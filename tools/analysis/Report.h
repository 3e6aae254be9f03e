#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Conclusion.h"
#include "Failure.h"
#include "Input.h"
#include "MatchReport.h"
#include "ServerTable.h"
#include "SkippedRows.h"

namespace Quorvel::Analysis {

// What one input gave.
struct InputSummary {
    std::string name;                       // as messages name it
    std::filesystem::path path;             // empty for bytes
    std::optional<Tools::Failure> refused;  // why it could not be used, naming it
    std::size_t rows = 0;
    Read::SkippedRows skipped;
    std::size_t matches = 0;
    std::size_t matchesWithProblems = 0;  // verdict other than good
    std::set<std::string> servers;        // IPs
    std::set<std::string> players;        // UserIDs (the first few)
    // Matches all of whose seconds another input held too (a copy of a file): counted
    // once, with the input that gave them.
    std::size_t matchesAlreadyRead = 0;
    std::string alreadyReadIn;  // the first input that held one of them
    // Found in a folder with only its header: no match recorded yet, which is no fault.
    bool headerOnly = false;

    bool usable() const { return !refused; }
};

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

// Reads every input as a stream, splits it into matches and hands each analysed match
// to the sinks, the matches of several inputs merged by their start time and the pieces
// of one match in several inputs joined (Matches::MatchJoiner). Memory holds a few
// matches. An input that cannot be used is refused (its InputSummary says why) and the
// others go on.
ReportResult buildReport(const std::vector<Read::Input>& inputs,
                         const std::vector<ReportSink*>& sinks, const ReportOptions& options = {});

}  // namespace Quorvel::Analysis
