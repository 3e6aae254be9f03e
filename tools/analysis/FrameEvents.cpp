// The last pass: the computer's side (FPS drops, stutter, the input buffer), after the
// loss bursts, stalls and spikes that can explain them are known.

#include <algorithm>

#include "Detection.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

// Short FPS drops close together, gathered into stretches of stutter.
class StutterFinder {
  public:
    explicit StutterFinder(Detection& detection) : d(detection) {}

    // A drop over rows first..last has ended.
    void addDrop(const Event& drop, std::size_t first, std::size_t last) {
        if (drop.when.lengthSeconds > T::kStutterDropSeconds) {
            return;
        }
        if (!drops.empty() &&
            drop.when.offset - lastEnd > static_cast<std::int64_t>(T::kStutterGapSeconds)) {
            finish();
        }
        if (drops.empty()) {
            stretch = Event{drop.when, Stutter{}};
            detail() = Stutter{0, 0, std::get<FpsDrop>(drop.what).worstFps, 0};
        }
        const auto& fps = std::get<FpsDrop>(drop.what);
        ++detail().drops;
        detail().worstFps = std::min(detail().worstFps, fps.worstFps);
        detail().typicalFps = fps.typicalFps;
        lastEnd = drop.when.offset + drop.when.lengthSeconds;
        lastRow = last;
        for (std::size_t i = first; i <= last; ++i) {
            drops.push_back(i);
        }
    }

    void finish() {
        if (detail().drops >= static_cast<std::size_t>(T::kStutterDrops)) {
            stretch.when.lengthSeconds = lastEnd - stretch.when.offset;
            stretch.when.rows = drops.size();
            detail().dropsPerMinute = 60.0 * static_cast<double>(detail().drops) /
                                      static_cast<double>(stretch.when.lengthSeconds);
            // Most of its drops during a loss burst, stall or spike: theirs.
            const bool explained =
                d.coveredShare(drops, explainingCovers(EventKind::Stutter)) >= T::kExplainedShare;
            d.record(stretch, {drops.front(), lastRow}, explained);
        }
        drops.clear();
        stretch = Event{};
        stretch.what = Stutter{};
    }

  private:
    Stutter& detail() { return std::get<Stutter>(stretch.what); }

    Detection& d;
    Event stretch{{}, Stutter{}};
    std::vector<std::size_t> drops;  // the rows of its drops
    std::int64_t lastEnd = 0;
    std::size_t lastRow = 0;
};

void stepBuffer(RunTracker<BufferAboveTarget>& tracker, std::size_t i, const Second& s) {
    const bool above =
        s.has(Statistic::Buffer) && s.has(Statistic::BufferTarget) &&
        static_cast<std::int64_t>(s[Statistic::Buffer]) - s[Statistic::BufferTarget] >=
            T::kBufferExcessFrames;
    if (BufferAboveTarget* e = tracker.step(i, above)) {
        e->worstBuffer = std::max(e->worstBuffer, static_cast<double>(s[Statistic::Buffer]));
        e->target = s[Statistic::BufferTarget];
    }
}

void stepDrop(RunTracker<FpsDrop>& tracker, const Detection& d, Figure line, std::size_t i) {
    const Second& s = d.match.seconds[i];
    const bool drop = line && s.has(Statistic::FPS) && s[Statistic::FPS] < *line;
    if (FpsDrop* e = tracker.step(i, drop)) {
        const auto fps = static_cast<double>(s[Statistic::FPS]);
        e->worstFps = tracker.startedHere() ? fps : std::min(e->worstFps, fps);
        e->typicalFps = *d.figures.usual.fps;
        e->feltSeconds += fps <= T::kFeltDropShare * e->typicalFps ? 1 : 0;
    }
}

}  // namespace

void findFrameEvents(Detection& d) {
    StutterFinder stutters(d);
    RunTracker<FpsDrop> drops(d, 1,
                              [&stutters](const Event& drop, std::size_t first, std::size_t last) {
                                  stutters.addDrop(drop, first, last);
                              });
    RunTracker<BufferAboveTarget> buffers(d, T::kBufferRunSeconds);
    // What the figures say can be found at all (see findRecordingAndPacketEvents).
    const Figure dropLine = fpsDropThreshold(d.figures);
    const bool dropsPossible = dropLine && d.figures.fps->min < *dropLine;
    const bool fullPossible =
        d.figures.bufferAboveTargetMax && *d.figures.bufferAboveTargetMax >= T::kBufferExcessFrames;
    for (std::size_t i = 0; (dropsPossible || fullPossible) && i < d.match.seconds.size(); ++i) {
        if (dropsPossible) {
            stepDrop(drops, d, dropLine, i);
        }
        if (fullPossible) {
            stepBuffer(buffers, i, d.match.seconds[i]);
        }
    }
    drops.finish();
    stutters.finish();
    buffers.finish();
}

}  // namespace Quorvel::Analysis
