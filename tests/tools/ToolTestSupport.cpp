#include "ToolTestSupport.h"

#include <chrono>

#include "ConclusionTexts.h"
#include "PerformanceRow.h"
#include "UtcTimestamp.h"
#include "VerdictTexts.h"

namespace QuorvelTest {

namespace {

class Collector : public Quorvel::Analysis::ReportSink {
  public:
    explicit Collector(Analyzed& into) : analysis(into) {}
    void match(const Quorvel::Matches::MatchRows&,
               const Quorvel::Analysis::MatchReport& report) override {
        analysis.matches.push_back(report);
    }
    void finish(const Quorvel::Analysis::ReportTotals& totals) override {
        analysis.servers = totals.servers;
    }

  private:
    Analyzed& analysis;
};

}  // namespace

std::string csvRow(const SampleRow& r) {
    using namespace std::chrono;
    using Quorvel::Format::Statistic;
    const std::string timestamp = Quorvel::Format::formatUtcTimestamp(
        sys_seconds{sys_days{2026y / December / 8} + 10h + seconds{r.second}});
    Quorvel::Format::PerStatistic<std::int32_t> values;
    values[Statistic::FPS] = static_cast<std::int32_t>(r.fps);
    values[Statistic::Ping] = static_cast<std::int32_t>(r.ping);
    values[Statistic::Latency] = static_cast<std::int32_t>(r.latency);
    values[Statistic::PacketsOut] = static_cast<std::int32_t>(r.packetsOut);
    values[Statistic::PacketsIn] = static_cast<std::int32_t>(r.packetsIn);
    values[Statistic::LostPacketsOut] = static_cast<std::int32_t>(r.lostOut);
    values[Statistic::LostPacketsIn] = static_cast<std::int32_t>(r.lostIn);
    values[Statistic::Buffer] = static_cast<std::int32_t>(r.buffer);
    values[Statistic::BufferTarget] = static_cast<std::int32_t>(r.target);
    std::string row;
    Quorvel::Format::appendPerformanceRow(row,
                                          {.timestamp = timestamp,
                                           .userId = "id",
                                           .matchGuid = r.guid,
                                           .serverIp = r.serverIp,
                                           .serverPort = "7777"},
                                          13, values);
    return row;
}

std::string performanceCsv(const std::vector<SampleRow>& rows) {
    std::string csv(Quorvel::Format::kHeaderLine);
    for (const SampleRow& row : rows) {
        csv += csvRow(row);
    }
    return csv;
}

std::string reasonOf(const Quorvel::Analysis::MatchReport& match) {
    return Quorvel::Present::verdictText(match.verdict, match.events);
}

std::string textOf(const Quorvel::Analysis::Conclusion& conclusion) {
    return Quorvel::Present::conclusionText(conclusion);
}

Analyzed analyzeInputs(const std::vector<Quorvel::Read::Input>& inputs) {
    Analyzed analysis;
    Collector collector(analysis);
    analysis.result = Quorvel::Analysis::buildReport(inputs, {&collector});
    for (const auto& input : analysis.result.inputs) {
        const auto& listed = input.skipped.listed();
        analysis.problems.insert(analysis.problems.end(), listed.begin(), listed.end());
    }
    return analysis;
}

Analyzed analyze(const std::string& csv) {
    return analyzeInputs({Quorvel::Read::Input::bytes("p-performance.csv", csv)});
}

}  // namespace QuorvelTest
