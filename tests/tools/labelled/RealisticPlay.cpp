#include "RealisticPlay.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "CsvText.h"
#include "PerformanceFormat.h"
#include "UtcTimestamp.h"

namespace QuorvelTest {

std::uint64_t PlayRandom::next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double PlayRandom::uniform() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

int PlayRandom::between(int low, int high) {
    const auto span = static_cast<std::uint64_t>(high - low) + 1;
    return low + static_cast<int>(next() % span);
}

bool PlayRandom::chance(double probability) {
    return uniform() < probability;
}

int PlayRandom::skewed(double mean) {
    const double goOn = mean / (1 + mean);
    int n = 0;
    while (chance(goOn)) {
        ++n;
    }
    return n;
}

double PlayRandom::normal() {
    double sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += uniform();
    }
    return sum - 6;
}

namespace {

// What a quiet second has now and then. A lone ping blip about once a minute: 20..100 s
// apart, so never two in a row.
constexpr int kBlipGapLow = 20;
constexpr int kBlipGapHigh = 100;
constexpr int kBlipLowMs = 30;
constexpr int kBlipHighMs = 75;
// The jitter's tail stops at this many times its mean: a quiet second never reaches
// what a player would feel as a spike.
constexpr double kJitterCap = 5;
constexpr double kFpsSpread = 0.015;        // of the median, one deviation
constexpr double kFpsLimit = 0.04;          // noise stays within this share of the median
constexpr double kDipChance = 1.0 / 60;     // a single slow frame: ~85 % of the median
constexpr double kBufferStepChance = 0.03;  // the buffer one frame up for a second
constexpr int kPackets = 60;
constexpr int kPacketSpread = 2;
// A full input buffer does not grow past this many frames above its target.
constexpr int kBufferFillLimit = 4;

int whole(double value) {
    return static_cast<int>(std::floor(value + 0.5));
}

int jitter(const MatchPlay& play, PlayRandom& random) {
    return std::min(random.skewed(play.jitterMs), whole(kJitterCap * play.jitterMs));
}

int latencyFor(int ping, const MatchPlay& play, PlayRandom& random) {
    return std::max(0, ping + play.latencyAbovePing + whole(random.normal()));
}

int quietFps(const MatchPlay& play, PlayRandom& random) {
    double share = std::clamp(1 + kFpsSpread * random.normal(), 1 - kFpsLimit, 1 + kFpsLimit);
    if (random.chance(kDipChance)) {
        share = random.between(83, 87) / 100.0;
    }
    return std::max(1, whole(play.fps * share));
}

std::vector<bool> blipSeconds(int seconds, PlayRandom& random) {
    std::vector<bool> blips(static_cast<std::size_t>(seconds), false);
    for (int s = random.between(0, kBlipGapHigh); s < seconds;
         s += random.between(kBlipGapLow, kBlipGapHigh)) {
        blips[static_cast<std::size_t>(s)] = true;
    }
    return blips;
}

PlaySecond quietSecond(int second, bool blip, const MatchPlay& play, PlayRandom& random) {
    PlaySecond s;
    s.second = second;
    s.ping = play.basePing + jitter(play, random);
    if (blip) {
        s.ping += random.between(kBlipLowMs, kBlipHighMs);
    }
    s.latency = latencyFor(s.ping, play, random);
    s.fps = quietFps(play, random);
    s.packetsOut = kPackets + random.between(-kPacketSpread, kPacketSpread);
    s.packetsIn = kPackets + random.between(-kPacketSpread, kPacketSpread);
    if (random.chance(play.lossChance)) {
        (random.chance(0.5) ? s.lostIn : s.lostOut) = 1;
    }
    s.target = play.bufferTarget;
    s.buffer = s.target + (random.chance(kBufferStepChance) ? 1 : 0);
    return s;
}

// The seconds a stutter drops a frame: its first second, then every 8..12 s.
std::vector<int> stutterDrops(const Trouble& t, PlayRandom& random) {
    std::vector<int> drops;
    for (int s = t.from; s < t.from + t.length; s += random.between(8, 12)) {
        drops.push_back(s);
    }
    return drops;
}

void apply(const Trouble& t, const std::vector<int>& drops, const MatchPlay& play, PlaySecond& s,
           PlayRandom& random) {
    switch (t.kind) {
        case TroubleKind::PingSpike:
            s.ping = play.basePing + random.between(t.low, t.high) + jitter(play, random);
            s.latency = latencyFor(s.ping, play, random);
            break;
        case TroubleKind::UnstablePing:
            s.ping = random.between(t.low, t.high);
            s.latency = latencyFor(s.ping, play, random);
            break;
        case TroubleKind::ServerHiccup:
            s.latency = random.between(t.low, t.high);
            break;
        case TroubleKind::LossIn:
            s.lostIn = random.between(t.low, t.high);
            break;
        case TroubleKind::LossOut:
            s.lostOut = random.between(t.low, t.high);
            break;
        case TroubleKind::Stutter:
            if (std::find(drops.begin(), drops.end(), s.second) != drops.end()) {
                s.fps = whole(play.fps * random.between(t.low, t.high) / 100.0);
            }
            break;
        case TroubleKind::NothingIn:
            s.packetsIn = 0;
            s.lostIn = 0;
            s.buffer = s.target + std::min(s.second - t.from, kBufferFillLimit);
            break;
        case TroubleKind::BufferAboveTarget:
            s.buffer = s.target + random.between(t.low, t.high);
            break;
        case TroubleKind::Outage:
            s.packetsIn = 0;
            s.lostIn = 0;
            s.packetsOut = s.packetsOut * random.between(t.low, t.high) / 100;
            s.lostOut = 0;
            break;
        case TroubleKind::PingLevel:
            s.ping = random.between(t.low, t.high) + jitter(play, random);
            s.latency = latencyFor(s.ping, play, random);
            break;
        case TroubleKind::FpsLevel:
            s.fps = random.between(t.low, t.high);
            break;
    }
}

bool kept(const MatchPlay& play, int second) {
    return play.onlySeconds.empty() || std::find(play.onlySeconds.begin(), play.onlySeconds.end(),
                                                 second) != play.onlySeconds.end();
}

}  // namespace

