#pragma once

// Performance files of matches played with the noise real ones have: a skewed ping with
// lone blips, packet counts that wander, a lost packet now and then, frame rates that
// wobble. Troubles are laid over that at chosen seconds. The numbers come from a
// generator of our own and integer-exact arithmetic only, so a description gives the
// same bytes on every platform and C library.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace QuorvelTest {

// splitmix64: small, fast and the same everywhere.
class PlayRandom {
  public:
    explicit PlayRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t next();
    double uniform();                 // [0, 1)
    int between(int low, int high);   // low..high, both included
    bool chance(double probability);  // true with that probability
    // A whole number >= 0 with this mean, right-skewed (geometric): most seconds near
    // zero, a few well above. Ping jitter looks like this.
    int skewed(double mean);
    // Roughly normal with mean 0 and deviation 1 (the sum of twelve uniforms, less 6):
    // additions only, so no library function's last bit can differ between platforms.
    double normal();

  private:
    std::uint64_t state;
};

// One row's statistics.
struct PlaySecond {
    int second = 0;  // into the match
    int fps = 0;
    int ping = 0;
    int latency = 0;
    int packetsOut = 0;
    int packetsIn = 0;
    int lostOut = 0;
    int lostIn = 0;
    int buffer = 0;
    int target = 0;
};

enum class TroubleKind {
    PingSpike,          // Ping `low`..`high` ms above the base; Latency follows
    UnstablePing,       // Ping anywhere in `low`..`high` ms, afresh each second
    ServerHiccup,       // Latency `low`..`high` ms; Ping stays as it was
    LossIn,             // `low`..`high` packets lost coming in each second
    LossOut,            // `low`..`high` packets lost going out each second
    Stutter,            // one-second FPS drops to `low`..`high` % of the median, every 8..12 s
    NothingIn,          // PacketsIn 0 while PacketsOut goes on; the input buffer fills up
    BufferAboveTarget,  // Buffer `low`..`high` frames above its target
    Outage,             // PacketsIn 0 and PacketsOut down to `low`..`high` % of its own
    PingLevel,          // Ping moves to `low`..`high` ms (and its jitter); Latency follows
    FpsLevel,           // FPS moves to `low`..`high`
};

struct Trouble {
    TroubleKind kind = TroubleKind::PingSpike;
    int from = 0;    // first second
    int length = 1;  // seconds
    int low = 0;
    int high = 0;
};

// A match: its length, its quiet levels, and troubles at given seconds.
struct MatchPlay {
    int seconds = 300;
    std::uint64_t seed = 1;
    int basePing = 40;         // ms; the quietest a second gets
    double jitterMs = 3;       // mean of the skewed part above the base
    int latencyAbovePing = 4;  // ms, plus a little noise of its own
    int fps = 144;             // the median
    int bufferTarget = 2;      // frames
    double lossChance = 0.02;  // share of seconds that lose one packet, in or out
    std::vector<Trouble> troubles;
    std::vector<int> onlySeconds;  // keep just these rows (empty: every second)
    // The last word on every row, for files no healthy client writes.
    std::function<void(PlaySecond&)> finally;
    std::string matchGuid = "5F1A0C2E9B7D4E3A";
    std::string serverIp = "203.0.113.40";
    std::string userId = "Steam|76561190000000042|0";
    int startSecond = 0;  // the first row's time, in seconds after 2026-12-08 18:00:00 UTC
};

// Every row of the match, second by second.
std::vector<PlaySecond> playSeconds(const MatchPlay& play);

// The whole performance file: the header, then one row a second from
// 2026-12-08 18:00:00 UTC (and `startSecond`), with a fixed ServerPort and Playlist.
std::string performanceFile(const MatchPlay& play);
// The rows alone, to make a file of several matches.
std::string performanceRows(const MatchPlay& play);

}  // namespace QuorvelTest
