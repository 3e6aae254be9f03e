#include "Report.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <utility>

#include "MatchJoiner.h"
#include "MatchQueue.h"
#include "MatchStream.h"

namespace Quorvel::Analysis {

namespace {

using Tools::Failure;
using Tools::FailureKind;

// Reading, on a thread of its own, so that it goes on while matches are analysed.
struct Reading {
    MatchQueue queue;
    std::vector<Matches::ReadOutcome> outcomes;
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<std::uint64_t> bytesTotal{0};

    void run(const std::vector<Read::Input>& inputs) {
        try {
            Matches::MatchStream stream(inputs);
            Matches::MatchJoiner joiner(inputs);
            bytesTotal = stream.bytesTotal();
            MatchBatch batch;
            std::vector<ReadMatch> ready;
            for (bool more = true; more;) {
                std::optional<ReadMatch> next = stream.next();
                more = next.has_value();
                if (more) {
                    joiner.add(std::move(*next), ready);
                    bytesRead = stream.bytesRead();
                } else {
                    joiner.finish(ready);
                }
                for (ReadMatch& match : ready) {
                    batch.add(std::move(match));
                }
                ready.clear();
                const bool handOver = (!more || batch.full()) && !batch.matches.empty();
                if (handOver && !queue.push(std::exchange(batch, {}))) {
                    break;
                }
            }
            outcomes = stream.outcomes();
            queue.close();
        } catch (...) {
            queue.close(std::current_exception());
        }
    }
};

// Players named per input: a file is one player's; more are named up to this many.
constexpr std::size_t kPlayersKept = 8;

// What every match adds to: the servers' table and each player's conclusion across
// matches.
struct Tallies {
    ServerTable servers;
    std::map<std::string, ConclusionBuilder> players;
};

// What one match adds to each input it came from: its count, servers and players to the
// inputs that gave it seconds; a copy (an input all of whose seconds of it another gave)
// is noted as one.
void countInInputs(const MatchReport& report, ReportResult& result) {
    const std::vector<Matches::MatchPiece>& pieces = report.origin.pieces;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        InputSummary& summary = result.inputs[pieces[p].input];
        const bool counted =
            std::any_of(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(p),
                        [&](const Matches::MatchPiece& earlier) {
                            return earlier.input == pieces[p].input && earlier.newSeconds > 0;
                        });
        if (pieces[p].newSeconds == 0) {
            if (summary.matchesAlreadyRead++ == 0) {
                summary.alreadyReadIn = result.inputs[pieces.front().input].name;
            }
            continue;
        }
        if (counted) {
            continue;
        }
        ++summary.matches;
        summary.matchesWithProblems += report.verdict.cause != Cause::Good ? 1 : 0;
        summary.servers.insert(report.info.serverIp);
        if (summary.players.size() < kPlayersKept) {
            summary.players.insert(report.info.userId);
        }
    }
}

// One match: analysed, numbered by its place among all matches read (a report of some
// of them keeps their numbers), and, when kept, counted and handed to the sinks.
void analyseOne(const ReadMatch& match, std::size_t number, ReportResult& result,
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
    countInInputs(report, result);
    tallies.servers.add(report);
    tallies.players[report.info.userId].add(report);
    for (ReportSink* sink : sinks) {
        sink->match(match.rows, report);
    }
}

// The matches as they come from the queue.
void analyseAll(Reading& reading, ReportResult& result, const std::vector<ReportSink*>& sinks,
                const ReportOptions& options, Tallies& tallies) {
    std::size_t count = 0;
    while (std::optional<MatchBatch> batch = reading.queue.pop()) {
        for (ReadMatch& match : batch->matches) {
            analyseOne(match, ++count, result, sinks, options, tallies);
        }
        if (options.progress) {
            options.progress(reading.bytesRead, reading.bytesTotal);
        }
    }
}

// What reading gave each input; an input that was read but gave no row is refused too,
// but for a file of a folder that holds only its header.
void takeOutcomes(std::vector<Matches::ReadOutcome>& outcomes,
                  const std::vector<Read::Input>& sources, std::vector<InputSummary>& inputs) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        InputSummary& summary = inputs[i];
        summary.refused = std::move(outcomes[i].refused);
        summary.rows = outcomes[i].rows;
        summary.skipped = std::move(outcomes[i].skipped);
        if (!summary.usable() || summary.rows > 0) {
            continue;
        }
        const std::size_t skipped = summary.skipped.count();
        if (skipped == 0 && sources[i].foundInFolder()) {
            summary.headerOnly = true;
            continue;
        }
        const std::string why =
            skipped == 0 ? ": holds only the header, no rows"
            : summary.skipped.binaryLines() == skipped
                ? ": holds binary data, not a performance file"
                : ": no row could be read (" + std::to_string(skipped) + " skipped)";
        summary.refused = Failure(FailureKind::Input, summary.name + why);
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
    result.inputs.resize(inputs.size());
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        result.inputs[i].name = inputs[i].name();
        result.inputs[i].path = inputs[i].path();
    }
    Reading reading;
    reading.outcomes.resize(inputs.size());
    std::thread reader([&reading, &inputs] { reading.run(inputs); });
    Tallies tallies;
    try {
        analyseAll(reading, result, sinks, options, tallies);
    } catch (...) {
        reading.queue.abandon();
        reader.join();
        throw;
    }
    reader.join();
    takeOutcomes(reading.outcomes, inputs, result.inputs);
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
