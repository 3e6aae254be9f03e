#include "MatchFigures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "MatchTime.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

Figure percentOf(double part, double whole, bool any) {
    if (!any) {
        return std::nullopt;
    }
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

Figure meanOf(double sum, std::size_t count) {
    return count > 0 ? Figure(sum / static_cast<double>(count)) : std::nullopt;
}

// Gathers a match's figures second by second.
class FigureBuilder {
  public:
    explicit FigureBuilder(std::size_t rows) {
        for (auto* values : {&ping, &latency, &fps, &latencyAbovePing, &packetsIn, &packetsOut}) {
            values->reserve(rows);
        }
    }

    void addStep(const Second& previous, const Second& s, MatchFigures& f) {
        const auto step = s.time - previous.time;
        if (step < std::chrono::seconds{0}) {
            ++f.clockStepsBack;
        } else if (step == std::chrono::seconds{0}) {
            ++f.repeatedSeconds;
        } else if (Matches::isGap(previous, s)) {
            ++f.gaps;
            f.gapSeconds += step.count() - 1;
        } else if (s.has(Statistic::Ping) && previous.has(Statistic::Ping)) {
            const double change = std::abs(static_cast<double>(s[Statistic::Ping]) -
                                           static_cast<double>(previous[Statistic::Ping]));
            f.sums.jitterSum += change;
            ++f.sums.jitterPairs;
            f.pingJumps += change >= Thresholds::kJumpMs ? 1u : 0u;
        }
    }

    void addSecond(const Second& s, MatchFigures& f) {
        for (Statistic statistic : Format::kStatistics) {
            f.missing[statistic] += s.has(statistic) ? 0u : 1u;
        }
        collect(s, Statistic::Ping, ping);
        collect(s, Statistic::Latency, latency);
        collect(s, Statistic::FPS, fps);
        collect(s, Statistic::PacketsIn, packetsIn);
        collect(s, Statistic::PacketsOut, packetsOut);
        if (s.has(Statistic::Latency) && s.has(Statistic::Ping)) {
            latencyAbovePing.push_back(s[Statistic::Latency] - s[Statistic::Ping]);
            raise(f.latencyAbovePingMax, latencyAbovePing.back());
        }
        if (s.has(Statistic::PacketsIn)) {
            lower(f.packetsInMin, s[Statistic::PacketsIn]);
        }
        addLoss(s, f);
        if (s.has(Statistic::Buffer)) {
            buffer += s[Statistic::Buffer];
            ++bufferCount;
            if (s.has(Statistic::BufferTarget)) {
                raise(f.bufferAboveTargetMax,
                      static_cast<double>(s[Statistic::Buffer]) - s[Statistic::BufferTarget]);
            }
        }
        if (s.has(Statistic::BufferTarget)) {
            target += s[Statistic::BufferTarget];
            ++targetCount;
        }
    }

    void finish(MatchFigures& f) {
        namespace T = Thresholds;
        f.pingCounts = ValueCounts::of(ping);
        f.ping = Distribution::of(f.pingCounts);
        f.latency = Distribution::of(ValueCounts::of(latency));
        f.latencyAbovePingCounts = ValueCounts::of(latencyAbovePing);
        const ValueCounts fpsCounts = ValueCounts::of(fps);
        f.fps = Distribution::of(fpsCounts);
        UsualLevels& usual = f.usual;
        if (!f.pingCounts.empty()) {
            usual.pingMs = f.pingCounts.nearestRank(T::kUsualShare);
        }
        if (!fpsCounts.empty()) {
            usual.fps = fpsCounts.nearestRank(1 - T::kUsualShare);
        }
        usual.packetsIn =
            atLeast(quantileOf(packetsIn, 1 - T::kUsualShare), T::kPlayPacketsPerSecond);
        usual.packetsOut =
            atLeast(quantileOf(packetsOut, 1 - T::kUsualShare), T::kPlayPacketsPerSecond);
        usual.latencyAbovePingMs =
            atLeast(quantileOf(latencyAbovePing, T::kUsualShare), T::kPlayLatencyAbovePingMs);
        f.bufferMean = meanOf(buffer, bufferCount);
        f.bufferTargetMean = meanOf(target, targetCount);
    }

  private:
    static void raise(Figure& highest, double value) {
        highest = highest ? std::max(*highest, value) : value;
    }
    static void lower(Figure& lowest, double value) {
        lowest = lowest ? std::min(*lowest, value) : value;
    }

    static void collect(const Second& s, Statistic statistic, std::vector<std::int32_t>& into) {
        if (s.has(statistic)) {
            into.push_back(s[statistic]);
        }
    }

    static void addLoss(const Second& s, MatchFigures& f) {
        const bool inPresent = s.has(Statistic::LostPacketsIn) && s.has(Statistic::PacketsIn);
        const bool outPresent = s.has(Statistic::LostPacketsOut) && s.has(Statistic::PacketsOut);
        const bool inUsable = lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn);
        const bool outUsable = lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut);
        if ((inPresent && !inUsable) || (outPresent && !outUsable)) {
            ++f.inconsistentSeconds;
        }
        f.usableLossSeconds += inUsable && outUsable ? 1 : 0;
        const bool lostIn = inUsable && s[Statistic::LostPacketsIn] > 0;
        f.lossySeconds += lostIn || (outUsable && s[Statistic::LostPacketsOut] > 0) ? 1u : 0u;
        MatchSums& sums = f.sums;
        if (inUsable) {
            sums.anyIn = true;
            sums.lostIn += s[Statistic::LostPacketsIn];
            sums.packetsIn += s[Statistic::PacketsIn];
        }
        if (outUsable) {
            sums.anyOut = true;
            sums.lostOut += s[Statistic::LostPacketsOut];
            sums.packetsOut += s[Statistic::PacketsOut];
        }
    }

    static Figure atLeast(Figure value, double floor) {
        return value ? Figure(std::max(*value, floor)) : std::nullopt;
    }

    // The value at `share` (nearest rank), found without counting or sorting them all;
    // the order of `values` is lost.
    static Figure quantileOf(std::vector<std::int32_t>& values, double share) {
        if (values.empty()) {
            return std::nullopt;
        }
        const auto rank =
            static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
        const auto at =
            values.begin() + static_cast<std::ptrdiff_t>(std::max<std::size_t>(rank, 1) - 1);
        std::nth_element(values.begin(), at, values.end());
        return *at;
    }

    std::vector<std::int32_t> ping, latency, fps, latencyAbovePing, packetsIn, packetsOut;
    double buffer = 0, target = 0;
    std::size_t bufferCount = 0, targetCount = 0;
};

}  // namespace

