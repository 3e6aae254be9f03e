#include "Report.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "DisplayText.h"
#include "InputError.h"
#include "InputFile.h"
#include "PerformanceFormat.h"
#include "PerformanceRows.h"

namespace Quorvel::Summary {

namespace {

// One input read match by match.
class MatchSource {
  public:
    MatchSource(const std::filesystem::path& file, InputSummary& summary, const ReportHooks& hooks)
        : input(file),
          rows(input,
               [&hooks, file](std::size_t line, const std::string& what) {
                   if (hooks.problem) {
                       hooks.problem(file, line, what);
                   }
               }),
          inputSummary(summary) {}

    // Reads up to the end of the next match; false when the file has no more.
    bool advance() {
        Row row;
        while (rows.next(row)) {
            if (splitter.add(row, pending)) {
                return true;
            }
        }
        return splitter.finish(pending);
    }

    MatchRows pending;
    std::uint64_t position() const { return rows.position(); }
    std::uint64_t size() const { return input.size(); }
    void close() {
        inputSummary.rows = rows.rowsRead();
        inputSummary.skipped = rows.rowsSkipped();
    }

  private:
    InputFile input;
    PerformanceRows rows;
    MatchSplitter splitter;
    InputSummary& inputSummary;
};

void refuse(InputSummary& summary, const std::string& why) {
    summary.usable = false;
    summary.refusal = why;
}

}  // namespace

bool ReportResult::allUsable() const {
    return std::all_of(inputs.begin(), inputs.end(),
                       [](const InputSummary& s) { return s.usable; });
}

ReportResult buildReport(const std::vector<std::filesystem::path>& inputs,
                         const std::vector<ReportSink*>& sinks, const ReportHooks& hooks) {
    ReportResult result;
    result.inputs.resize(inputs.size());
    std::vector<std::unique_ptr<MatchSource>> sources(inputs.size());
    std::uint64_t totalBytes = 0;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        InputSummary& summary = result.inputs[i];
        summary.path = inputs[i];
        try {
            sources[i] = std::make_unique<MatchSource>(inputs[i], summary, hooks);
            summary.usable = true;
            totalBytes += sources[i]->size();
        } catch (const InputError& error) {
            refuse(summary, error.what());
        }
    }

    // Each source holds its next match; the earliest goes first.
    std::vector<bool> hasMatch(inputs.size(), false);
    const auto advance = [&](std::size_t i) {
        try {
            hasMatch[i] = sources[i]->advance();
        } catch (const InputError& error) {
            refuse(result.inputs[i], error.what());
            hasMatch[i] = false;
        }
        if (!hasMatch[i]) {
            sources[i]->close();
        }
    };
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (sources[i]) {
            advance(i);
        }
    }

    ServerTable servers;
    std::vector<std::int64_t> times;
    for (;;) {
        std::optional<std::size_t> next;
        for (std::size_t i = 0; i < inputs.size(); ++i) {
            if (hasMatch[i] && (!next || sources[i]->pending.seconds.front().time <
                                             sources[*next]->pending.seconds.front().time)) {
                next = i;
            }
        }
        if (!next) {
            break;
        }
        const MatchRows& rows = sources[*next]->pending;
        times = matchTimes(rows.seconds);
        MatchReport report = analyzeMatch(rows, times);
        report.file = *next;
        report.number = ++result.matches;
        InputSummary& summary = result.inputs[*next];
        ++summary.matches;
        summary.matchesWithProblems += report.verdict.cause != Cause::Good ? 1 : 0;
        summary.servers.insert(report.info.serverIp);
        servers.add(rows, report);
        for (ReportSink* sink : sinks) {
            sink->match(rows, times, report);
        }
        if (hooks.progress) {
            std::uint64_t position = 0;
            for (const auto& source : sources) {
                position += source ? source->position() : 0;
            }
            hooks.progress(position, totalBytes);
        }
        advance(*next);
    }

    for (InputSummary& summary : result.inputs) {
        if (!summary.usable) {
            continue;
        }
        const std::string name = displayPath(summary.path);
        if (summary.rows == 0 && summary.skipped == 0) {
            refuse(summary, name + ": holds only the header, no rows");
        } else if (summary.rows == 0) {
            refuse(summary, name + ": no row could be read (" + std::to_string(summary.skipped) +
                                " skipped)");
        }
    }
    if (result.matches > 0) {
        const std::vector<ServerSummary> serverSummaries = servers.summaries();
        for (ReportSink* sink : sinks) {
            sink->finish(result.inputs, serverSummaries);
        }
    }
    return result;
}

std::vector<std::filesystem::path> performanceFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = displayPath(it->path().filename());
        if (name.size() >= Format::kFileNameSuffix.size() &&
            name.ends_with(Format::kFileNameSuffix) && !it->is_directory()) {
            files.push_back(it->path());
        }
    }
    if (error) {
        throw InputError(displayPath(folder) + ": cannot be listed: " + error.message());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace Quorvel::Summary
