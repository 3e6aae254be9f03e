#include "MatchEvents.h"

#include <algorithm>

#include "Detection.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace T = Thresholds;

std::size_t MatchEvents::total() const {
    std::size_t sum = 0;
    for (const KindSummary& kind : kinds) {
        sum += kind.count;
    }
    return sum;
}

std::size_t MatchEvents::counting() const {
    std::size_t sum = 0;
    for (const KindSummary& kind : kinds) {
        sum += kind.counting;
    }
    return sum;
}

Figure pingSpikeThreshold(const MatchFigures& figures) {
    if (!figures.ping || !figures.usual.pingMs) {
        return std::nullopt;
    }
    const double margin =
        std::clamp(T::kSpikeSigmas * figures.ping->sigma, T::kSpikeFloorMs, T::kSpikeCeilingMs);
    return *figures.usual.pingMs + margin;
}

Figure fpsDropThreshold(const MatchFigures& figures) {
    if (!figures.fps || !figures.usual.fps) {
        return std::nullopt;
    }
    const double usual = *figures.usual.fps;
    return usual - std::max(T::kDropSigmas * figures.fps->sigma, T::kDropFloorShare * usual);
}

MatchEvents findEvents(const MatchRows& match, const MatchFigures& figures) {
    MatchEvents result;
    Detection detection(match, figures, result);
    findRecordingAndPacketEvents(detection);
    findPingAndLatencyEvents(detection);
    findFrameEvents(detection);
    detection.finish();
    return result;
}

}  // namespace Quorvel::Analysis
