#include "MatchJson.h"

#include <cmath>

#include "AdviceTexts.h"
#include "ConclusionTexts.h"
#include "DisplayText.h"
#include "Names.h"
#include "TableColumns.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

namespace {

using json = nlohmann::ordered_json;
using namespace Analysis;

// Two decimals are all a person reads; the rest is noise in the output.
json figure(Figure value) {
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

// Each kind's own fields, under their own names.
json detailJson(const PingSpike& e) {
    return {{"worstMs", figure(e.worstMs)},
            {"typicalMs", figure(e.typicalMs)},
            {"feltSeconds", e.feltSeconds}};
}
json detailJson(const UnstablePing& e) {
    return {{"meanChangeMs", figure(e.meanChangeMs)},
            {"worstChangeMs", figure(e.worstChangeMs)},
            {"lowMs", figure(e.lowMs)},
            {"highMs", figure(e.highMs)}};
}
json detailJson(const NothingIn& e) {
    return {{"worstPacketsIn", figure(e.worstPacketsIn)},
            {"typicalPacketsIn", figure(e.typicalPacketsIn)},
            {"packetsOut", figure(e.packetsOut)}};
}
json detailJson(const Outage& e) {
    return {{"worstPacketsIn", figure(e.worstPacketsIn)},
            {"typicalPacketsIn", figure(e.typicalPacketsIn)},
            {"mostPacketsOut", figure(e.mostPacketsOut)},
            {"typicalPacketsOut", figure(e.typicalPacketsOut)}};
}
json detailJson(const SteadyLoss& e) {
    return {{"lostInPercent", figure(e.lostInPercent)},
            {"lostOutPercent", figure(e.lostOutPercent)},
            {"worstLostPerSecond", figure(e.worstLostPerSecond)},
            {"lossySeconds", e.lossySeconds}};
}
json detailJson(const ServerHiccup& e) {
    return {{"worstLatencyMs", figure(e.worstLatencyMs)},
            {"typicalLatencyMs", figure(e.typicalLatencyMs)},
            {"pingMs", figure(e.pingMs)}};
}
json detailJson(const Stutter& e) {
    return {{"drops", e.drops},
            {"dropsPerMinute", figure(e.dropsPerMinute)},
            {"worstFps", figure(e.worstFps)},
            {"typicalFps", figure(e.typicalFps)}};
}
json detailJson(const LossBurst& e) {
    return {{"worstLostInPerSecond", figure(e.worstLostInPerSecond)},
            {"worstLostOutPerSecond", figure(e.worstLostOutPerSecond)},
            {"worstSharePercent", figure(e.worstSharePercent)}};
}
json detailJson(const FpsDrop& e) {
    return {{"worstFps", figure(e.worstFps)},
            {"typicalFps", figure(e.typicalFps)},
            {"feltSeconds", e.feltSeconds}};
}
json detailJson(const BufferAboveTarget& e) {
    return {{"worstBuffer", figure(e.worstBuffer)}, {"target", figure(e.target)}};
}
json detailJson(const NoValue& e) {
    json names = json::array();
    for (Format::Statistic s : Format::kStatistics) {
        if (e.statistics[s]) {
            names.push_back(Format::statisticName(s));
        }
    }
    return {{"statistics", names}};
}
json detailJson(const NotRecorded&) {
    return json::object();
}

json textsJson(const MatchReport& r, const ShownNames& names) {
    return {{"title", matchTitle(r)},          {"cells", cellsOf(matchColumns(), r)},
            {"notes", matchNotes(r)},          {"gameClosed", gameClosedNote(r)},
            {"source", matchSource(r, names)}, {"whatToTry", tipsLine(tipsFor(r.verdict))}};
}

// The tips for what was found: [{"key", "text"}].
json tipsJson(const std::vector<Tip>& tips) {
    json list = json::array();
    for (const Tip& tip : tips) {
        list.push_back({{"key", tip.key}, {"text", tip.text}});
    }
    return list;
}

json fpsJson(const std::optional<Distribution>& fps) {
    if (!fps) {
        return nullptr;
    }
    return {{"mean", figure(fps->mean)},
            {"median", figure(fps->median)},
            {"low1Percent", figure(fps->low1Percent)},
            {"min", figure(fps->min)}};
}

// Events of each kind: every one, and those that count in the verdict.
json countsJson(const MatchReport& r, bool countingOnly) {
    json counts = json::object();
    for (std::size_t k = 0; k < kEventKindCount; ++k) {
        const auto kind = static_cast<EventKind>(k);
        const KindSummary& summary = r.events.kinds[kind];
        counts[std::string(namesOf(kind).key)] = countingOnly ? summary.counting : summary.count;
    }
    return counts;
}

// What a server's or a day's entry holds after its name: the group's figures, its
// verdict counts and its table cells.
json groupJson(json entry, const Analysis::GroupSummary& g, std::vector<std::string> cellTexts) {
    json verdicts = json::object();
    for (std::size_t c = 0; c < kCauseCount; ++c) {
        const auto cause = static_cast<Cause>(c);
        verdicts[std::string(causeName(cause))] = g.verdicts[cause];
    }
    entry["matches"] = g.matches;
    entry["secondsPlayed"] = g.secondsPlayed;
    entry["pingMedianMs"] = figure(g.pingMedian);
    entry["pingP95Ms"] = figure(g.pingP95);
    entry["jitterMs"] = figure(g.jitterMs());
    entry["lossInPercent"] = figure(g.lossInPercent());
    entry["lossOutPercent"] = figure(g.lossOutPercent());
    entry["fpsMean"] = figure(g.fpsMean);
    entry["verdicts"] = verdicts;
    entry["texts"] = {{"cells", std::move(cellTexts)}};
    return entry;
}

}  // namespace

json eventJson(const Event& e) {
    const EventTexts texts = eventTexts(e);
    json event = {{"kind", namesOf(e.kind()).key},
                  {"offsetSeconds", e.when.offset},
                  {"start", Tools::formatClock(e.when.clock)},
                  {"lengthSeconds", e.when.lengthSeconds},
                  {"significant", e.significant}};
    event.update(std::visit([](const auto& detail) { return detailJson(detail); }, e.what));
    event["texts"] = {{"name", texts.name},
                      {"from", texts.from},
                      {"length", texts.length},
                      {"worst", texts.worst},
                      {"band", texts.band}};
    return event;
}

// The files that gave the match seconds: the one it begins in first.
json sourcesJson(const MatchReport& r, const ShownNames& names) {
    json sources = json::array();
    for (const Matches::MatchPiece& piece : r.origin.pieces) {
        if (piece.newSeconds > 0) {
            sources.push_back({{"file", names.file(piece.input)},
                               {"rows", piece.newSeconds},
                               {"unfinished", piece.unfinished}});
        }
    }
    return sources;
}

json matchJson(const MatchReport& r, const ShownNames& names) {
    const MatchFigures& f = r.figures;
    json missing = json::object();
    for (Format::Statistic s : Format::kStatistics) {
        missing[std::string(Format::statisticName(s))] = f.missing[s];
    }
    json events = json::array();
    for (const Event& e : r.events.events) {
        events.push_back(eventJson(e));
    }
    json lacking = json::array();
    for (Format::Statistic s : r.verdict.lacking) {
        lacking.push_back(Format::statisticName(s));
    }
    return {{"number", r.number},
            {"file", names.file(r.input)},
            {"firstLine", r.info.firstLine},
            {"sources", sourcesJson(r, names)},
            {"gameClosed", r.origin.cutShort},
            {"start", Tools::formatClock(f.start)},
            {"startEpochSeconds", f.start.time_since_epoch().count()},
            {"lengthSeconds", f.lengthSeconds},
            {"rows", f.rows},
            {"gaps", f.gaps},
            {"gapSeconds", f.gapSeconds},
            {"clockStepsBack", f.clockStepsBack},
            {"repeatedSeconds", f.repeatedSeconds},
            {"userId", names.player(r.info.userId)},
            {"matchGuid", r.info.matchGuid},
            {"server", r.info.server()},
            {"serverIp", r.info.serverIp},
            {"playlist", r.info.playlist},
            {"secondsWithoutValue", missing},
            {"pingMs", distribution(f.ping)},
            {"jitterMs", figure(f.jitterMs())},
            {"latencyMs", distribution(f.latency)},
            {"lossInPercent", figure(f.lossInPercent())},
            {"lossOutPercent", figure(f.lossOutPercent())},
            {"inconsistentSeconds", f.inconsistentSeconds},
            {"fps", fpsJson(f.fps)},
            {"bufferMean", figure(f.bufferMean)},
            {"bufferTargetMean", figure(f.bufferTargetMean)},
            {"eventCounts", countsJson(r, false)},
            {"countingEventCounts", countsJson(r, true)},
            {"events", events},
            {"verdict", causeName(r.verdict.cause)},
            {"reason", verdictText(r.verdict, r.events)},
            {"lacking", lacking},
            {"whatToTry", tipsJson(tipsFor(r.verdict))},
            {"texts", textsJson(r, names)}};
}

json serverJson(const ServerSummary& s) {
    return groupJson({{"serverIp", s.serverIp}}, s, cellsOf(serverColumns(), s));
}

json dayJson(const DaySummary& d) {
    return groupJson({{"day", Tools::formatDay(d.day)}}, d, cellsOf(dayColumns(), d));
}

json inputJson(const InputSummary& input, std::size_t place, const ShownNames& names) {
    json servers = json::array();
    for (const std::string& ip : input.servers) {
        servers.push_back(ip);
    }
    json entry = {{"file", names.file(place)},
                  {"rows", input.rows},
                  {"skippedRows", input.skipped.count()},
                  {"matches", input.matches},
                  {"matchesWithProblems", input.matchesWithProblems},
                  {"matchesAlreadyRead", input.matchesAlreadyRead},
                  {"servers", servers},
                  {"headline", inputHeadline(input, place, names)}};
    if (input.refused) {
        entry["refused"] = names.inMessage(place, input.refused->what());
    }
    return entry;
}

json conclusionJson(const Conclusion& conclusion, const ShownNames& names) {
    json entry = {{"player", names.player(conclusion.player)},
                  {"side", sideKey(conclusion.side)},
                  {"text", conclusionText(conclusion)},
                  {"matchesJudged", conclusion.judged},
                  {"whatToTry", tipsJson(tipsFor(conclusion))}};
    if (!conclusion.serverIp.empty()) {
        entry["serverIp"] = conclusion.serverIp;
    }
    return entry;
}

json conclusionsJson(const std::vector<Conclusion>& conclusions, const ShownNames& names) {
    json each = json::array();
    for (const Conclusion& conclusion : conclusions) {
        each.push_back(conclusionJson(conclusion, names));
        each.back()["texts"] = {{"line", conclusionLine(conclusion, conclusions.size() > 1, names)},
                                {"whatToTry", tipsLine(tipsFor(conclusion))}};
    }
    return {{"conclusion", conclusions.size() == 1 ? each[0] : json(nullptr)},
            {"conclusions", each}};
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

}  // namespace Quorvel::Present
