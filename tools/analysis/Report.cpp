#include "Report.h"

#include <algorithm>
#include <map>

#include "MatchPipeline.h"

namespace Quorvel::Analysis {

namespace {

// What every match adds to: each input's counts, the servers' table and each player's
// conclusion across matches.
struct Tallies {
    Pipeline::InputTally inputs;
    ServerTable servers;
    std::map<std::string, ConclusionBuilder> players;
};

// One match: analysed, numbered by its place among all matches read (a report of some
// of them keeps their numbers), and, when kept, counted and handed to the sinks.
void analyseOne(const Pipeline::ReadMatch& match, std::size_t number, ReportResult& result,
                const std::vector<ReportSink*>& sinks, const ReportOptions& options,
                Tallies& tallies) {
    MatchReport report = analyzeMatch(match.rows);
    report.input = match.input;
    report.number = number;
    if (options.keep && !options.keep(report)) {
        ++result.leftOut;
        return;
    }
    ++result.matches;
    tallies.inputs.count(report.origin, report.info, report.verdict.cause != Cause::Good);
    tallies.servers.add(report);
    tallies.players[report.info.userId].add(report);
    for (ReportSink* sink : sinks) {
        sink->match(match.rows, report);
    }
}

}  // namespace

bool ReportResult::allUsable() const {
    return std::all_of(inputs.begin(), inputs.end(),
                       [](const InputSummary& s) { return s.usable(); });
}

ReportResult buildReport(const std::vector<Read::Input>& inputs,
                         const std::vector<ReportSink*>& sinks, const ReportOptions& options) {
    ReportResult result;
    Tallies tallies{Pipeline::InputTally(inputs), {}, {}};
    Pipeline::MatchPipeline pipeline(inputs);
    std::size_t count = 0;
    while (std::optional<Pipeline::MatchBatch> batch = pipeline.next()) {
        for (const Pipeline::ReadMatch& match : batch->matches) {
            analyseOne(match, ++count, result, sinks, options, tallies);
        }
        if (options.progress) {
            options.progress(pipeline.bytesRead(), pipeline.bytesTotal());
        }
    }
    result.inputs = tallies.inputs.finish(pipeline.outcomes());
    for (const auto& [player, builder] : tallies.players) {
        result.conclusions.push_back(builder.conclude());
        result.conclusions.back().player = player;
    }
    if (result.matches > 0) {
        const ReportTotals totals{result.inputs, tallies.servers.summaries(),
                                  tallies.servers.days(), result.conclusions};
        for (ReportSink* sink : sinks) {
            sink->finish(totals);
        }
    }
    return result;
}

}  // namespace Quorvel::Analysis
