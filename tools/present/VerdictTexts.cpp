#include "VerdictTexts.h"

#include <algorithm>

#include "DisplayText.h"
#include "Names.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

namespace T = Thresholds;
using namespace Analysis;
using Tools::formatFigure;
using Tools::formatSeconds;
using Tools::plural;

// The other direction of a steady loss is named from this share of the steady-loss
// limit on: smaller, it is noise beside the direction that lost.
constexpr double kOtherDirectionShare = 0.5;

// "1–3", or "2" when both ends are one number.
std::string range(double low, double high) {
    return formatFigure(low) == formatFigure(high)
               ? formatFigure(low)
               : formatFigure(low) + "\u2013" + formatFigure(high);
}

// "12 packets", "1 packet".
std::string packets(double count) {
    return Tools::pluralFigure(count, "packet", "packets");
}

std::string lossWords(const LossBurst& w) {
    if (w.worstLostInPerSecond > 0 && w.worstLostOutPerSecond > 0) {
        return packets(w.worstLostInPerSecond) + " a second lost coming in, " +
               formatFigure(w.worstLostOutPerSecond) + " going out";
    }
    if (w.worstLostInPerSecond > 0) {
        return packets(w.worstLostInPerSecond) + " a second lost coming in";
    }
    return packets(w.worstLostOutPerSecond) + " a second lost going out";
}

// "3.1 % of packets lost coming in, 1.2 % going out, up to 3 a second": the direction
// that lost more, and the other when it lost enough to be worth a word.
std::string steadyWords(const SteadyLoss& e) {
    const auto percent = [](double share) { return formatFigure(share, 1) + " %"; };
    const bool inFirst = e.lostInPercent >= e.lostOutPercent;
    const double other = inFirst ? e.lostOutPercent : e.lostInPercent;
    std::string words = percent(std::max(e.lostInPercent, e.lostOutPercent)) + " of packets lost " +
                        (inFirst ? "coming in" : "going out");
    if (other >= kOtherDirectionShare * T::kSteadyLossPercent) {
        words += ", " + percent(other) + (inFirst ? " going out" : " coming in");
    }
    return words + ", up to " + formatFigure(e.worstLostPerSecond) + " a second";
}

std::string outageWords(const Outage& e) {
    const std::string out = formatFigure(e.mostPacketsOut);
    return packets(e.worstPacketsIn) + " a second came in and " +
           (out == "0" ? out : "no more than " + out) + " went out (usually " +
           formatFigure(e.typicalPacketsIn) + " and " + formatFigure(e.typicalPacketsOut) +
           "): both directions stopped";
}

// What the events of one kind that count say, pointing at the worst: "3 loss bursts,
// worst 0:30–0:35, 12 packets a second lost coming in".
std::string countingText(EventKind kind, const KindSummary& summary) {
    const std::string words = summary.worst ? worstWords(summary.worst->what) : std::string();
    const std::string seconds = formatSeconds(summary.countingSeconds);
    const std::string worst = summary.worst ? ", worst " + span(summary.worst->when) + ", " +
                                                  (words.empty() ? seconds : words)
                                            : std::string();
    switch (kind) {
        case EventKind::UnstablePing:
            return "unstable ping for " + seconds + worst;
        case EventKind::NothingIn:
            return "nothing came in for " + seconds + worst;
        case EventKind::Outage:
            return (summary.counting == 1 ? std::string("an outage")
                                          : std::to_string(summary.counting) + " outages") +
                   " (nothing in or out) for " + seconds + worst;
        case EventKind::SteadyLoss:
            return "steady loss for " + seconds + worst;
        case EventKind::BufferAboveTarget:
            return "input buffer above target for " + seconds + worst;
        case EventKind::Stutter:
            return "stutter for " + seconds + worst;
        default:
            return plural(summary.counting, namesOf(kind).one, namesOf(kind).many) + worst;
    }
}

