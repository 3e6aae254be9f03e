#include "Report.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include "MatchQueue.h"
#include "MatchSplitter.h"
#include "PerformanceRows.h"

namespace Quorvel::Analysis {

namespace {

using Tools::Failure;
using Tools::FailureKind;

// What reading one input gave, apart from its matches.
struct ReadOutcome {
    std::optional<Failure> refused;
    std::size_t rows = 0;
    Read::SkippedRows skipped;
};

// One input read match by match.
class MatchSource {
  public:
    explicit MatchSource(const Read::Input& input)
        : bytes(input.open()), rows(*bytes, input.name()) {}

    // Reads up to the end of the next match; false when the input has no more.
    bool advance() {
        Read::Row row;
        while (rows.next(row)) {
            if (splitter.add(row, pending)) {
                return true;
            }
        }
        return splitter.finish(pending);
    }

    void close(ReadOutcome& outcome) const {
        outcome.rows = rows.rowsRead();
        outcome.skipped = rows.skipped();
    }

    Matches::MatchRows pending;
    std::uint64_t position() const { return rows.position(); }
    std::uint64_t size() const { return bytes->size(); }

  private:
    std::unique_ptr<Read::ByteSource> bytes;
    Read::PerformanceRows rows;
    Matches::MatchSplitter splitter;
};

// The inputs being read, each holding its next match; the earliest goes first.
class MatchMerger {
  public:
    MatchMerger(const std::vector<Read::Input>& inputs, std::vector<ReadOutcome>& results)
        : outcomes(results), sources(inputs.size()), hasMatch(inputs.size(), false) {
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            try {
                sources[i] = std::make_unique<MatchSource>(inputs[i]);
                totalBytes += sources[i]->size();
                advance(i);
            } catch (const Failure& failure) {
                outcomes[i].refused = failure;
            }
        }
    }

    // The input whose pending match starts first; nothing when all are done.
    std::optional<std::size_t> earliest() const {
        std::optional<std::size_t> next;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            if (hasMatch[i] && (!next || sources[i]->pending.seconds.front().time <
                                             sources[*next]->pending.seconds.front().time)) {
                next = i;
            }
        }
        return next;
    }

    // Takes input i's pending match and reads its next one.
    ReadMatch take(std::size_t i) {
        ReadMatch match{i, std::move(sources[i]->pending)};
        advance(i);
        return match;
    }

    std::uint64_t position() const {
        std::uint64_t done = 0;
        for (const auto& source : sources) {
            done += source ? source->position() : 0;
        }
        return done;
    }
    std::uint64_t total() const { return totalBytes; }

  private:
    void advance(std::size_t i) {
        try {
            hasMatch[i] = sources[i]->advance();
        } catch (const Failure& failure) {
            outcomes[i].refused = failure;
            hasMatch[i] = false;
        }
        if (!hasMatch[i]) {
            sources[i]->close(outcomes[i]);
        }
    }

    std::vector<ReadOutcome>& outcomes;
    std::vector<std::unique_ptr<MatchSource>> sources;
    std::vector<bool> hasMatch;
    std::uint64_t totalBytes = 0;
};

// Reading, on a thread of its own, so that it goes on while matches are analysed.
struct Reading {
    MatchQueue queue;
    std::vector<ReadOutcome> outcomes;
    std::atomic<std::uint64_t> bytesRead{0};
    std::atomic<std::uint64_t> bytesTotal{0};

    void run(const std::vector<Read::Input>& inputs) {
        try {
            MatchMerger merger(inputs, outcomes);
            bytesTotal = merger.total();
            MatchBatch batch;
            for (std::optional<std::size_t> next;
                 (next = merger.earliest()) || !batch.matches.empty();) {
                if (next) {
                    batch.add(merger.take(*next));
                    bytesRead = merger.position();
                }
                if ((!next || batch.full()) && !queue.push(std::exchange(batch, {}))) {
                    break;
                }
            }
            queue.close();
        } catch (...) {
            queue.close(std::current_exception());
        }
    }
};

// Players named per input: a file is one player's; more are named up to this many.
constexpr std::size_t kPlayersKept = 8;

// What every match adds to: the servers' table and the conclusion across matches.
struct Tallies {
    ServerTable servers;
    ConclusionBuilder conclusion;
};

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
    InputSummary& summary = result.inputs[match.input];
    ++summary.matches;
    summary.matchesWithProblems += report.verdict.cause != Cause::Good ? 1 : 0;
    summary.servers.insert(report.info.serverIp);
    if (summary.players.size() < kPlayersKept) {
        summary.players.insert(report.info.userId);
    }
    tallies.servers.add(report);
    tallies.conclusion.add(report);
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

// What reading gave each input; an input that was read but gave no row is refused too.
void takeOutcomes(std::vector<ReadOutcome>& outcomes, std::vector<InputSummary>& inputs) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        InputSummary& summary = inputs[i];
        summary.refused = std::move(outcomes[i].refused);
        summary.rows = outcomes[i].rows;
        summary.skipped = std::move(outcomes[i].skipped);
        if (!summary.usable() || summary.rows > 0) {
            continue;
        }
        const std::string why = summary.skipped.count() == 0
                                    ? ": holds only the header, no rows"
                                    : ": no row could be read (" +
                                          std::to_string(summary.skipped.count()) + " skipped)";
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
    takeOutcomes(reading.outcomes, result.inputs);
    result.conclusion = tallies.conclusion.conclude();
    if (result.matches > 0) {
        const ReportTotals totals{result.inputs, tallies.servers.summaries(), result.conclusion};
        for (ReportSink* sink : sinks) {
            sink->finish(totals);
        }
    }
    return result;
}

}  // namespace Quorvel::Analysis
