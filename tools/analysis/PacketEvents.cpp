// The first pass: what the recording lacks (gaps, seconds without values) and what the
// packet counts say (loss bursts, steady loss, nothing coming in, outages); these
// explain others.

#include <algorithm>

#include "Detection.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

double lossShare(double lost, double packets) {
    return packets > 0 ? 100.0 * lost / packets : 0.0;
}

// A second's packets and lost packets each way, counting only usable counters.
struct SecondLoss {
    double lostIn = 0, packetsIn = 0, lostOut = 0, packetsOut = 0;

    explicit SecondLoss(const Second& s) {
        if (lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn)) {
            lostIn = s[Statistic::LostPacketsIn];
            packetsIn = s[Statistic::PacketsIn];
        }
        if (lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut)) {
            lostOut = s[Statistic::LostPacketsOut];
            packetsOut = s[Statistic::PacketsOut];
        }
    }
    bool lossy() const { return lostIn > 0 || lostOut > 0; }
};

void recordGap(Detection& d, std::size_t i) {
    const MatchRows& rows = d.match;
    const std::int64_t from = rows.offsets[i - 1] + 1;
    d.record(
        Event{{from, rows.seconds[i - 1].time + std::chrono::seconds{1}, rows.offsets[i] - from, 0},
              NotRecorded{}},
        {.first = i, .last = i - 1}, false);
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
    const SecondLoss loss(s);
    if (LossBurst* e = tracker.step(i, loss.lossy())) {
        e->worstLostInPerSecond = std::max(e->worstLostInPerSecond, loss.lostIn);
        e->worstLostOutPerSecond = std::max(e->worstLostOutPerSecond, loss.lostOut);
        e->worstSharePercent =
            std::max({e->worstSharePercent, lossShare(loss.lostIn, loss.packetsIn),
                      lossShare(loss.lostOut, loss.packetsOut)});
    }
}

// Each stretch of marked rows runs from a lossy second to a lossy second, leaving out
// at either end the seconds that lost nothing and the lone lossy ones (the next two
// seconds inside lost nothing): a window reaches back and forth beyond the loss.
void trimLoneEnds(std::vector<bool>& steady, const std::vector<Second>& seconds) {
    const std::size_t n = seconds.size();
    const auto lossy = [&](std::size_t i) { return i < n && SecondLoss(seconds[i]).lossy(); };
    for (std::size_t first = 0; first < n;) {
        if (!steady[first]) {
            ++first;
            continue;
        }
        std::size_t end = first;
        while (end < n && steady[end]) {
            ++end;
        }
        std::size_t from = first;
        while (from < end && !(lossy(from) && (lossy(from + 1) || lossy(from + 2)))) {
            steady[from++] = false;
        }
        for (std::size_t to = end;
             to > from && !(lossy(to - 1) && (lossy(to - 2) || lossy(to - 3))); --to) {
            steady[to - 1] = false;
        }
        first = end;
    }
}

// The rows in a window of kSteadyLossSeconds seconds in a row (no gap, no repeat) that
// lost kSteadyLossPercent of its packets one way or the other, with packets lost in
// kSteadyLossSecondsShare of its seconds.
std::vector<bool> steadyLossRows(const Detection& d) {
    const std::vector<Second>& seconds = d.match.seconds;
    const std::size_t n = seconds.size();
    const auto window = static_cast<std::size_t>(T::kSteadyLossSeconds);
    // Sums of the rows before each row: lost and packets each way, and lossy seconds.
    std::vector<std::array<double, 5>> before(n + 1, {0, 0, 0, 0, 0});
    for (std::size_t i = 0; i < n; ++i) {
        const SecondLoss loss(seconds[i]);
        const std::array<double, 5> row = {loss.lostIn, loss.packetsIn, loss.lostOut,
                                           loss.packetsOut, loss.lossy() ? 1.0 : 0.0};
        for (std::size_t k = 0; k < row.size(); ++k) {
            before[i + 1][k] = before[i][k] + row[k];
        }
    }
    std::vector<int> starts(n + 1, 0);  // windows opening at a row, less those closing
    for (std::size_t last = window - 1; last < n; ++last) {
        const std::size_t first = last + 1 - window;
        if (d.match.offsets[last] - d.match.offsets[first] !=
            static_cast<std::int64_t>(window - 1)) {
            continue;
        }
        std::array<double, 5> sum{};
        for (std::size_t k = 0; k < sum.size(); ++k) {
            sum[k] = before[last + 1][k] - before[first][k];
        }
        const double share = std::max(lossShare(sum[0], sum[1]), lossShare(sum[2], sum[3]));
        if (share >= T::kSteadyLossPercent &&
            sum[4] >= T::kSteadyLossSecondsShare * static_cast<double>(window)) {
            ++starts[first];
            --starts[last + 1];
        }
    }
    std::vector<bool> steady(n, false);
    for (int open = 0, i = 0; i < static_cast<int>(n); ++i) {
        open += starts[static_cast<std::size_t>(i)];
        steady[static_cast<std::size_t>(i)] = open > 0;
    }
    trimLoneEnds(steady, seconds);
    return steady;
}

