#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "MatchReport.h"
#include "ServerTable.h"

namespace Quorvel::Summary {

// What one input file gave.
struct InputSummary {
    std::filesystem::path path;
    bool usable = false;
    std::string refusal;  // why it could not be used, naming the file
    std::size_t rows = 0;
    std::size_t skipped = 0;
    std::size_t matches = 0;
    std::size_t matchesWithProblems = 0;  // verdict other than good
    std::set<std::string> servers;        // IPs
};

// Receives the matches as they are analysed, in time order, then the totals (only
// when there was at least one match).
class ReportSink {
  public:
    virtual ~ReportSink() = default;
    virtual void match(const MatchRows& rows, const std::vector<std::int64_t>& times,
                       const MatchReport& report) = 0;
    virtual void finish(const std::vector<InputSummary>& inputs,
                        const std::vector<ServerSummary>& servers) = 0;
};

struct ReportHooks {
    // A row that was skipped: the file, its line and what is wrong.
    std::function<void(const std::filesystem::path&, std::size_t, const std::string&)> problem;
    // Bytes read so far of all inputs, and their total size.
    std::function<void(std::uint64_t, std::uint64_t)> progress;
};

struct ReportResult {
    std::vector<InputSummary> inputs;
    std::size_t matches = 0;
    bool allUsable() const;
};

// Reads every input as a stream, splits it into matches and hands each analysed match
// to the sinks, the matches of several files merged by their start time. Memory holds
// one match per input at a time. An input that cannot be used is refused (its
// InputSummary says why) and the others go on.
ReportResult buildReport(const std::vector<std::filesystem::path>& inputs,
                         const std::vector<ReportSink*>& sinks, const ReportHooks& hooks);

// The performance files a folder holds (names ending in "-performance.csv"), sorted.
std::vector<std::filesystem::path> performanceFilesIn(const std::filesystem::path& folder);

}  // namespace Quorvel::Summary