// Why the events of one kind did not count: "4 small losses of 1–3 packets, under the
// kBurstLossPercent % limit". Empty when there were none (or none worth a word).
std::string minorText(EventKind kind, const KindSummary& summary) {
    const std::size_t n = summary.minor();
    if (n == 0) {
        return {};
    }
    const std::string sizes = range(summary.minorLow, summary.minorHigh);
    const std::string significant = formatSeconds(T::kSignificantSeconds);
    switch (kind) {
        case EventKind::LossBurst:
            return plural(n, "small loss", "small losses") + " of " + sizes +
                   (formatFigure(summary.minorHigh) == "1" ? " packet" : " packets") +
                   ", under the " + formatFigure(T::kBurstLossPercent) + " % limit";
        case EventKind::PingSpike:
            return plural(n, "short ping blip", "short ping blips") + " of " + sizes +
                   " ms above typical, under the limits (" + formatFigure(T::kFeltSpikeMs) +
                   " ms for " + significant + ", or " + formatFigure(T::kSevereSpikeMs) + " ms)";
        case EventKind::FpsDrop:
            return plural(n, "short FPS dip", "short FPS dips") + " down to " + sizes +
                   " FPS, under the limits (" + Tools::partOf(T::kFeltDropShare) +
                   " the usual FPS for " + significant + ", or below " + formatFigure(T::kLowFps) +
                   ")";
        case EventKind::NothingIn:
            return plural(n, "second", "seconds") + " with nothing coming in, under the " +
                   significant + " limit";
        case EventKind::Outage:
            return plural(n, "second", "seconds") + " with nothing in or out, under the " +
                   significant + " limit";
        case EventKind::ServerHiccup:
            return plural(n, "latency blip", "latency blips") + " of " + sizes + " s, under the " +
                   significant + " limit";
        case EventKind::UnstablePing:
            return plural(n, "short or mild stretch", "short or mild stretches") +
                   " of unstable ping (" + sizes + " s), under the limits (" +
                   formatSeconds(T::kUnstableFeltSeconds) + ", " +
                   formatFigure(T::kUnstableFeltChangeMs) + " ms a second)";
        default:
            return {};  // seconds without values or rows are noted apart
    }
}

// What one problem found says.
std::string findingText(const Finding& finding, const MatchEvents& events) {
    if (const auto* counting = std::get_if<CountingEvents>(&finding.evidence)) {
        return countingText(counting->kind, events.kinds[counting->kind]);
    }
    if (const auto* ping = std::get_if<HighPingThroughout>(&finding.evidence)) {
        return "ping high throughout (95 % of seconds up to " + formatFigure(ping->p95Ms) + " ms)";
    }
    if (const auto* latency = std::get_if<HighLatencyThroughout>(&finding.evidence)) {
        return "latency " + formatFigure(latency->latencyMedianMs) + " ms (median) while ping is " +
               formatFigure(latency->pingMedianMs) + " ms";
    }
    const auto& fps = std::get<LowFpsThroughout>(finding.evidence);
    return "low FPS throughout (median " + formatFigure(fps.fpsMedian) + ")";
}

// Why the seconds recorded are too few, or too little of them usable, to call the match
// good.
std::string thinText(const ThinEvidence& thin) {
    if (const auto* few = std::get_if<TooFewSeconds>(&thin)) {
        return "only " + plural(few->recorded, "second", "seconds") +
               " recorded (a verdict needs " + std::to_string(T::kEvidenceSeconds) + ")";
    }
    if (const auto* rows = std::get_if<TooFewRows>(&thin)) {
        return "only " + std::to_string(rows->rows) + " of the " + std::to_string(rows->spanned) +
               " seconds the match spans were recorded";
    }
    if (const auto* missing = std::get_if<StatisticsMissing>(&thin)) {
        std::string names;
        for (Statistic s : missing->statistics) {
            names += (names.empty() ? "" : ", ") + std::string(Format::statisticName(s));
        }
        return "no verdict without " + names + " (missing in more than " +
               Tools::shareWords(T::kEvidenceShare) + " of the seconds)";
    }
    const auto& loss = std::get<LossUnusable>(thin);
    return "no verdict on packet loss: more packets lost than counted in " +
           std::to_string(loss.inconsistentSeconds) + " of " +
           plural(loss.rows, "second", "seconds");
}

