#include "VerdictTexts.h"

#include <cstdio>

#include "DisplayText.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

std::string count(std::size_t n, EventKind kind) {
    return std::to_string(n) + " " + std::string(eventKindName(kind, n != 1));
}

std::string plural(std::size_t n, const std::string& one, const std::string& many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "1–3", or "2" when both ends are one number.
std::string range(double low, double high) {
    return number(low) == number(high) ? number(low) : number(low) + "\u2013" + number(high);
}

std::string lossWords(const LossBurst& w) {
    if (w.worstLostInPerSecond > 0 && w.worstLostOutPerSecond > 0) {
        return number(w.worstLostInPerSecond) + " packets a second lost coming in, " +
               number(w.worstLostOutPerSecond) + " going out";
    }
    if (w.worstLostInPerSecond > 0) {
        return number(w.worstLostInPerSecond) + " packets a second lost coming in";
    }
    return number(w.worstLostOutPerSecond) + " packets a second lost going out";
}

// "3.1 % of packets lost coming in, 1.2 % going out, up to 3 a second": the direction
// that lost more, and the other when it lost half the steady-loss limit or more.
std::string steadyWords(const SteadyLoss& e) {
    const auto percent = [](double share) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f %%", share);
        return std::string(text);
    };
    const bool inFirst = e.lostInPercent >= e.lostOutPercent;
    const double other = inFirst ? e.lostOutPercent : e.lostInPercent;
    std::string words = percent(std::max(e.lostInPercent, e.lostOutPercent)) + " of packets lost " +
                        (inFirst ? "coming in" : "going out");
    if (other >= T::kSteadyLossPercent / 2) {
        words += ", " + percent(other) + (inFirst ? " going out" : " coming in");
    }
    return words + ", up to " + number(e.worstLostPerSecond) + " a second";
}

}  // namespace

