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
    {"lossBurst", "loss burst", "loss bursts"},
    {"fpsDrop", "FPS drop", "FPS drops"},
    {"bufferAboveTarget", "input buffer above target", "input buffer above target"},
    {"noValue", "stretch without values", "stretches without values"},
    {"notRecorded", "gap in the recording", "gaps in the recording"},
}};

static_assert(kindOf<PingSpike>() == EventKind::PingSpike);
static_assert(kindOf<LossBurst>() == EventKind::LossBurst);
static_assert(kindOf<FpsDrop>() == EventKind::FpsDrop);
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
