// The first pass: what the recording lacks (gaps, seconds without values) and what the
// packet counts say (loss bursts, nothing coming in); these explain others.

#include <algorithm>

#include "Detection.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

double lossShare(double lost, double packets) {
    return packets > 0 ? 100.0 * lost / packets : 0.0;
}

void recordGap(Detection& d, std::size_t i) {
    const MatchRows& rows = d.match;
    const std::int64_t from = rows.offsets[i - 1] + 1;
    d.record(
        Event{{from, rows.seconds[i - 1].time + std::chrono::seconds{1}, rows.offsets[i] - from, 0},
              NotRecorded{}},
        i, i - 1, false);
}

void stepNoValue(RunTracker<NoValue>& tracker, std::size_t i, const Second& s) {
    const bool lacking = std::any_of(Format::kStatistics.begin(), Format::kStatistics.end(),
                                     [&s](Statistic statistic) { return !s.has(statistic); });
    if (NoValue* e = tracker.step(i, lacking)) {
        for (Statistic statistic : Format::kStatistics) {
            e->statistics[statistic] = e->statistics[statistic] || !s.has(statistic);
        }
    }
}

void stepLoss(RunTracker<LossBurst>& tracker, std::size_t i, const Second& s) {
    const bool inUsable = lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn);
    const bool outUsable = lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut);
    const double lostIn = inUsable ? s[Statistic::LostPacketsIn] : 0;
    const double lostOut = outUsable ? s[Statistic::LostPacketsOut] : 0;
    if (LossBurst* e = tracker.step(i, lostIn > 0 || lostOut > 0)) {
        e->worstLostInPerSecond = std::max(e->worstLostInPerSecond, lostIn);
        e->worstLostOutPerSecond = std::max(e->worstLostOutPerSecond, lostOut);
        const double shareIn = inUsable ? lossShare(lostIn, s[Statistic::PacketsIn]) : 0;
        const double shareOut = outUsable ? lossShare(lostOut, s[Statistic::PacketsOut]) : 0;
        e->worstSharePercent = std::max({e->worstSharePercent, shareIn, shareOut});
    }
}

// PacketsIn collapsing against the match's usual rate while PacketsOut goes on.
void stepNothingIn(RunTracker<NothingIn>& tracker, const MatchFigures& f, std::size_t i,
                   const Second& s) {
    const bool stalled = f.packetsInMedian && f.packetsOutMedian && *f.packetsInMedian > 0 &&
                         s.has(Statistic::PacketsIn) && s.has(Statistic::PacketsOut) &&
                         s[Statistic::PacketsIn] <= T::kStallInShare * *f.packetsInMedian &&
                         s[Statistic::PacketsOut] >= T::kStallOutShare * *f.packetsOutMedian;
    if (NothingIn* e = tracker.step(i, stalled)) {
        const auto in = static_cast<double>(s[Statistic::PacketsIn]);
        const auto out = static_cast<double>(s[Statistic::PacketsOut]);
        const bool first = tracker.startedHere();
        e->worstPacketsIn = first ? in : std::min(e->worstPacketsIn, in);
        e->packetsOut = first ? out : std::min(e->packetsOut, out);
        e->typicalPacketsIn = *f.packetsInMedian;
    }
}

}  // namespace

void findRecordingAndPacketEvents(Detection& d) {
    // What the figures say can be found at all: most matches have no gap, no missing
    // value and no stall, and their seconds need not be looked at for them.
    const MatchFigures& f = d.figures;
    const bool gaps = f.gaps > 0;
    const bool missing =
        std::any_of(f.missing.begin(), f.missing.end(), [](std::size_t n) { return n > 0; });
    const bool loss = f.sums.lostIn + f.sums.lostOut > 0;
    const bool stall = f.packetsInMin && f.packetsInMedian &&
                       *f.packetsInMin <= T::kStallInShare * *f.packetsInMedian;
    if (!gaps && !missing && !loss && !stall) {
        return;
    }
    RunTracker<NoValue> noValues(d);
    RunTracker<LossBurst> losses(d);
    RunTracker<NothingIn> stalls(d);
    const std::vector<Second>& seconds = d.match.seconds;
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        if (gaps && d.gapBefore(i)) {
            recordGap(d, i);
        }
        if (missing) {
            stepNoValue(noValues, i, seconds[i]);
        }
        if (loss) {
            stepLoss(losses, i, seconds[i]);
        }
        if (stall) {
            stepNothingIn(stalls, f, i, seconds[i]);
        }
    }
    noValues.finish();
    losses.finish();
    stalls.finish();
}

}  // namespace Quorvel::Analysis
