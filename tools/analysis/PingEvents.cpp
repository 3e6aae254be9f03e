// The second pass: Ping and Latency (spikes, unstable stretches, server hiccups), after
// the stalls that can explain a spike are known.

#include <algorithm>
#include <cmath>

#include "Detection.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

// How much Ping changed since the row before, when both have one and no gap is between.
std::optional<double> pingChange(const Detection& d, std::size_t i) {
    const std::vector<Second>& seconds = d.match.seconds;
    if (i == 0 || d.gapBefore(i) || !seconds[i].has(Statistic::Ping) ||
        !seconds[i - 1].has(Statistic::Ping)) {
        return std::nullopt;
    }
    return std::abs(static_cast<double>(seconds[i][Statistic::Ping]) -
                    seconds[i - 1][Statistic::Ping]);
}

// Whether each row is in an unstable stretch: it enters when kUnstableJumps of the
// kUnstableWindowSeconds rows around it jumped (Ping's median change is a jump), and
// stays until kUnstableStayJumps or fewer do, so a stretch of swinging ping is one
// stretch, and lone blips (two jumps each) are none. Found, a stretch reaches back the
// same way, to the first jump after the seconds where hardly any did.
std::vector<bool> unstableRows(const Detection& d) {
    const std::size_t n = d.match.seconds.size();
    std::vector<int> jumps(n + 1, 0);  // jumps[i]: rows before i that jumped
    for (std::size_t i = 0; i < n; ++i) {
        const auto change = pingChange(d, i);
        jumps[i + 1] = jumps[i] + (change && *change >= T::kJumpMs ? 1 : 0);
    }
    const auto half = static_cast<std::size_t>(T::kUnstableWindowSeconds / 2);
    const auto around = [&](std::size_t i) {
        const std::size_t from = i >= half - 1 ? i - (half - 1) : 0;
        return jumps[std::min(n, i + half + 1)] - jumps[from];
    };
    std::vector<bool> unstable(n, false);
    bool inside = false;
    for (std::size_t i = 0; i < n; ++i) {
        const bool entering = !inside && around(i) >= T::kUnstableJumps;
        inside = inside ? around(i) > T::kUnstableStayJumps : entering;
        unstable[i] = inside;
        if (!entering) {
            continue;
        }
        std::size_t first = i;
        while (first > 0 && !unstable[first - 1] && around(first - 1) > T::kUnstableStayJumps) {
            --first;
        }
        while (first < i && jumps[first + 1] == jumps[first]) {
            ++first;  // from its first jump
        }
        for (std::size_t k = first; k < i; ++k) {
            unstable[k] = true;
        }
    }
    return unstable;
}

void stepUnstable(RunTracker<UnstablePing>& tracker, const Detection& d, std::size_t i,
                  bool unstable, double& changeSum) {
    const Second& s = d.match.seconds[i];
    UnstablePing* e = tracker.step(i, unstable && s.has(Statistic::Ping));
    if (e == nullptr) {
        return;
    }
    const auto ping = static_cast<double>(s[Statistic::Ping]);
    const bool first = tracker.startedHere();
    changeSum = first ? 0 : changeSum;
    const double change = first ? 0 : pingChange(d, i).value_or(0);
    changeSum += change;
    e->worstChangeMs = std::max(first ? 0 : e->worstChangeMs, change);
    e->lowMs = first ? ping : std::min(e->lowMs, ping);
    e->highMs = first ? ping : std::max(e->highMs, ping);
    e->meanChangeMs = changeSum / std::max(1.0, static_cast<double>(tracker.rows()) - 1);
}

void stepSpike(RunTracker<PingSpike>& tracker, const Detection& d, Figure line, std::size_t i) {
    const Second& s = d.match.seconds[i];
    const bool spike = line && s.has(Statistic::Ping) && s[Statistic::Ping] > *line;
    if (PingSpike* e = tracker.step(i, spike)) {
        const auto ping = static_cast<double>(s[Statistic::Ping]);
        e->typicalMs = *d.figures.usual.pingMs;
        e->worstMs = std::max(e->worstMs, ping);
        e->feltSeconds += ping >= e->typicalMs + T::kFeltSpikeMs ? 1 : 0;
    }
}

// Latency far above Ping, beyond the match's usual difference between them.
void stepHiccup(RunTracker<ServerHiccup>& tracker, const Detection& d, std::size_t i) {
    const Second& s = d.match.seconds[i];
    const Figure usual = d.figures.usual.latencyAbovePingMs;
    const bool late = usual && s.has(Statistic::Latency) && s.has(Statistic::Ping) &&
                      s[Statistic::Latency] - s[Statistic::Ping] >= *usual + T::kHiccupExcessMs;
    if (ServerHiccup* e = tracker.step(i, late)) {
        const auto latency = static_cast<double>(s[Statistic::Latency]);
        if (tracker.startedHere() || latency > e->worstLatencyMs) {
            e->worstLatencyMs = latency;
            e->pingMs = s[Statistic::Ping];
        }
        e->typicalLatencyMs = d.figures.latency->median;
    }
}

}  // namespace

void findPingAndLatencyEvents(Detection& d) {
    // What the figures say can be found at all (see findRecordingAndPacketEvents).
    const MatchFigures& f = d.figures;
    const Figure spikeLine = pingSpikeThreshold(f);
    const bool spikesPossible = spikeLine && f.ping->max > *spikeLine;
    const bool swingsPossible = f.pingJumps >= static_cast<std::size_t>(T::kUnstableJumps);
    const Figure usualExcess = f.usual.latencyAbovePingMs;
    const bool hiccupsPossible = usualExcess && f.latencyAbovePingMax &&
                                 *f.latencyAbovePingMax >= *usualExcess + T::kHiccupExcessMs;
    if (!spikesPossible && !swingsPossible && !hiccupsPossible) {
        return;
    }
    // Unstable ping first: the spikes inside it are its swings.
    if (swingsPossible) {
        RunTracker<UnstablePing> swings(d);
        const std::vector<bool> unstable = unstableRows(d);
        double changeSum = 0;
        for (std::size_t i = 0; i < d.match.seconds.size(); ++i) {
            stepUnstable(swings, d, i, unstable[i], changeSum);
        }
        swings.finish();
    }
    RunTracker<PingSpike> spikes(d);
    RunTracker<ServerHiccup> hiccups(d);
    for (std::size_t i = 0; (spikesPossible || hiccupsPossible) && i < d.match.seconds.size();
         ++i) {
        if (spikesPossible) {
            stepSpike(spikes, d, spikeLine, i);
        }
        if (hiccupsPossible) {
            stepHiccup(hiccups, d, i);
        }
    }
    spikes.finish();
    hiccups.finish();
}

}  // namespace Quorvel::Analysis