MatchSums& MatchSums::operator+=(const MatchSums& other) {
    jitterSum += other.jitterSum;
    jitterPairs += other.jitterPairs;
    lostIn += other.lostIn;
    packetsIn += other.packetsIn;
    lostOut += other.lostOut;
    packetsOut += other.packetsOut;
    anyIn = anyIn || other.anyIn;
    anyOut = anyOut || other.anyOut;
    return *this;
}

Figure MatchSums::jitterMs() const {
    return jitterPairs == 0 ? std::nullopt : Figure(jitterSum / static_cast<double>(jitterPairs));
}

Figure MatchSums::lossInPercent() const {
    return percentOf(lostIn, packetsIn, anyIn);
}

Figure MatchSums::lossOutPercent() const {
    return percentOf(lostOut, packetsOut, anyOut);
}

MatchFigures figuresOf(const MatchRows& match) {
    MatchFigures f;
    const std::vector<Second>& seconds = match.seconds;
    if (seconds.empty()) {
        return f;
    }
    f.start = seconds.front().time;
    f.rows = seconds.size();
    f.lengthSeconds = match.lengthSeconds();
    FigureBuilder builder(seconds.size());
    for (std::size_t i = 0; i < seconds.size(); ++i) {
        if (i > 0) {
            builder.addStep(seconds[i - 1], seconds[i], f);
        }
        builder.addSecond(seconds[i], f);
    }
    builder.finish(f);
    return f;
}

}  // namespace Quorvel::Analysis
