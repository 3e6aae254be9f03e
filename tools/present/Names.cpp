#include "Names.h"

namespace Quorvel::Present {

namespace {

using Analysis::Cause;
using Analysis::EventKind;
using Analysis::Problem;

constexpr std::array<KindNames, Analysis::kEventKindCount> kKinds = {{
    {EventKind::PingSpike,
     "pingSpike",
     "ping spike",
     "ping spikes",
     {31, 119, 180},
     "blue",
     "ping spikes"},
    {EventKind::UnstablePing,
     "unstablePing",
     "stretch of unstable ping",
     "stretches of unstable ping",
     {23, 190, 207},
     "teal",
     "unstable ping"},
    {EventKind::LossBurst,
     "lossBurst",
     "loss burst",
     "loss bursts",
     {214, 39, 40},
     "red",
     "loss bursts"},
    {EventKind::SteadyLoss,
     "steadyLoss",
     "stretch of steady loss",
     "stretches of steady loss",
     {255, 152, 150},
     "pink",
     "steady loss"},
    {EventKind::NothingIn,
     "nothingIn",
     "stretch with nothing coming in",
     "stretches with nothing coming in",
     {148, 103, 189},
     "purple",
     "nothing coming in"},
    {EventKind::Outage, "outage", "outage", "outages", {90, 50, 130}, "dark purple", "outages"},
    {EventKind::ServerHiccup,
     "serverHiccup",
     "server hiccup",
     "server hiccups",
     {255, 127, 14},
     "orange",
     "server hiccups"},
    {EventKind::FpsDrop, "fpsDrop", "FPS drop", "FPS drops", {44, 160, 44}, "green", "FPS drops"},
    {EventKind::Stutter,
     "stutter",
     "stretch of stutter",
     "stretches of stutter",
     {188, 189, 34},
     "olive",
     "stutter"},
    {EventKind::BufferAboveTarget,
     "bufferAboveTarget",
     "input buffer above target",
     "input buffer above target",
     {140, 86, 75},
     "brown",
     "input buffer above target"},
    {EventKind::NoValue,
     "noValue",
     "stretch without values",
     "stretches without values",
     {120, 120, 120},
     "grey",
     "seconds without a value or without a row"},
    {EventKind::NotRecorded,
     "notRecorded",
     "gap in the recording",
     "gaps in the recording",
     {120, 120, 120},
     "grey",
     "seconds without a value or without a row"},
}};

struct CauseName {
    Cause cause;
    std::string_view name;
};
constexpr std::array<CauseName, Analysis::kCauseCount> kCauses = {{
    {Cause::Good, "good"},
    {Cause::Connection, "connection"},
    {Cause::Server, "server"},
    {Cause::Computer, "computer"},
    {Cause::Incomplete, "incomplete"},
}};

struct ProblemName {
    Problem problem;
    std::string_view name;
};
constexpr std::array<ProblemName, Analysis::kProblemCount> kProblems = {{
    {Problem::Outages, "outages"},
    {Problem::Loss, "loss"},
    {Problem::UnstablePing, "unstable ping"},
    {Problem::PingSpikes, "ping spikes"},
    {Problem::HighPing, "high ping"},
    {Problem::NothingComingIn, "nothing coming in"},
    {Problem::ServerHiccups, "server hiccups"},
    {Problem::HighLatency, "high latency"},
    {Problem::Stutter, "stutter"},
    {Problem::FpsDrops, "FPS drops"},
    {Problem::LowFps, "low FPS"},
    {Problem::FullInputBuffer, "a full input buffer"},
}};

template <typename Rows, typename Key>
constexpr bool inOrder(const Rows& rows, Key Rows::value_type::*key) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (static_cast<std::size_t>(rows[i].*key) != i) {
            return false;
        }
    }
    return true;
}
// Each row stands at its own place, so that it is found by its number.
static_assert(inOrder(kKinds, &KindNames::kind));
static_assert(inOrder(kCauses, &CauseName::cause));
static_assert(inOrder(kProblems, &ProblemName::problem));

}  // namespace

const KindNames& namesOf(EventKind kind) {
    return kKinds[static_cast<std::size_t>(kind)];
}

std::string_view causeName(Cause cause) {
    return kCauses[static_cast<std::size_t>(cause)].name;
}

std::string_view problemName(Problem problem) {
    return kProblems[static_cast<std::size_t>(problem)].name;
}

std::string_view sideKey(Analysis::Conclusion::Side side) {
    using Side = Analysis::Conclusion::Side;
    switch (side) {
        case Side::NotEnough:
            return "notEnough";
        case Side::Good:
            return causeName(Cause::Good);
        case Side::Connection:
            return causeName(Cause::Connection);
        case Side::Computer:
            return causeName(Cause::Computer);
        case Side::Server:
            return causeName(Cause::Server);
        case Side::Unclear:
            return "unclear";
    }
    return "unclear";
}

}  // namespace Quorvel::Present
