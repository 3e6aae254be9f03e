#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "PerformanceFormat.h"

namespace Quorvel::Sim {

// How a statistic varies second by second within a phase.
struct Constant {
    double value = 0;
};
struct Ramp {
    double start = 0;
    double end = 0;
};
// Uniform in mean ± spread, the same for the same seed everywhere.
struct Noise {
    double mean = 0;
    double spread = 0;
    std::uint32_t seed = 1;
};
// `value` for the first `length` seconds of every `every`, `base` otherwise.
struct Bursts {
    double base = 0;
    double value = 0;
    int every = 1;
    int length = 0;
};

class Signal {
  public:
    Signal() = default;
    template <typename Form>
    explicit Signal(Form f) : form(f) {}

    // The value `offset` seconds into a phase of `duration` seconds.
    double at(int offset, int duration) const;

  private:
    std::variant<Constant, Ramp, Noise, Bursts> form;
};

// What the game reports during [from, to).
struct Phase {
    int from = 0;
    int to = 0;
    bool inOnlineGame = false;
    bool onlineGame = true;
    bool localPlayer = true;
    bool replicationInfo = true;
    bool statGraphs = true;
    std::string matchGuid;
    std::int32_t playlistId = 0;
    // Each statistic of the performance file as the game reports it (Ping in ms).
    Format::PerStatistic<Signal> statistics;
};

struct SessionEvent {
    // Crash: the game closes at once, as a killed process does: the plugin is neither
    // unloaded nor deleted, and the session ends there.
    enum class Kind { AppendToLaunchLog, Unload, Load, Crash };
    int at = 0;
    Kind kind = Kind::AppendToLaunchLog;
    std::string text;  // the line appended to Launch.log
};

// The calendar seconds a session can be played in: those the module's clock,
// std::chrono::system_clock, holds every instant of. It counts its unit (nanoseconds,
// on Linux and under MinGW alike) in 64 bits, 1677-09-21 00:12:44 to 2262-04-11
// 23:47:15 in whole seconds; readings beyond wrap around to the other end.
inline constexpr std::chrono::sys_seconds kFirstSessionSecond =
    std::chrono::ceil<std::chrono::seconds>(std::chrono::system_clock::time_point::min());
inline constexpr std::chrono::sys_seconds kLastSessionSecond =
    std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::time_point::max()) -
    std::chrono::seconds{1};

// A scenario file is read up to this many bytes and refused beyond (16 MB; a week of
// phases three seconds long takes about 11 MB).
inline constexpr std::size_t kMaxScenarioBytes = std::size_t{16} * 1024 * 1024;

struct Scenario {
    std::string description;
    std::optional<std::string> player;
    std::string documentsFolder = "Documents";
    int seconds = 0;
    // The calendar time (UTC) of second 0, when the scenario fixes it.
    std::optional<std::chrono::sys_seconds> start;
    std::vector<Phase> phases;         // sorted, not overlapping
    std::vector<SessionEvent> events;  // sorted by time

    // The phase covering `second`, or null between phases (the menu).
    const Phase* phaseAt(int second) const;
};

// Why `start` cannot be second 0 of a session of `seconds` (some of its seconds are
// outside those the module's clock holds); nullopt when it can.
std::optional<std::string> startOutOfRange(std::chrono::sys_seconds start, int seconds);

// Both throw a Failure (Usage) naming the file, the place in it and what was expected:
// for a value out of its range, a field given twice, a start outside the session
// seconds above, a file larger than kMaxScenarioBytes.
Scenario parseScenario(const std::string& text, const std::string& sourceName);
Scenario loadScenarioFile(const std::filesystem::path& file);

}  // namespace Quorvel::Sim
