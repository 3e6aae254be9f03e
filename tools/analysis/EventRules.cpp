#include "EventRules.h"

#include <algorithm>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

std::int64_t lengthOf(const Event& e) {
    return e.when.lengthSeconds;
}

}  // namespace

bool worse(const Event& a, const Event& b) {
    if (const auto* x = std::get_if<PingSpike>(&a.what)) {
        return x->worstMs > std::get<PingSpike>(b.what).worstMs;
    }
    if (const auto* x = std::get_if<LossBurst>(&a.what)) {
        const auto& y = std::get<LossBurst>(b.what);
        if (x->worstSharePercent != y.worstSharePercent) {
            return x->worstSharePercent > y.worstSharePercent;
        }
        return eventSize(a) > eventSize(b);
    }
    if (const auto* x = std::get_if<ServerHiccup>(&a.what)) {
        return x->worstLatencyMs > std::get<ServerHiccup>(b.what).worstLatencyMs;
    }
    if (const auto* x = std::get_if<FpsDrop>(&a.what)) {
        return x->worstFps < std::get<FpsDrop>(b.what).worstFps;
    }
    if (const auto* x = std::get_if<Stutter>(&a.what)) {
        return x->drops > std::get<Stutter>(b.what).drops;
    }
    if (a.kind() == EventKind::SteadyLoss && eventSize(a) != eventSize(b)) {
        return eventSize(a) > eventSize(b);
    }
    return lengthOf(a) > lengthOf(b);
}

double eventSize(const Event& e) {
    if (const auto* x = std::get_if<LossBurst>(&e.what)) {
        return std::max(x->worstLostInPerSecond, x->worstLostOutPerSecond);
    }
    if (const auto* x = std::get_if<PingSpike>(&e.what)) {
        return x->worstMs - x->typicalMs;
    }
    if (const auto* x = std::get_if<FpsDrop>(&e.what)) {
        return x->worstFps;
    }
    if (const auto* x = std::get_if<SteadyLoss>(&e.what)) {
        return std::max(x->lostInPercent, x->lostOutPercent);
    }
    return static_cast<double>(lengthOf(e));
}

bool largeEnoughToCount(const Event& e, double matchLossPercent) {
    const std::int64_t length = lengthOf(e);
    switch (e.kind()) {
        case EventKind::PingSpike:
            return std::get<PingSpike>(e.what).feltSeconds >= T::kSignificantSeconds ||
                   eventSize(e) >= T::kSevereSpikeMs;
        case EventKind::UnstablePing:
            return length >= T::kUnstableFeltSeconds &&
                   std::get<UnstablePing>(e.what).meanChangeMs >= T::kUnstableFeltChangeMs;
        case EventKind::LossBurst:
            return std::get<LossBurst>(e.what).worstSharePercent >= T::kBurstLossPercent ||
                   matchLossPercent >= T::kMatchLossPercent;
        case EventKind::NothingIn:
        case EventKind::Outage:
        case EventKind::ServerHiccup:
            return length >= T::kSignificantSeconds;
        case EventKind::FpsDrop: {
            const auto& drop = std::get<FpsDrop>(e.what);
            return drop.feltSeconds >= T::kSignificantSeconds || drop.worstFps < T::kLowFps;
        }
        case EventKind::SteadyLoss:
        case EventKind::Stutter:
        case EventKind::BufferAboveTarget:
            return true;  // found only when large enough
        case EventKind::NoValue:
        case EventKind::NotRecorded:
            return false;
    }
    return false;
}

std::uint8_t explainingCovers(EventKind kind) {
    switch (kind) {
        case EventKind::PingSpike:
            return kStallCover | kUnstableCover;
        case EventKind::LossBurst:
            return kSteadyCover;
        case EventKind::FpsDrop:
        case EventKind::Stutter:
        case EventKind::BufferAboveTarget:
            return kLossCover | kStallCover | kSpikeCover;
        default:
            return 0;
    }
}

std::uint8_t coverOf(EventKind kind) {
    switch (kind) {
        case EventKind::LossBurst:
            return kLossCover;
        case EventKind::SteadyLoss:
            return kSteadyCover;
        case EventKind::NothingIn:
        case EventKind::Outage:
            return kStallCover;
        case EventKind::PingSpike:
            return kSpikeCover;
        case EventKind::UnstablePing:
            return kUnstableCover;
        default:
            return 0;
    }
}

}  // namespace Quorvel::Analysis
