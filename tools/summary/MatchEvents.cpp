#include "MatchEvents.h"

#include <algorithm>
#include <optional>

#include "Thresholds.h"

namespace Quorvel::Summary {

namespace {

namespace T = Thresholds;

// Follows runs of qualifying seconds; a gap in the recording ends a run.
class RunTracker {
  public:
    RunTracker(EventKind kind, const MatchRows& match, const std::vector<std::int64_t>& times,
               MatchEvents& out)
        : kindOfRun(kind), seconds(match.seconds), matchTime(times), events(out) {}

    // Row i qualifies (or not); returns the open event so the caller can update it.
    Event* step(std::size_t i, bool qualifies) {
        const bool continues = open && lastRow + 1 == i && !gapBefore(i);
        if (open && (!qualifies || !continues)) {
            close();
        }
        if (!qualifies) {
            return nullptr;
        }
        if (!open) {
            open = true;
            current = Event{};
            current.kind = kindOfRun;
            current.offset = matchTime[i];
            current.clock = seconds[i].time;
        }
        lastRow = i;
        ++current.rows;
        current.lengthSeconds = matchTime[i] - current.offset + 1;
        return &current;
    }

    void finish() {
        if (open) {
            close();
        }
    }

    // Set by the caller before the first step: a run must be this long.
    std::int64_t minimumLength = 1;

  private:
    bool gapBefore(std::size_t i) const { return seconds[i].time - seconds[i - 1].time > T::kGap; }

    void close() {
        open = false;
        if (current.lengthSeconds < minimumLength) {
            return;
        }
        ++events.counts[static_cast<std::size_t>(kindOfRun)];
        if (events.count(kindOfRun) <= T::kEventsKeptPerKind) {
            events.events.push_back(current);
        }
    }

