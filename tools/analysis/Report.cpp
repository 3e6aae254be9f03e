#include "Report.h"

#include <algorithm>
#include <memory>

#include "MatchSplitter.h"
#include "PerformanceRows.h"

namespace Quorvel::Analysis {

namespace {

using Tools::Failure;
using Tools::FailureKind;

// One input read match by match.
class MatchSource {
  public:
    MatchSource(const Read::Input& input, InputSummary& summary)
        : bytes(input.open()), rows(*bytes, input.name()), inputSummary(summary) {}

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

    void close() {
        inputSummary.rows = rows.rowsRead();
        inputSummary.skipped = rows.skipped();
    }

    Matches::MatchRows pending;
    std::uint64_t position() const { return rows.position(); }
    std::uint64_t size() const { return bytes->size(); }

  private:
    std::unique_ptr<Read::ByteSource> bytes;
    Read::PerformanceRows rows;
    Matches::MatchSplitter splitter;
    InputSummary& inputSummary;
};

// The inputs being read, each holding its next match; the earliest goes first.
class MatchMerger {
  public:
    MatchMerger(const std::vector<Read::Input>& inputs, ReportResult& result)
        : summaries(result.inputs), sources(inputs.size()), hasMatch(inputs.size(), false) {
        summaries.resize(inputs.size());
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            summaries[i].name = inputs[i].name();
            summaries[i].path = inputs[i].path();
            try {
                sources[i] = std::make_unique<MatchSource>(inputs[i], summaries[i]);
                totalBytes += sources[i]->size();
                advance(i);
            } catch (const Failure& failure) {
                summaries[i].refused = failure;
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

    const Matches::MatchRows& pending(std::size_t i) const { return sources[i]->pending; }

    void advance(std::size_t i) {
        try {
            hasMatch[i] = sources[i]->advance();
        } catch (const Failure& failure) {
            summaries[i].refused = failure;
            hasMatch[i] = false;
        }
        if (!hasMatch[i]) {
            sources[i]->close();
        }
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
    std::vector<InputSummary>& summaries;
    std::vector<std::unique_ptr<MatchSource>> sources;
    std::vector<bool> hasMatch;
    std::uint64_t totalBytes = 0;
};

// An input that was read but gave no row is refused too.
void refuseEmptyInputs(std::vector<InputSummary>& inputs) {
    for (InputSummary& summary : inputs) {
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
                         const std::vector<ReportSink*>& sinks, const ProgressHook& progress) {
    ReportResult result;
    MatchMerger merger(inputs, result);
    ServerTable servers;
    while (const std::optional<std::size_t> next = merger.earliest()) {
        const Matches::MatchRows& rows = merger.pending(*next);
        MatchReport report = analyzeMatch(rows);
        report.input = *next;
        report.number = ++result.matches;
        InputSummary& summary = result.inputs[*next];
        ++summary.matches;
        summary.matchesWithProblems += report.verdict.cause != Cause::Good ? 1 : 0;
        summary.servers.insert(report.info.serverIp);
        servers.add(report);
        for (ReportSink* sink : sinks) {
            sink->match(rows, report);
        }
        if (progress) {
            progress(merger.position(), merger.total());
        }
        merger.advance(*next);
    }
    refuseEmptyInputs(result.inputs);
    if (result.matches > 0) {
        const std::vector<ServerSummary> serverSummaries = servers.summaries();
        for (ReportSink* sink : sinks) {
            sink->finish(result.inputs, serverSummaries);
        }
    }
    return result;
}

}  // namespace Quorvel::Analysis
