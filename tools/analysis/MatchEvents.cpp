#include "MatchEvents.h"

#include <algorithm>
#include <optional>

#include "MatchTime.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

// Follows runs of qualifying seconds of one kind; a gap in the recording ends a run.
template <typename Detail>
class RunTracker {
  public:
    RunTracker(const MatchRows& match, MatchEvents& out, std::int64_t minimumSeconds = 1)
        : rows(match), events(out), minimumLength(minimumSeconds) {}

    // Row i qualifies (or not); the open event's detail, for the caller to update.
    Detail* step(std::size_t i, bool qualifies) {
        const bool continues =
            open && lastRow + 1 == i && !Matches::isGap(rows.seconds[i - 1], rows.seconds[i]);
        if (open && (!qualifies || !continues)) {
            close();
        }
        if (!qualifies) {
            return nullptr;
        }
        if (!open) {
            open = true;
            current = Event{{rows.offsets[i], rows.seconds[i].time, 0, 0}, Detail{}};
        }
        lastRow = i;
        ++current.when.rows;
        current.when.lengthSeconds = rows.offsets[i] - current.when.offset + 1;
        return &std::get<Detail>(current.what);
    }

    void finish() {
        if (open) {
            close();
        }
    }

    // The open run began at the second just stepped.
    bool startedHere() const { return current.when.rows == 1; }

  private:
    void close() {
        open = false;
        if (current.when.lengthSeconds < minimumLength) {
            return;
        }
        const EventKind kind = kindOf<Detail>();
        if (++events.counts[kind] <= T::kEventsKeptPerKind) {
            events.events.push_back(current);
        }
    }

    const MatchRows& rows;
    MatchEvents& events;
    std::int64_t minimumLength;
    bool open = false;
    std::size_t lastRow = 0;
    Event current;
};

double lossShare(double lost, double packets) {
    return packets > 0 ? 100.0 * lost / packets : 0.0;
}

// Whether an event counts in the verdict (Thresholds); `matchLossPercent` is the
// match's loss overall, in or out, whichever is higher.
bool countsInVerdict(const Event& e, double matchLossPercent) {
    const std::int64_t length = e.when.lengthSeconds;
    if (const auto* spike = std::get_if<PingSpike>(&e.what)) {
        const double above = spike->worstMs - spike->typicalMs;
        return (length >= T::kSignificantSeconds && above >= T::kFeltSpikeMs) ||
               above >= T::kSevereSpikeMs;
    }
    if (const auto* burst = std::get_if<LossBurst>(&e.what)) {
        return burst->worstSharePercent >= T::kBurstLossPercent ||
               matchLossPercent >= T::kMatchLossPercent;
    }
    if (const auto* drop = std::get_if<FpsDrop>(&e.what)) {
        return (length >= T::kSignificantSeconds &&
                drop->worstFps <= T::kFeltDropShare * drop->typicalFps) ||
               drop->worstFps < T::kLowFps;
    }
    return e.kind() == EventKind::BufferAboveTarget;
}

// The detectors of every kind, fed one second after another.
class EventFinder {
  public:
    EventFinder(const MatchRows& match, const MatchFigures& figures, MatchEvents& out)
        : rows(match),
          f(figures),
          events(out),
          spikeLine(pingSpikeThreshold(figures)),
          dropLine(fpsDropThreshold(figures)),
          spikes(match, out),
          losses(match, out),
          drops(match, out),
          buffers(match, out, T::kBufferRunSeconds),
          noValues(match, out) {}

    void step(std::size_t i) {
        const Second& s = rows.seconds[i];
        if (i > 0 && Matches::isGap(rows.seconds[i - 1], s)) {
            addGap(i);
        }
        stepSpike(i, s);
        stepLoss(i, s);
        stepDrop(i, s);
        stepBuffer(i, s);
        stepNoValue(i, s);
    }

    void finish() {
        spikes.finish();
        losses.finish();
        drops.finish();
        buffers.finish();
        noValues.finish();
    }

  private:
    void addGap(std::size_t i) {
        const std::int64_t from = rows.offsets[i - 1] + 1;
        if (++events.counts[EventKind::NotRecorded] <= T::kEventsKeptPerKind) {
            events.events.push_back(Event{{from, rows.seconds[i - 1].time + std::chrono::seconds{1},
                                           rows.offsets[i] - from, 0},
                                          NotRecorded{}});
        }
    }

