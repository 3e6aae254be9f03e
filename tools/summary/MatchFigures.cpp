#include "MatchFigures.h"

#include <algorithm>
#include <cmath>

#include "Thresholds.h"

namespace Quorvel::Summary {

namespace {

double nearestRank(const std::vector<double>& sorted, double share) {
    const auto rank =
        static_cast<std::size_t>(std::ceil(share * static_cast<double>(sorted.size())));
    return sorted[std::max<std::size_t>(rank, 1) - 1];
}

double medianOfSorted(const std::vector<double>& sorted) {
    const std::size_t n = sorted.size();
    return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2.0;
}

Figure percentOf(double part, double whole, bool any) {
    if (!any) {
        return std::nullopt;
    }
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

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
    if (jitterPairs == 0) {
        return std::nullopt;
    }
    return jitterSum / static_cast<double>(jitterPairs);
}

Figure MatchSums::lossInPercent() const {
    return percentOf(lostIn, packetsIn, anyIn);
}

Figure MatchSums::lossOutPercent() const {
    return percentOf(lostOut, packetsOut, anyOut);
}

std::vector<std::int64_t> matchTimes(const std::vector<Second>& seconds) {
    std::vector<std::int64_t> times(seconds.size());
    for (std::size_t i = 1; i < seconds.size(); ++i) {
        const auto step = (seconds[i].time - seconds[i - 1].time).count();
        times[i] = times[i - 1] + std::max<std::int64_t>(step, 0);
    }
    return times;
}

std::optional<Distribution> distributionOf(std::vector<double>& values) {
    if (values.empty()) {
        return std::nullopt;
    }
    std::sort(values.begin(), values.end());
    Distribution d;
    d.count = values.size();
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    d.mean = sum / static_cast<double>(d.count);
    d.median = medianOfSorted(values);
    d.p95 = nearestRank(values, 0.95);
    d.p99 = nearestRank(values, 0.99);
    d.min = values.front();
    d.max = values.back();
    const std::size_t lowCount = std::max<std::size_t>(1, d.count / 100);
    double lowSum = 0;
    for (std::size_t i = 0; i < lowCount; ++i) {
        lowSum += values[i];
    }
    d.low1Percent = lowSum / static_cast<double>(lowCount);
    // The values are no longer needed in order: reuse them for the deviations.
    for (double& v : values) {
        v = std::abs(v - d.median);
    }
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(d.count / 2),
                     values.end());
    double mad = values[d.count / 2];
    if (d.count % 2 == 0) {
        mad = (mad + *std::max_element(values.begin(),
                                       values.begin() + static_cast<std::ptrdiff_t>(d.count / 2))) /
              2.0;
    }
    d.sigma = Thresholds::kMadToSigma * mad;
    return d;
}

bool lossUsable(const Second& second, Statistic lost, Statistic packets) {
    return second.has(lost) && second.has(packets) && second[lost] >= 0 &&
           second[lost] <= second[packets];
}

MatchFigures figuresOf(const MatchRows& match, const std::vector<std::int64_t>& times) {
    MatchFigures f;
    const std::vector<Second>& seconds = match.seconds;
    if (seconds.empty()) {
        return f;
    }
    f.start = seconds.front().time;
    f.rows = seconds.size();
    f.lengthSeconds = times.back() + 1;

    std::vector<double> ping, latency, fps;
    ping.reserve(seconds.size());
    MatchSums& sums = f.sums;
    double buffer = 0, target = 0;
    std::size_t bufferCount = 0, targetCount = 0;

    for (std::size_t i = 0; i < seconds.size(); ++i) {
        const Second& s = seconds[i];
        if (i > 0) {
            const auto step = s.time - seconds[i - 1].time;
            if (step < std::chrono::seconds{0}) {
                ++f.clockStepsBack;
            } else if (step > Thresholds::kGap) {
                ++f.gaps;
                f.gapSeconds += step.count() - 1;
            } else if (s.has(Statistic::Ping) && seconds[i - 1].has(Statistic::Ping)) {
                sums.jitterSum += std::abs(static_cast<double>(s[Statistic::Ping]) -
                                           static_cast<double>(seconds[i - 1][Statistic::Ping]));
                ++sums.jitterPairs;
            }
        }
        for (std::size_t k = 0; k < kStatisticCount; ++k) {
            f.missing[k] += s.values[k] == Format::kNoValue ? 1u : 0u;
        }
        if (s.has(Statistic::Ping)) {
            ping.push_back(s[Statistic::Ping]);
        }
        if (s.has(Statistic::Latency)) {
            latency.push_back(s[Statistic::Latency]);
        }
        if (s.has(Statistic::FPS)) {
            fps.push_back(s[Statistic::FPS]);
        }
        const bool inPresent = s.has(Statistic::LostPacketsIn) && s.has(Statistic::PacketsIn);
        const bool outPresent = s.has(Statistic::LostPacketsOut) && s.has(Statistic::PacketsOut);
        const bool inUsable = lossUsable(s, Statistic::LostPacketsIn, Statistic::PacketsIn);
        const bool outUsable = lossUsable(s, Statistic::LostPacketsOut, Statistic::PacketsOut);
        if ((inPresent && !inUsable) || (outPresent && !outUsable)) {
            ++f.inconsistentSeconds;
        }
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
        if (s.has(Statistic::Buffer)) {
            buffer += s[Statistic::Buffer];
            ++bufferCount;
        }
        if (s.has(Statistic::BufferTarget)) {
            target += s[Statistic::BufferTarget];
            ++targetCount;
        }
    }
    f.ping = distributionOf(ping);
    f.latency = distributionOf(latency);
    f.fps = distributionOf(fps);
    f.jitterMs = sums.jitterMs();
    f.lossInPercent = sums.lossInPercent();
    f.lossOutPercent = sums.lossOutPercent();
    if (bufferCount > 0) {
        f.bufferMean = buffer / static_cast<double>(bufferCount);
    }
    if (targetCount > 0) {
        f.bufferTargetMean = target / static_cast<double>(targetCount);
    }
    return f;
}

}  // namespace Quorvel::Summary
