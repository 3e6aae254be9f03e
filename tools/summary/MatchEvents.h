#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "MatchFigures.h"

namespace Quorvel::Summary {

enum class EventKind : std::size_t {
    PingSpike,
    LossBurst,
    FpsDrop,
    BufferAboveTarget,
    NoValue,      // seconds in which a statistic had no value
    NotRecorded,  // a gap: seconds without a row
};
inline constexpr std::size_t kEventKindCount = 6;

// "ping spike", "loss burst", ...; `plural` for counts other than one.
std::string_view eventKindName(EventKind kind, bool plural = false);
// "pingSpike", "lossBurst", ... for JSON and the page.
std::string_view eventKindKey(EventKind kind);

// A stretch of a match that went wrong.
struct Event {
    EventKind kind = EventKind::PingSpike;
    std::int64_t offset = 0;           // seconds into the match
    std::chrono::sys_seconds clock{};  // the clock time of its first second
    std::int64_t lengthSeconds = 0;
    std::size_t rows = 0;  // rows in it (NotRecorded: none)
    // The worst second: highest Ping, lowest FPS, highest Buffer, most packets lost in
    // a second (in or out); unused for NoValue and NotRecorded.
    double worst = 0;
    double typical = 0;  // what the match usually has: median Ping or FPS, BufferTarget
    // Loss bursts: the most packets lost in one second coming in and going out, and
    // the highest share of a second's packets lost, in percent.
    double worstIn = 0;
    double worstOut = 0;
    double worstSharePercent = 0;
    std::uint32_t statistics = 0;  // NoValue: bit k set when statistic k had none
    bool significant = false;      // counts in the verdict (Thresholds)
};

struct MatchEvents {
    std::vector<Event> events;  // by start; at most Thresholds::kEventsKeptPerKind a kind
    std::array<std::size_t, kEventKindCount> counts{};  // every event, kept or not

    std::size_t count(EventKind kind) const { return counts[static_cast<std::size_t>(kind)]; }
};

MatchEvents findEvents(const MatchRows& match, const std::vector<std::int64_t>& times,
                       const MatchFigures& figures);

// The spike and drop lines the events are found against; absent without values.
Figure pingSpikeThreshold(const MatchFigures& figures);
Figure fpsDropThreshold(const MatchFigures& figures);

}  // namespace Quorvel::Summary
