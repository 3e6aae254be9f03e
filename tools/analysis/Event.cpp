#include "Event.h"

namespace Quorvel::Analysis {

namespace {

struct KindTexts {
    std::string_view key;
    std::string_view one;
    std::string_view many;
};

constexpr std::array<KindTexts, kEventKindCount> kKindTexts = {{
    {"pingSpike", "ping spike", "ping spikes"},
    {"unstablePing", "stretch of unstable ping", "stretches of unstable ping"},
    {"lossBurst", "loss burst", "loss bursts"},
    {"steadyLoss", "stretch of steady loss", "stretches of steady loss"},
    {"nothingIn", "stretch with nothing coming in", "stretches with nothing coming in"},
    {"outage", "outage", "outages"},
    {"serverHiccup", "server hiccup", "server hiccups"},
    {"fpsDrop", "FPS drop", "FPS drops"},
    {"stutter", "stretch of stutter", "stretches of stutter"},
    {"bufferAboveTarget", "input buffer above target", "input buffer above target"},
    {"noValue", "stretch without values", "stretches without values"},
    {"notRecorded", "gap in the recording", "gaps in the recording"},
}};

static_assert(kindOf<PingSpike>() == EventKind::PingSpike);
static_assert(kindOf<UnstablePing>() == EventKind::UnstablePing);
static_assert(kindOf<LossBurst>() == EventKind::LossBurst);
static_assert(kindOf<SteadyLoss>() == EventKind::SteadyLoss);
static_assert(kindOf<NothingIn>() == EventKind::NothingIn);
static_assert(kindOf<Outage>() == EventKind::Outage);
static_assert(kindOf<ServerHiccup>() == EventKind::ServerHiccup);
static_assert(kindOf<FpsDrop>() == EventKind::FpsDrop);
static_assert(kindOf<Stutter>() == EventKind::Stutter);
static_assert(kindOf<BufferAboveTarget>() == EventKind::BufferAboveTarget);
static_assert(kindOf<NoValue>() == EventKind::NoValue);
static_assert(kindOf<NotRecorded>() == EventKind::NotRecorded);

}  // namespace

std::string_view eventKindName(EventKind kind, bool plural) {
    const KindTexts& texts = kKindTexts[static_cast<std::size_t>(kind)];
    return plural ? texts.many : texts.one;
}

std::string_view eventKindKey(EventKind kind) {
    return kKindTexts[static_cast<std::size_t>(kind)].key;
}

}  // namespace Quorvel::Analysis
