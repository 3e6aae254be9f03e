#include "SummaryCsv.h"

#include <cstdio>
#include <functional>

#include "CsvText.h"
#include "DisplayText.h"
#include "Names.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

namespace {

using namespace Analysis;

// What a column is given to show one match.
struct Source {
    const MatchReport& report;
    const std::string& file;
};

struct SummaryColumn {
    std::string_view name;
    std::function<std::string(const Source&)> value;
};

// A text from a file as a spreadsheet will take it: one that begins like a formula
// (=, +, -, @, a tab or a carriage return) gets a leading apostrophe, so it is shown,
// never run.
std::string asText(const std::string& text) {
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        return "'" + text;
    }
    return text;
}

std::string number(Figure value) {
    if (!value) {
        return "";
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", *value);
    return text;
}

// A member of a distribution, empty when the match has none.
auto part(const std::optional<Distribution> MatchFigures::*distribution,
          double Distribution::*member) {
    return [distribution, member](const Source& s) {
        const auto& d = s.report.figures.*distribution;
        return number(d ? Figure((*d).*member) : std::nullopt);
    };
}

auto eventCount(EventKind kind) {
    return [kind](const Source& s) { return std::to_string(s.report.events.count(kind)); };
}

const std::vector<SummaryColumn>& columns() {
    static const std::vector<SummaryColumn> kColumns = {
        {"Match", [](const Source& s) { return std::to_string(s.report.number); }},
        {"File", [](const Source& s) { return asText(s.file); }},
        {"Start", [](const Source& s) { return Tools::formatClock(s.report.figures.start); }},
        {"LengthSeconds",
         [](const Source& s) { return std::to_string(s.report.figures.lengthSeconds); }},
        {"Rows", [](const Source& s) { return std::to_string(s.report.figures.rows); }},
        {"Gaps", [](const Source& s) { return std::to_string(s.report.figures.gaps); }},
        {"GapSeconds", [](const Source& s) { return std::to_string(s.report.figures.gapSeconds); }},
        {"ClockStepsBack",
         [](const Source& s) { return std::to_string(s.report.figures.clockStepsBack); }},
        {"GameClosed",
         [](const Source& s) { return std::string(s.report.origin.cutShort ? "1" : "0"); }},
        {"MatchGUID", [](const Source& s) { return asText(s.report.info.matchGuid); }},
        {"Server", [](const Source& s) { return asText(s.report.info.server()); }},
        {"Playlist", [](const Source& s) { return std::to_string(s.report.info.playlist); }},
        {"PingMedian", part(&MatchFigures::ping, &Distribution::median)},
        {"PingP95", part(&MatchFigures::ping, &Distribution::p95)},
        {"PingP99", part(&MatchFigures::ping, &Distribution::p99)},
        {"PingMax", part(&MatchFigures::ping, &Distribution::max)},
        {"JitterMs", [](const Source& s) { return number(s.report.figures.jitterMs()); }},
        {"LatencyMedian", part(&MatchFigures::latency, &Distribution::median)},
        {"LatencyP95", part(&MatchFigures::latency, &Distribution::p95)},
        {"LossInPercent", [](const Source& s) { return number(s.report.figures.lossInPercent()); }},
        {"LossOutPercent",
         [](const Source& s) { return number(s.report.figures.lossOutPercent()); }},
        {"FpsMean", part(&MatchFigures::fps, &Distribution::mean)},
        {"FpsLow1Percent", part(&MatchFigures::fps, &Distribution::low1Percent)},
        {"BufferMean", [](const Source& s) { return number(s.report.figures.bufferMean); }},
        {"BufferTargetMean",
         [](const Source& s) { return number(s.report.figures.bufferTargetMean); }},
        {"PingSpikes", eventCount(EventKind::PingSpike)},
        {"LossBursts", eventCount(EventKind::LossBurst)},
        {"FpsDrops", eventCount(EventKind::FpsDrop)},
        {"BufferAboveTarget", eventCount(EventKind::BufferAboveTarget)},
        {"NoValueStretches", eventCount(EventKind::NoValue)},
        {"UnstablePing", eventCount(EventKind::UnstablePing)},
        {"NothingIn", eventCount(EventKind::NothingIn)},
        {"ServerHiccups", eventCount(EventKind::ServerHiccup)},
        {"Stutter", eventCount(EventKind::Stutter)},
        {"SteadyLoss", eventCount(EventKind::SteadyLoss)},
        {"Outages", eventCount(EventKind::Outage)},
        {"CountingEvents",
         [](const Source& s) { return std::to_string(s.report.events.counting()); }},
        {"Verdict", [](const Source& s) { return std::string(causeName(s.report.verdict.cause)); }},
        {"Reason", [](const Source& s) { return verdictText(s.report.verdict, s.report.events); }},
    };
    return kColumns;
}

}  // namespace

// Marks the file as UTF-8: without it a spreadsheet on Windows reads the file in the
// system's code page, and every dash of a verdict and every name beyond ASCII comes out
// garbled.
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

SummaryCsv::SummaryCsv(Tools::TextOutput& output, const std::vector<Read::Input>& inputs)
    : out(output), files(inputs) {
    std::string header(kUtf8ByteOrderMark);
    for (const SummaryColumn& column : columns()) {
        header += &column == &columns().front() ? "" : ",";
        header += column.name;
    }
    out.write(header + "\r\n");
}

void SummaryCsv::match(const Matches::MatchRows&, const MatchReport& r) {
    const Source source{r, files.at(r.input).name()};
    std::string line;
    for (const SummaryColumn& column : columns()) {
        if (&column != &columns().front()) {
            line.push_back(',');
        }
        Format::appendCsvField(line, column.value(source));
    }
    out.write(line + "\r\n");
}

}  // namespace Quorvel::Present