std::string goodText(const MatchEvents& events) {
    std::string text = std::string(causeName(Cause::Good)) + ": no problem found";
    for (std::size_t k = 0; k < kEventKindCount; ++k) {
        const auto kind = static_cast<EventKind>(k);
        if (const std::string minor = minorText(kind, events.kinds[kind]); !minor.empty()) {
            text += "; " + minor;
        }
    }
    return text;
}

}  // namespace

std::string verdictText(const Verdict& verdict, const MatchEvents& events) {
    if (verdict.cause == Cause::Good) {
        return goodText(events);
    }
    std::string text(causeName(verdict.cause));
    if (verdict.thin) {
        return text + ": " + thinText(*verdict.thin);
    }
    bool first = true;
    for (const Finding& finding : verdict.findings) {
        if (finding.cause == verdict.cause) {
            text += (first ? ": " : "; ") + findingText(finding, events);
            first = false;
        }
    }
    const std::vector<Cause> also = verdict.alsoCauses();
    for (std::size_t i = 0; i < also.size(); ++i) {
        text += (i == 0 ? " (also " : ", ") + std::string(causeName(also[i]));
    }
    return also.empty() ? text : text + ")";
}

std::string span(const Stretch& s) {
    return Tools::formatMatchTime(s.offset) + "\u2013" +
           Tools::formatMatchTime(s.offset + s.lengthSeconds);
}

std::string worstWords(const EventDetail& what) {
    if (const auto* e = std::get_if<LossBurst>(&what)) {
        return lossWords(*e);
    }
    if (const auto* e = std::get_if<PingSpike>(&what)) {
        return "up to " + formatFigure(e->worstMs) + " ms (typical " + formatFigure(e->typicalMs) +
               " ms)";
    }
    if (const auto* e = std::get_if<UnstablePing>(&what)) {
        return "ping swinging " + range(e->lowMs, e->highMs) + " ms, " +
               formatFigure(e->meanChangeMs) + " ms from one second to the next";
    }
    if (const auto* e = std::get_if<SteadyLoss>(&what)) {
        return steadyWords(*e);
    }
    if (const auto* e = std::get_if<NothingIn>(&what)) {
        return packets(e->worstPacketsIn) + " a second came in (usually " +
               formatFigure(e->typicalPacketsIn) + ") while " + formatFigure(e->packetsOut) +
               " went out";
    }
    if (const auto* e = std::get_if<Outage>(&what)) {
        return outageWords(*e);
    }
    if (const auto* e = std::get_if<ServerHiccup>(&what)) {
        return "latency up to " + formatFigure(e->worstLatencyMs) + " ms while ping was " +
               formatFigure(e->pingMs) + " ms";
    }
    if (const auto* e = std::get_if<FpsDrop>(&what)) {
        return "down to " + formatFigure(e->worstFps) + " FPS (typical " +
               formatFigure(e->typicalFps) + ")";
    }
    if (const auto* e = std::get_if<Stutter>(&what)) {
        return plural(e->drops, "short FPS drop", "short FPS drops") + ", " +
               formatFigure(e->dropsPerMinute, 1) + " a minute, down to " +
               formatFigure(e->worstFps) + " FPS (typical " + formatFigure(e->typicalFps) + ")";
    }
    if (const auto* e = std::get_if<BufferAboveTarget>(&what)) {
        return Tools::pluralFigure(e->worstBuffer, "frame", "frames") + " against a target of " +
               formatFigure(e->target);
    }
    return {};
}

}  // namespace Quorvel::Present
