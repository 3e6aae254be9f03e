#include "SummaryCsv.h"

#include <cstdio>

#include "DisplayText.h"

namespace QuorvelReport {

namespace {

using namespace Quorvel::Summary;

constexpr std::string_view kHeader =
    "Match,File,Start,LengthSeconds,Rows,Gaps,GapSeconds,ClockStepsBack,MatchGUID,Server,"
    "Playlist,PingMedian,PingP95,PingP99,PingMax,JitterMs,LatencyMedian,LatencyP95,"
    "LossInPercent,LossOutPercent,FpsMean,FpsLow1Percent,BufferMean,BufferTargetMean,"
    "PingSpikes,LossBursts,FpsDrops,BufferAboveTarget,NoValueStretches,Verdict,Reason\r\n";

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (char c : text) {
        out += c == '"' ? "\"\"" : std::string(1, c);
    }
    return out + "\"";
}

std::string number(std::optional<double> value) {
    if (!value) {
        return "";
    }
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", *value);
    return text;
}

}  // namespace

SummaryCsv::SummaryCsv(TextOutput& output, std::vector<std::filesystem::path> inputs)
    : out(output), files(std::move(inputs)) {
    out.write(kHeader);
}

void SummaryCsv::match(const MatchRows&, const std::vector<std::int64_t>&, const MatchReport& r) {
    const MatchFigures& f = r.figures;
    const auto part = [](const std::optional<Distribution>& d, double Distribution::*member) {
        return d ? std::optional<double>((*d).*member) : std::nullopt;
    };
    const std::string fields[] = {std::to_string(r.number),
                                  csvField(displayPath(files.at(r.file))),
                                  formatClock(f.start),
                                  std::to_string(f.lengthSeconds),
                                  std::to_string(f.rows),
                                  std::to_string(f.gaps),
                                  std::to_string(f.gapSeconds),
                                  std::to_string(f.clockStepsBack),
                                  csvField(r.info.matchGuid),
                                  csvField(r.info.server()),
                                  std::to_string(r.info.playlist),
                                  number(part(f.ping, &Distribution::median)),
                                  number(part(f.ping, &Distribution::p95)),
                                  number(part(f.ping, &Distribution::p99)),
                                  number(part(f.ping, &Distribution::max)),
                                  number(f.jitterMs),
                                  number(part(f.latency, &Distribution::median)),
                                  number(part(f.latency, &Distribution::p95)),
                                  number(f.lossInPercent),
                                  number(f.lossOutPercent),
                                  number(part(f.fps, &Distribution::mean)),
                                  number(part(f.fps, &Distribution::low1Percent)),
                                  number(f.bufferMean),
                                  number(f.bufferTargetMean),
                                  std::to_string(r.events.count(EventKind::PingSpike)),
                                  std::to_string(r.events.count(EventKind::LossBurst)),
                                  std::to_string(r.events.count(EventKind::FpsDrop)),
                                  std::to_string(r.events.count(EventKind::BufferAboveTarget)),
                                  std::to_string(r.events.count(EventKind::NoValue)),
                                  std::string(causeName(r.verdict.cause)),
                                  csvField(r.verdict.text)};
    std::string line;
    for (const std::string& field : fields) {
        line += (line.empty() ? "" : ",") + field;
    }
    out.write(line + "\r\n");
}

}  // namespace QuorvelReport
