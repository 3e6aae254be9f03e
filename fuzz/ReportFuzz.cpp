// The report's whole road on any bytes, split into up to three inputs: each input is
// refused with a Failure of kind Input or read, the matches of all inputs are merged,
// every figure given is in range (shares within 0..100 %, percentiles in order, lengths
// and events inside their match), and every presentation takes the result.

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ConclusionTexts.h"
#include "JsonReport.h"
#include "Report.h"
#include "SummaryCsv.h"
#include "TableReport.h"
#include "VerdictTexts.h"

namespace {

using namespace Quorvel::Analysis;

// Names the broken check before stopping, so that a crash tells which figure was wrong.
void checkAt(bool holds, int line) {
    if (!holds) {
        std::fprintf(stderr, "check failed at line %d\n", line);
        std::abort();
    }
}
#define check(holds) checkAt((holds), __LINE__)

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

class Checker : public ReportSink {
  public:
    void match(const MatchRows& rows, const MatchReport& report) override {
        const MatchFigures& f = report.figures;
        check(f.rows == rows.seconds.size() && f.rows > 0 && report.number == ++matches);
        check(f.lengthSeconds >= 1 && f.gapSeconds >= 0 && f.gapSeconds < f.lengthSeconds);
        for (std::size_t missing : f.missing) {
            check(missing <= f.rows);
        }
        checkDistribution(f.ping);
        checkDistribution(f.latency);
        checkDistribution(f.fps);
        checkShare(f.lossInPercent());
        checkShare(f.lossOutPercent());
        check(!f.jitterMs() || *f.jitterMs() >= 0);
        for (const Event& e : report.events.events) {
            check(e.when.offset >= 0 && e.when.lengthSeconds >= 1 &&
                  e.when.offset + e.when.lengthSeconds <= f.lengthSeconds);
            if (const auto* burst = std::get_if<LossBurst>(&e.what)) {
                check(burst->worstSharePercent >= 0 && burst->worstSharePercent <= 100);
            }
        }
        check(!Quorvel::Present::verdictText(report.verdict, report.events).empty());
    }
    void finish(const ReportTotals& totals) override {
        // A match joined from several inputs counts in each that gave it seconds.
        std::size_t total = 0;
        for (const InputSummary& input : totals.inputs) {
            total += input.matches;
        }
        check(total >= matches && !totals.servers.empty() && !totals.conclusions.empty());
        for (const Conclusion& conclusion : totals.conclusions) {
            check(!Quorvel::Present::conclusionText(conclusion).empty());
        }
    }

  private:
    std::size_t matches = 0;
};

class Discard : public Quorvel::Tools::TextOutput {
  public:
    void write(std::string_view) override {}
};

// The bytes cut at each form feed, into at most three inputs.
std::vector<Quorvel::Read::Input> inputsOf(std::string_view bytes) {
    std::vector<Quorvel::Read::Input> inputs;
    while (inputs.size() < 2) {
        const std::size_t cut = bytes.find('\f');
        if (cut == std::string_view::npos) {
            break;
        }
        inputs.push_back(Quorvel::Read::Input::bytes("input" + std::to_string(inputs.size()),
                                                     std::string(bytes.substr(0, cut))));
        bytes.remove_prefix(cut + 1);
    }
    inputs.push_back(Quorvel::Read::Input::bytes("last", std::string(bytes)));
    return inputs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto inputs = inputsOf(std::string_view(reinterpret_cast<const char*>(data), size));
    Discard out;
    Checker checker;
    Quorvel::Present::TableReport table(out, inputs);
    Quorvel::Present::JsonReport json(out, inputs);
    Quorvel::Present::SummaryCsv summary(out, inputs);
    const ReportResult result = buildReport(inputs, {&checker, &table, &json, &summary});
    for (const InputSummary& input : result.inputs) {
        check(input.usable() || input.refused->kind() == Quorvel::Tools::FailureKind::Input);
    }
    return 0;
}