// Steady loss over the marked rows: its shares are those of all its seconds together.
class SteadyLossFinder {
  public:
    explicit SteadyLossFinder(Detection& detection)
        : tracker(detection, T::kSteadyLossSeconds), rows(steadyLossRows(detection)) {}

    void step(std::size_t i, const Second& s) {
        SteadyLoss* e = tracker.step(i, rows[i]);
        if (e == nullptr) {
            return;
        }
        if (tracker.startedHere()) {
            sums = {};
        }
        const SecondLoss loss(s);
        sums.lostIn += loss.lostIn;
        sums.packetsIn += loss.packetsIn;
        sums.lostOut += loss.lostOut;
        sums.packetsOut += loss.packetsOut;
        e->lostInPercent = lossShare(sums.lostIn, sums.packetsIn);
        e->lostOutPercent = lossShare(sums.lostOut, sums.packetsOut);
        e->worstLostPerSecond = std::max({e->worstLostPerSecond, loss.lostIn, loss.lostOut});
        e->lossySeconds += loss.lossy() ? 1u : 0u;
    }
    void finish() { tracker.finish(); }

  private:
    RunTracker<SteadyLoss> tracker;
    std::vector<bool> rows;
    MatchSums sums;
};

// PacketsIn collapsing against the usual rate, whatever PacketsOut does; a stretch in
// which PacketsOut was down too in most of its seconds is an outage.
class StallFinder {
  public:
    explicit StallFinder(Detection& detection)
        : f(detection.figures), tracker(detection, 1, {}, [this](Event& e) { decide(e); }) {}

    void step(std::size_t i, const Second& s) {
        const bool stalled = s.has(Statistic::PacketsIn) && s.has(Statistic::PacketsOut) &&
                             s[Statistic::PacketsIn] <= T::kStallInShare * *f.usual.packetsIn;
        NothingIn* e = tracker.step(i, stalled);
        if (e == nullptr) {
            return;
        }
        const auto in = static_cast<double>(s[Statistic::PacketsIn]);
        const auto out = static_cast<double>(s[Statistic::PacketsOut]);
        const bool first = tracker.startedHere();
        e->worstPacketsIn = first ? in : std::min(e->worstPacketsIn, in);
        e->packetsOut = first ? out : std::min(e->packetsOut, out);
        e->typicalPacketsIn = *f.usual.packetsIn;
        mostOut = first ? out : std::max(mostOut, out);
        outStopped =
            (first ? 0 : outStopped) + (out <= T::kStallOutShare * *f.usual.packetsOut ? 1u : 0u);
    }
    void finish() { tracker.finish(); }

  private:
    void decide(Event& e) const {
        const auto& stall = std::get<NothingIn>(e.what);
        if (static_cast<double>(outStopped) >=
            T::kOutageSecondsShare * static_cast<double>(e.when.rows)) {
            e.what =
                Outage{stall.worstPacketsIn, stall.typicalPacketsIn, mostOut, *f.usual.packetsOut};
        }
    }

    const MatchFigures& f;
    RunTracker<NothingIn> tracker;
    double mostOut = 0;
    std::size_t outStopped = 0;
};

// Steady loss first, in a pass of its own: the loss bursts inside it are its own.
void findSteadyLoss(Detection& d) {
    SteadyLossFinder steadyLoss(d);
    for (std::size_t i = 0; i < d.match.seconds.size(); ++i) {
        steadyLoss.step(i, d.match.seconds[i]);
    }
    steadyLoss.finish();
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
    const bool stall = f.packetsInMin && f.usual.packetsIn && f.usual.packetsOut &&
                       *f.packetsInMin <= T::kStallInShare * *f.usual.packetsIn;
    if (static_cast<double>(f.lossySeconds) >= T::kSteadyLossSecondsShare * T::kSteadyLossSeconds) {
        findSteadyLoss(d);
    }
    if (!gaps && !missing && !loss && !stall) {
        return;
    }
    RunTracker<NoValue> noValues(d);
    RunTracker<LossBurst> losses(d);
    StallFinder stalls(d);
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
            stalls.step(i, seconds[i]);
        }
    }
    noValues.finish();
    losses.finish();
    stalls.finish();
}

}  // namespace Quorvel::Analysis
