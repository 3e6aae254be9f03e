#include "Event.h"

namespace Quorvel::Analysis {

// Each detail type stands at its kind's place in EventDetail.
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

}  // namespace Quorvel::Analysis