std::string span(const Stretch& s) {
    return Tools::formatMatchTime(s.offset) + "\u2013" +
           Tools::formatMatchTime(s.offset + s.lengthSeconds);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

std::string worstWords(const EventDetail& what) {
    if (const auto* e = std::get_if<LossBurst>(&what)) {
        return lossWords(*e);
    }
    if (const auto* e = std::get_if<PingSpike>(&what)) {
        return "up to " + number(e->worstMs) + " ms (typical " + number(e->typicalMs) + " ms)";
    }
    if (const auto* e = std::get_if<UnstablePing>(&what)) {
        return "ping swinging " + range(e->lowMs, e->highMs) + " ms, " + number(e->meanChangeMs) +
               " ms from one second to the next";
    }
    if (const auto* e = std::get_if<SteadyLoss>(&what)) {
        return steadyWords(*e);
    }
    if (const auto* e = std::get_if<NothingIn>(&what)) {
        return number(e->worstPacketsIn) + " packets a second came in (usually " +
               number(e->typicalPacketsIn) + ") while " + number(e->packetsOut) + " went out";
    }
    if (const auto* e = std::get_if<Outage>(&what)) {
        return number(e->worstPacketsIn) + " packets a second came in and " +
               (number(e->mostPacketsOut) == "0" ? "0"
                                                 : "no more than " + number(e->mostPacketsOut)) +
               " went out (usually " + number(e->typicalPacketsIn) + " and " +
               number(e->typicalPacketsOut) + "): both directions stopped";
    }
    if (const auto* e = std::get_if<ServerHiccup>(&what)) {
        return "latency up to " + number(e->worstLatencyMs) + " ms while ping was " +
               number(e->pingMs) + " ms";
    }
    if (const auto* e = std::get_if<FpsDrop>(&what)) {
        return "down to " + number(e->worstFps) + " FPS (typical " + number(e->typicalFps) + ")";
    }
    if (const auto* e = std::get_if<Stutter>(&what)) {
        char rate[32];
        std::snprintf(rate, sizeof rate, "%.1f", e->dropsPerMinute);
        return std::to_string(e->drops) + " short FPS drops, " + rate + " a minute, down to " +
               number(e->worstFps) + " FPS (typical " + number(e->typicalFps) + ")";
    }
    if (const auto* e = std::get_if<BufferAboveTarget>(&what)) {
        return number(e->worstBuffer) + " frames against a target of " + number(e->target);
    }
    return {};
}

std::optional<std::string> countingText(EventKind kind, const KindSummary& summary) {
    if (summary.counting == 0 || !summary.worst) {
        return std::nullopt;
    }
    const std::string words = worstWords(summary.worst->what);
    const std::string worst =
        ", worst " + span(summary.worst->when) + ", " +
        (words.empty() ? std::to_string(summary.countingSeconds) + " s" : words);
    switch (kind) {
        case EventKind::UnstablePing:
            return "unstable ping for " + std::to_string(summary.countingSeconds) + " s" + worst;
        case EventKind::NothingIn:
            return "nothing came in for " + std::to_string(summary.countingSeconds) + " s" + worst;
        case EventKind::Outage:
            return (summary.counting == 1 ? std::string("an outage")
                                          : std::to_string(summary.counting) + " outages") +
                   " (nothing in or out) for " + std::to_string(summary.countingSeconds) + " s" +
                   worst;
        case EventKind::SteadyLoss:
            return "steady loss for " + std::to_string(summary.countingSeconds) + " s" + worst;
        case EventKind::BufferAboveTarget:
            return "input buffer above target for " + std::to_string(summary.countingSeconds) +
                   " s" + worst;
        case EventKind::Stutter:
            return "stutter for " + std::to_string(summary.countingSeconds) + " s" + worst;
        default:
            return count(summary.counting, kind) + worst;
    }
}

std::optional<std::string> minorText(EventKind kind, const KindSummary& summary) {
    const std::size_t n = summary.minor();
    if (n == 0) {
        return std::nullopt;
    }
    const std::string sizes = range(summary.minorLow, summary.minorHigh);
    switch (kind) {
        case EventKind::LossBurst:
            return plural(n, "small loss", "small losses") + " of " + sizes +
                   (number(summary.minorHigh) == "1" ? " packet" : " packets") + ", under the " +
                   number(T::kBurstLossPercent) + " % limit";
        case EventKind::PingSpike:
            return plural(n, "short ping blip", "short ping blips") + " of " + sizes +
                   " ms above typical, under the limits (" + number(T::kFeltSpikeMs) + " ms for " +
                   std::to_string(T::kSignificantSeconds) + " s, or " + number(T::kSevereSpikeMs) +
                   " ms)";
        case EventKind::FpsDrop:
            return plural(n, "short FPS dip", "short FPS dips") + " down to " + sizes +
                   " FPS, under the limits (half the usual FPS for " +
                   std::to_string(T::kSignificantSeconds) + " s, or below " + number(T::kLowFps) +
                   ")";
        case EventKind::NothingIn:
            return plural(n, "second", "seconds") + " with nothing coming in, under the " +
                   std::to_string(T::kSignificantSeconds) + " s limit";
        case EventKind::Outage:
            return plural(n, "second", "seconds") + " with nothing in or out, under the " +
                   std::to_string(T::kSignificantSeconds) + " s limit";
        case EventKind::ServerHiccup:
            return plural(n, "latency blip", "latency blips") + " of " + sizes + " s, under the " +
                   std::to_string(T::kSignificantSeconds) + " s limit";
        case EventKind::UnstablePing:
            return plural(n, "short or mild stretch", "short or mild stretches") +
                   " of unstable ping (" + sizes + " s), under the limits (" +
                   std::to_string(T::kUnstableFeltSeconds) + " s, " +
                   number(T::kUnstableFeltChangeMs) + " ms a second)";
        default:
            return std::nullopt;  // seconds without values or rows are noted apart
    }
}

std::optional<std::string> highPingText(const MatchFigures& f) {
    if (!f.ping || f.ping->p95 < T::kHighPingP95Ms) {
        return std::nullopt;
    }
    return "ping high throughout (95 % of seconds up to " + number(f.ping->p95) + " ms)";
}

std::optional<std::string> highLatencyText(const MatchFigures& f) {
    const bool highPing = f.ping && f.ping->p95 >= T::kHighPingP95Ms;
    if (!f.latency || !f.ping || highPing || f.latency->median < T::kHighLatencyMedianMs ||
        f.latency->median - f.ping->median < T::kHiccupExcessMs) {
        return std::nullopt;
    }
    return "latency " + number(f.latency->median) + " ms (median) while ping is " +
           number(f.ping->median) + " ms";
}

std::optional<std::string> lowFpsText(const MatchFigures& f) {
    if (!f.fps || f.fps->median >= T::kLowFps) {
        return std::nullopt;
    }
    return "low FPS throughout (median " + number(f.fps->median) + ")";
}

}  // namespace Quorvel::Analysis