    EventKind kindOfRun;
    const std::vector<Second>& seconds;
    const std::vector<std::int64_t>& matchTime;
    MatchEvents& events;
    bool open = false;
    std::size_t lastRow = 0;
    Event current;
};

// Whether an event counts in the verdict (Thresholds); `matchLossPercent` is the
// match's loss overall, in or out, whichever is higher.
bool countsInVerdict(const Event& e, double matchLossPercent) {
    switch (e.kind) {
        case EventKind::PingSpike: {
            const double above = e.worst - e.typical;
            return (e.lengthSeconds >= T::kSignificantSeconds && above >= T::kFeltSpikeMs) ||
                   above >= T::kSevereSpikeMs;
        }
        case EventKind::LossBurst:
            return e.worstSharePercent >= T::kBurstLossPercent ||
                   matchLossPercent >= T::kMatchLossPercent;
        case EventKind::FpsDrop:
            return (e.lengthSeconds >= T::kSignificantSeconds &&
                    e.worst <= T::kFeltDropShare * e.typical) ||
                   e.worst < T::kLowFps;
        case EventKind::BufferAboveTarget:
            return true;
        case EventKind::NoValue:
        case EventKind::NotRecorded:
            return false;
    }
    return false;
}

double lossShare(double lost, double packets) {
    return packets > 0 ? 100.0 * lost / packets : 0.0;
}

}  // namespace

std::string_view eventKindName(EventKind kind, bool plural) {
    switch (kind) {
        case EventKind::PingSpike:
            return plural ? "ping spikes" : "ping spike";
        case EventKind::LossBurst:
            return plural ? "loss bursts" : "loss burst";
        case EventKind::FpsDrop:
            return plural ? "FPS drops" : "FPS drop";
        case EventKind::BufferAboveTarget:
            return "input buffer above target";
        case EventKind::NoValue:
            return plural ? "stretches without values" : "stretch without values";
        case EventKind::NotRecorded:
            return plural ? "gaps in the recording" : "gap in the recording";
    }
    return "event";
}

std::string_view eventKindKey(EventKind kind) {
    constexpr std::array<std::string_view, kEventKindCount> kKeys = {
        "pingSpike", "lossBurst", "fpsDrop", "bufferAboveTarget", "noValue", "notRecorded"};
    return kKeys[static_cast<std::size_t>(kind)];
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

MatchEvents findEvents(const MatchRows& match, const std::vector<std::int64_t>& times,
                       const MatchFigures& figures) {
    MatchEvents result;
    const std::vector<Second>& seconds = match.seconds;
    const Figure spikeLine = pingSpikeThreshold(figures);
    const Figure dropLine = fpsDropThreshold(figures);

    RunTracker spikes(EventKind::PingSpike, match, times, result);
    RunTracker losses(EventKind::LossBurst, match, times, result);
    RunTracker drops(EventKind::FpsDrop, match, times, result);
    RunTracker buffers(EventKind::BufferAboveTarget, match, times, result);
    buffers.minimumLength = T::kBufferRunSeconds;
    RunTracker noValues(EventKind::NoValue, match, times, result);

    for (std::size_t i = 0; i < seconds.size(); ++i) {
        const Second& s = seconds[i];
        if (i > 0 && s.time - seconds[i - 1].time > T::kGap) {
            if (result.count(EventKind::NotRecorded) < T::kEventsKeptPerKind) {
                Event gap;
                gap.kind = EventKind::NotRecorded;
                gap.offset = times[i - 1] + 1;
                gap.clock = seconds[i - 1].time + std::chrono::seconds{1};
                gap.lengthSeconds = times[i] - times[i - 1] - 1;
                result.events.push_back(gap);
            }
            ++result.counts[static_cast<std::size_t>(EventKind::NotRecorded)];
        }

        const bool spike = spikeLine && s.has(Statistic::Ping) && s[Statistic::Ping] > *spikeLine;
        if (Event* e = spikes.step(i, spike)) {
            e->typical = figures.ping->median;
            e->worst = std::max(e->worst, static_cast<double>(s[Statistic::Ping]));
        }

        const bool inUsable = lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn);
        const bool outUsable = lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut);
        const double lostIn = inUsable ? s[Statistic::LostPacketsIn] : 0;
        const double lostOut = outUsable ? s[Statistic::LostPacketsOut] : 0;
        if (Event* e = losses.step(i, lostIn > 0 || lostOut > 0)) {
            e->worstIn = std::max(e->worstIn, lostIn);
            e->worstOut = std::max(e->worstOut, lostOut);
            e->worst = std::max(e->worstIn, e->worstOut);
            const double shareIn = inUsable ? lossShare(lostIn, s[Statistic::PacketsIn]) : 0;
            const double shareOut = outUsable ? lossShare(lostOut, s[Statistic::PacketsOut]) : 0;
            e->worstSharePercent = std::max({e->worstSharePercent, shareIn, shareOut});
        }

        const bool drop = dropLine && s.has(Statistic::FPS) && s[Statistic::FPS] < *dropLine;
        if (Event* e = drops.step(i, drop)) {
            const auto value = static_cast<double>(s[Statistic::FPS]);
            e->worst = e->rows == 1 ? value : std::min(e->worst, value);
            e->typical = figures.fps->median;
        }

        const bool above =
            s.has(Statistic::Buffer) && s.has(Statistic::BufferTarget) &&
            static_cast<std::int64_t>(s[Statistic::Buffer]) - s[Statistic::BufferTarget] >=
                T::kBufferExcessFrames;
        if (Event* e = buffers.step(i, above)) {
            e->worst = std::max(e->worst, static_cast<double>(s[Statistic::Buffer]));
            e->typical = s[Statistic::BufferTarget];
        }

        std::uint32_t lacking = 0;
        for (std::size_t k = 0; k < kStatisticCount; ++k) {
            lacking |= s.values[k] == Format::kNoValue ? 1u << k : 0u;
        }
        if (Event* e = noValues.step(i, lacking != 0)) {
            e->statistics |= lacking;
        }
    }
    for (RunTracker* tracker : {&spikes, &losses, &drops, &buffers, &noValues}) {
        tracker->finish();
    }
    const double matchLoss =
        std::max(figures.lossInPercent.value_or(0), figures.lossOutPercent.value_or(0));
    for (Event& e : result.events) {
        e.significant = countsInVerdict(e, matchLoss);
    }
    std::stable_sort(result.events.begin(), result.events.end(),
                     [](const Event& a, const Event& b) { return a.offset < b.offset; });
    return result;
}

}  // namespace Quorvel::Summary