std::vector<PlaySecond> playSeconds(const MatchPlay& play) {
    // Two streams: laying a trouble over a match leaves its quiet seconds as they were.
    PlayRandom noise(play.seed);
    PlayRandom troubles(play.seed ^ 0x5DEECE66DULL);
    const std::vector<bool> blips = blipSeconds(play.seconds, noise);
    std::vector<std::vector<int>> drops;
    drops.reserve(play.troubles.size());
    for (const Trouble& t : play.troubles) {
        drops.push_back(t.kind == TroubleKind::Stutter ? stutterDrops(t, troubles)
                                                       : std::vector<int>{});
    }
    std::vector<PlaySecond> rows;
    for (int second = 0; second < play.seconds; ++second) {
        PlaySecond s = quietSecond(second, blips[static_cast<std::size_t>(second)], play, noise);
        for (std::size_t i = 0; i < play.troubles.size(); ++i) {
            const Trouble& t = play.troubles[i];
            if (second >= t.from && second < t.from + t.length) {
                apply(t, drops[i], play, s, troubles);
            }
        }
        if (play.finally) {
            play.finally(s);
        }
        if (kept(play, second)) {
            rows.push_back(s);
        }
    }
    return rows;
}

std::string performanceFile(const MatchPlay& play) {
    return std::string(Quorvel::Format::kHeaderLine) + performanceRows(play);
}

std::string performanceRows(const MatchPlay& play) {
    using namespace std::chrono;
    const sys_seconds start =
        sys_days{year{2026} / December / 8} + hours{18} + seconds{play.startSecond};
    std::string fixed;
    for (const std::string* text : {&play.userId, &play.matchGuid, &play.serverIp}) {
        fixed += ',';
        Quorvel::Format::appendCsvField(fixed, *text);
    }
    fixed += ",7777,13";
    std::string file;
    for (const PlaySecond& s : playSeconds(play)) {
        Quorvel::Format::appendUtcTimestamp(file, start + seconds{s.second});
        file += fixed;
        for (int value : {s.fps, s.ping, s.latency, s.packetsOut, s.packetsIn, s.lostOut, s.lostIn,
                          s.buffer, s.target}) {
            file += ',';
            file += std::to_string(value);
        }
        file += '\n';
    }
    return file;
}

}  // namespace QuorvelTest