    void stepSpike(std::size_t i, const Second& s) {
        const bool spike = spikeLine && s.has(Statistic::Ping) && s[Statistic::Ping] > *spikeLine;
        if (PingSpike* e = spikes.step(i, spike)) {
            e->typicalMs = f.ping->median;
            e->worstMs = std::max(e->worstMs, static_cast<double>(s[Statistic::Ping]));
        }
    }

    void stepLoss(std::size_t i, const Second& s) {
        const bool inUsable = lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn);
        const bool outUsable = lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut);
        const double lostIn = inUsable ? s[Statistic::LostPacketsIn] : 0;
        const double lostOut = outUsable ? s[Statistic::LostPacketsOut] : 0;
        if (LossBurst* e = losses.step(i, lostIn > 0 || lostOut > 0)) {
            e->worstLostInPerSecond = std::max(e->worstLostInPerSecond, lostIn);
            e->worstLostOutPerSecond = std::max(e->worstLostOutPerSecond, lostOut);
            const double shareIn = inUsable ? lossShare(lostIn, s[Statistic::PacketsIn]) : 0;
            const double shareOut = outUsable ? lossShare(lostOut, s[Statistic::PacketsOut]) : 0;
            e->worstSharePercent = std::max({e->worstSharePercent, shareIn, shareOut});
        }
    }

    void stepDrop(std::size_t i, const Second& s) {
        const bool drop = dropLine && s.has(Statistic::FPS) && s[Statistic::FPS] < *dropLine;
        if (FpsDrop* e = drops.step(i, drop)) {
            const auto value = static_cast<double>(s[Statistic::FPS]);
            e->worstFps = drops.startedHere() ? value : std::min(e->worstFps, value);
            e->typicalFps = f.fps->median;
        }
    }

    void stepBuffer(std::size_t i, const Second& s) {
        const bool above =
            s.has(Statistic::Buffer) && s.has(Statistic::BufferTarget) &&
            static_cast<std::int64_t>(s[Statistic::Buffer]) - s[Statistic::BufferTarget] >=
                T::kBufferExcessFrames;
        if (BufferAboveTarget* e = buffers.step(i, above)) {
            e->worstBuffer = std::max(e->worstBuffer, static_cast<double>(s[Statistic::Buffer]));
            e->target = s[Statistic::BufferTarget];
        }
    }

    void stepNoValue(std::size_t i, const Second& s) {
        const bool lacking = std::any_of(Format::kStatistics.begin(), Format::kStatistics.end(),
                                         [&s](Statistic statistic) { return !s.has(statistic); });
        if (NoValue* e = noValues.step(i, lacking)) {
            for (Statistic statistic : Format::kStatistics) {
                e->statistics[statistic] = e->statistics[statistic] || !s.has(statistic);
            }
        }
    }

    const MatchRows& rows;
    const MatchFigures& f;
    MatchEvents& events;
    Figure spikeLine;
    Figure dropLine;
    RunTracker<PingSpike> spikes;
    RunTracker<LossBurst> losses;
    RunTracker<FpsDrop> drops;
    RunTracker<BufferAboveTarget> buffers;
    RunTracker<NoValue> noValues;
};

}  // namespace

std::size_t MatchEvents::total() const {
    std::size_t sum = 0;
    for (std::size_t n : counts) {
        sum += n;
    }
    return sum;
}

Figure pingSpikeThreshold(const MatchFigures& figures) {
    if (!figures.ping) {
        return std::nullopt;
    }
    return figures.ping->median + std::max(T::kSpikeSigmas * figures.ping->sigma, T::kSpikeFloorMs);
}

Figure fpsDropThreshold(const MatchFigures& figures) {
    if (!figures.fps) {
        return std::nullopt;
    }
    const double median = figures.fps->median;
    return median - std::max(T::kDropSigmas * figures.fps->sigma, T::kDropFloorShare * median);
}

MatchEvents findEvents(const MatchRows& match, const MatchFigures& figures) {
    MatchEvents result;
    EventFinder finder(match, figures, result);
    for (std::size_t i = 0; i < match.seconds.size(); ++i) {
        finder.step(i);
    }
    finder.finish();
    const double matchLoss =
        std::max(figures.lossInPercent().value_or(0), figures.lossOutPercent().value_or(0));
    for (Event& e : result.events) {
        e.significant = countsInVerdict(e, matchLoss);
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const Event& a, const Event& b) { return a.when.offset < b.when.offset; });
    return result;
}

}  // namespace Quorvel::Analysis
