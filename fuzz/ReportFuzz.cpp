// The report's reading and analysis on any bytes: it either refuses the input with an
// InputError or reads it, and every figure it gives is in range: shares within 0..100 %,
// percentiles in order, lengths and events inside their match.

#include <cmath>
#include <cstdlib>
#include <string>

#include "InputError.h"
#include "MatchJson.h"
#include "MatchReport.h"
#include "PerformanceRows.h"
#include "TableReport.h"

namespace {

using namespace Quorvel::Summary;

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void checkDistribution(const std::optional<Distribution>& d) {
    if (!d) {
        return;
    }
    check(d->count > 0 && std::isfinite(d->mean) && std::isfinite(d->sigma) && d->sigma >= 0);
    check(d->min <= d->low1Percent && d->low1Percent <= d->median && d->median <= d->p95 &&
          d->p95 <= d->p99 && d->p99 <= d->max && d->min <= d->mean && d->mean <= d->max);
}

void checkShare(const Figure& share) {
    check(!share || (*share >= 0.0 && *share <= 100.0));
}

void checkMatch(const MatchRows& rows, const MatchReport& report) {
    const MatchFigures& f = report.figures;
    check(f.rows == rows.seconds.size() && f.rows > 0);
    check(f.lengthSeconds >= 1 && f.gapSeconds >= 0 && f.gapSeconds < f.lengthSeconds);
    for (std::size_t missing : f.missing) {
        check(missing <= f.rows);
    }
    checkDistribution(f.ping);
    checkDistribution(f.latency);
    checkDistribution(f.fps);
    checkShare(f.lossInPercent);
    checkShare(f.lossOutPercent);
    check(!f.jitterMs || *f.jitterMs >= 0);
    for (const Event& e : report.events.events) {
        check(e.offset >= 0 && e.lengthSeconds >= 1 &&
              e.offset + e.lengthSeconds <= f.lengthSeconds);
        check(e.worstSharePercent >= 0 && e.worstSharePercent <= 100);
    }
    check(!report.verdict.text.empty());
}

class Discard : public TextOutput {
  public:
    void write(std::string_view) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(std::string_view(reinterpret_cast<const char*>(data), size), "input");
    try {
        PerformanceRows rows(source, {});
        MatchSplitter splitter;
        MatchRows match;
        Row row;
        Discard out;
        TableReport table(out);
        const auto analyse = [&] {
            const auto times = matchTimes(match.seconds);
            const MatchReport report = analyzeMatch(match, times);
            checkMatch(match, report);
            table.match(match, times, report);
            QuorvelReport::dumpJson(QuorvelReport::matchJson(report, "input"), true);
        };
        while (rows.next(row)) {
            if (splitter.add(row, match)) {
                analyse();
            }
        }
        if (splitter.finish(match)) {
            analyse();
        }
    } catch (const InputError&) {
        // Not a performance file: a refusal is a right answer.
    }
    return 0;
}
