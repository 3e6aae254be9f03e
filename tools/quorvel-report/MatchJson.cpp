#include "MatchJson.h"

#include <cmath>

#include "DisplayText.h"

namespace QuorvelReport {

namespace {

using json = nlohmann::ordered_json;
using namespace Quorvel::Summary;

// Two decimals are all a person reads; the rest is noise in the output.
json figure(std::optional<double> value) {
    if (!value) {
        return nullptr;
    }
    return std::round(*value * 100.0) / 100.0;
}

json distribution(const std::optional<Distribution>& d) {
    if (!d) {
        return nullptr;
    }
    return {{"mean", figure(d->mean)}, {"median", figure(d->median)}, {"p95", figure(d->p95)},
            {"p99", figure(d->p99)},   {"min", figure(d->min)},       {"max", figure(d->max)}};
}

json eventJson(const Event& e) {
    json event = {{"kind", eventKindKey(e.kind)},
                  {"offsetSeconds", e.offset},
                  {"start", formatClock(e.clock)},
                  {"lengthSeconds", e.lengthSeconds},
                  {"significant", e.significant}};
    switch (e.kind) {
        case EventKind::PingSpike:
            event["worstMs"] = figure(e.worst);
            event["typicalMs"] = figure(e.typical);
            break;
        case EventKind::FpsDrop:
            event["worstFps"] = figure(e.worst);
            event["typicalFps"] = figure(e.typical);
            break;
        case EventKind::LossBurst:
            event["worstLostInPerSecond"] = figure(e.worstIn);
            event["worstLostOutPerSecond"] = figure(e.worstOut);
            event["worstSharePercent"] = figure(e.worstSharePercent);
            break;
        case EventKind::BufferAboveTarget:
            event["worstBuffer"] = figure(e.worst);
            event["target"] = figure(e.typical);
            break;
        case EventKind::NoValue: {
            json names = json::array();
            for (std::size_t k = 0; k < kStatisticCount; ++k) {
                if ((e.statistics & (1u << k)) != 0) {
                    names.push_back(statisticName(statisticAt(k)));
                }
            }
            event["statistics"] = names;
            break;
        }
        case EventKind::NotRecorded:
            break;
    }
    return event;
}

}  // namespace

json matchJson(const MatchReport& r, const std::filesystem::path& file) {
    const MatchFigures& f = r.figures;
    json missing = json::object();
    for (std::size_t k = 0; k < kStatisticCount; ++k) {
        missing[std::string(statisticName(statisticAt(k)))] = f.missing[k];
    }
    json counts = json::object();
    for (std::size_t k = 0; k < kEventKindCount; ++k) {
        counts[std::string(eventKindKey(static_cast<EventKind>(k)))] = r.events.counts[k];
    }
    json events = json::array();
    for (const Event& e : r.events.events) {
        events.push_back(eventJson(e));
    }
    json lacking = json::array();
    for (std::string_view name : r.verdict.lacking) {
        lacking.push_back(name);
    }
    return {{"number", r.number},
            {"file", displayPath(file)},
            {"firstLine", r.info.firstLine},
            {"start", formatClock(f.start)},
            {"startEpochSeconds", f.start.time_since_epoch().count()},
            {"lengthSeconds", f.lengthSeconds},
            {"rows", f.rows},
            {"gaps", f.gaps},
            {"gapSeconds", f.gapSeconds},
            {"clockStepsBack", f.clockStepsBack},
            {"userId", r.info.userId},
            {"matchGuid", r.info.matchGuid},
            {"server", r.info.server()},
            {"serverIp", r.info.serverIp},
            {"playlist", r.info.playlist},
            {"secondsWithoutValue", missing},
            {"pingMs", distribution(f.ping)},
            {"jitterMs", figure(f.jitterMs)},
            {"latencyMs", distribution(f.latency)},
            {"lossInPercent", figure(f.lossInPercent)},
            {"lossOutPercent", figure(f.lossOutPercent)},
            {"inconsistentSeconds", f.inconsistentSeconds},
            {"fps", f.fps ? json{{"mean", figure(f.fps->mean)},
                                 {"median", figure(f.fps->median)},
                                 {"low1Percent", figure(f.fps->low1Percent)},
                                 {"min", figure(f.fps->min)}}
                          : json(nullptr)},
            {"bufferMean", figure(f.bufferMean)},
            {"bufferTargetMean", figure(f.bufferTargetMean)},
            {"eventCounts", counts},
            {"events", events},
            {"verdict", causeName(r.verdict.cause)},
            {"reason", r.verdict.text},
            {"lacking", lacking}};
}

json serverJson(const ServerSummary& s) {
    json verdicts = json::object();
    for (std::size_t c = 0; c < kCauseCount; ++c) {
        verdicts[std::string(causeName(static_cast<Cause>(c)))] = s.verdicts[c];
    }
    return {{"serverIp", s.serverIp},
            {"matches", s.matches},
            {"secondsPlayed", s.secondsPlayed},
            {"pingMedianMs", figure(s.pingMedian)},
            {"pingP95Ms", figure(s.pingP95)},
            {"jitterMs", figure(s.jitterMs)},
            {"lossInPercent", figure(s.lossInPercent)},
            {"lossOutPercent", figure(s.lossOutPercent)},
            {"verdicts", verdicts}};
}

json inputJson(const InputSummary& input) {
    json servers = json::array();
    for (const std::string& ip : input.servers) {
        servers.push_back(ip);
    }
    json entry = {{"file", displayPath(input.path)},
                  {"rows", input.rows},
                  {"skippedRows", input.skipped},
                  {"matches", input.matches},
                  {"matchesWithProblems", input.matchesWithProblems},
                  {"servers", servers}};
    if (!input.usable) {
        entry["refused"] = input.refusal;
    }
    return entry;
}

std::string dumpJson(const json& value, bool indent, bool forPage) {
    std::string text = value.dump(indent ? 2 : -1, ' ', false, json::error_handler_t::replace);
    if (!forPage) {
        return text;
    }
    std::string safe;
    safe.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '<':
                safe += "\\u003c";
                break;
            case '>':
                safe += "\\u003e";
                break;
            case '&':
                safe += "\\u0026";
                break;
            default:
                safe.push_back(c);
        }
    }
    return safe;
}

}  // namespace QuorvelReport
