#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <variant>
#include <vector>

#include "PerformanceFormat.h"

namespace Quorvel::Analysis {

// When a stretch of a match went wrong.
struct Stretch {
    std::int64_t offset = 0;           // seconds into the match
    std::chrono::sys_seconds clock{};  // the clock time of its first second
    std::int64_t lengthSeconds = 0;
    std::size_t rows = 0;  // rows in it (none for a gap in the recording)
};

// Each kind of event with what it has to say.
struct PingSpike {
    double worstMs = 0;    // the highest Ping in it
    double typicalMs = 0;  // the match's usual Ping
    int feltSeconds = 0;   // seconds in it at least Thresholds::kFeltSpikeMs above typical
};
struct UnstablePing {
    double meanChangeMs = 0;   // mean change of Ping from one second to the next
    double worstChangeMs = 0;  // the largest change
    double lowMs = 0;          // the range Ping swung over
    double highMs = 0;
};
struct LossBurst {
    double worstLostInPerSecond = 0;  // the most packets lost in one second, coming in
    double worstLostOutPerSecond = 0;
    double worstSharePercent = 0;  // the highest share of a second's packets lost
};
struct SteadyLoss {
    double lostInPercent = 0;  // of the packets that came in during it
    double lostOutPercent = 0;
    double worstLostPerSecond = 0;  // the most packets lost in one second, in or out
    std::size_t lossySeconds = 0;   // its seconds that lost packets
};
struct NothingIn {
    double worstPacketsIn = 0;    // the fewest packets a second that came in
    double typicalPacketsIn = 0;  // the match's usual
    double packetsOut = 0;        // the fewest that went out meanwhile
};
// Nothing coming in and PacketsOut down too: both directions stopped.
struct Outage {
    double worstPacketsIn = 0;  // the fewest packets a second that came in
    double typicalPacketsIn = 0;
    double mostPacketsOut = 0;  // the most that went out in a second of it
    double typicalPacketsOut = 0;
};
struct ServerHiccup {
    double worstLatencyMs = 0;
    double typicalLatencyMs = 0;  // the match's median Latency
    double pingMs = 0;            // Ping at the worst second
};
struct FpsDrop {
    double worstFps = 0;
    double typicalFps = 0;  // the match's usual FPS
    int feltSeconds = 0;    // seconds in it at or below Thresholds::kFeltDropShare of typical
};
struct Stutter {
    std::size_t drops = 0;  // short FPS drops in it
    double dropsPerMinute = 0;
    double worstFps = 0;
    double typicalFps = 0;
};
struct BufferAboveTarget {
    double worstBuffer = 0;
    double target = 0;
};
struct NoValue {
    Format::PerStatistic<bool> statistics;  // the statistics that had none
};
struct NotRecorded {};

// In the order of EventKind.
using EventDetail =
    std::variant<PingSpike, UnstablePing, LossBurst, SteadyLoss, NothingIn, Outage, ServerHiccup,
                 FpsDrop, Stutter, BufferAboveTarget, NoValue, NotRecorded>;

enum class EventKind : std::size_t {
    PingSpike,
    UnstablePing,
    LossBurst,
    SteadyLoss,    // a share of packets lost second after second
    NothingIn,     // PacketsIn collapsing while PacketsOut goes on
    Outage,        // PacketsIn collapsing and PacketsOut too
    ServerHiccup,  // Latency far above Ping for a while
    FpsDrop,
    Stutter,
    BufferAboveTarget,
    NoValue,      // seconds in which a statistic had no value
    NotRecorded,  // a gap: seconds without a row
};
inline constexpr std::size_t kEventKindCount = std::variant_size_v<EventDetail>;

template <typename T>
using PerEventKind = Format::EnumArray<EventKind, T, kEventKindCount>;

// The kind that a detail type stands for.
template <typename Detail>
constexpr EventKind kindOf() {
    return static_cast<EventKind>(EventDetail(std::in_place_type<Detail>).index());
}

struct Event {
    Stretch when;
    EventDetail what;
    bool significant = false;  // counts in the verdict (Thresholds)

    EventKind kind() const { return static_cast<EventKind>(what.index()); }
};

}  // namespace Quorvel::Analysis
