#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace QuorvelSim {

// A value that varies second by second within a phase.
struct Signal {
    enum class Kind { Constant, Ramp, Noise, Bursts };
    Kind kind = Kind::Constant;
    double a = 0;  // constant value, ramp start, noise mean, burst base
    double b = 0;  // ramp end, noise spread, burst value
    std::uint32_t seed = 0;
    int every = 1;   // bursts: period in seconds
    int length = 0;  // bursts: seconds at the burst value in each period

    // The value `offset` seconds into a phase of `duration` seconds.
    double at(int offset, int duration) const;
};

// The statistics of a phase, in the order of the stand-in host's sample histories
// (latency, packets out, packets in, lost out, lost in, buffer, buffer target, FPS).
inline constexpr std::size_t kStatisticCount = 8;

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
    Signal pingMs;
    std::array<Signal, kStatisticCount> statistics;
};

struct Event {
    enum class Kind { AppendToLaunchLog, Unload, Load };
    int at = 0;
    Kind kind = Kind::AppendToLaunchLog;
    std::string text;  // the line appended to Launch.log
};

// 2026-12-08 18:00:00 UTC: sessions start here unless their scenario says otherwise.
inline constexpr std::chrono::sys_seconds kDefaultStart{std::chrono::seconds{1796752800}};

struct Scenario {
    std::string description;
    std::optional<std::string> player;
    std::string documentsFolder = "Documents";
    int seconds = 0;
    // The calendar time (UTC) of second 0.
    std::chrono::sys_seconds start = kDefaultStart;
    std::vector<Phase> phases;  // sorted, not overlapping
    std::vector<Event> events;  // sorted by time

    // The phase covering `second`, or null between phases (the menu).
    const Phase* phaseAt(int second) const;
};

// A scenario file that cannot be used; what() names the file, the place and what
// was expected.
class ScenarioError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

Scenario parseScenario(const std::string& text, const std::string& sourceName);
Scenario loadScenarioFile(const std::filesystem::path& file);

}  // namespace QuorvelSim
