#pragma once

// Every rule the report applies to a match, in one place; the README's table lists
// the same names and values.

#include <chrono>
#include <cstddef>

namespace Quorvel::Thresholds {

// --- Matches and time
// Rows of a match are one second apart; a forward step longer than this between two
// rows is a gap in the recording (counted and shown, the match goes on).
inline constexpr std::chrono::seconds kGap{2};
// Rows without a MatchGUID cannot be told apart by it: a pause longer than this
// between two of them starts a new match.
inline constexpr std::chrono::seconds kEmptyGuidPause{30};

// --- What a second is measured against: the match's own median and its spread, the
// median absolute deviation scaled to a standard deviation (x 1.4826).
inline constexpr double kMadToSigma = 1.4826;

// --- Events, found second by second
// Ping spike: Ping above median + max(4 sigma, 25 ms).
inline constexpr double kSpikeSigmas = 4.0;
inline constexpr double kSpikeFloorMs = 25.0;
// FPS drop: FPS below median - max(4 sigma, 25 % of the median).
inline constexpr double kDropSigmas = 4.0;
inline constexpr double kDropFloorShare = 0.25;
// Loss burst: consecutive seconds with lost packets, in or out.
// Input buffer above target: Buffer at least this many frames above BufferTarget ...
inline constexpr int kBufferExcessFrames = 2;
// ... for at least this many seconds in a row.
inline constexpr int kBufferRunSeconds = 3;
// No value: consecutive seconds in which any statistic has no value.

// --- What makes an event count in the verdict
// A ping spike that lasts this long and peaks kFeltSpikeMs above the match's median,
// or one that peaks kSevereSpikeMs above it whatever its length.
inline constexpr int kSignificantSeconds = 2;
inline constexpr double kFeltSpikeMs = 50.0;
inline constexpr double kSevereSpikeMs = 100.0;
// An FPS drop that lasts kSignificantSeconds down to this share of the match's median
// FPS, or one that goes below kLowFps whatever its length.
inline constexpr double kFeltDropShare = 0.5;
inline constexpr double kLowFps = 30.0;
// A loss burst in which one second lost this share of its packets, in or out ...
inline constexpr double kBurstLossPercent = 10.0;
// ... or any loss burst in a match that lost this share of its packets overall.
inline constexpr double kMatchLossPercent = 2.0;

// --- Whole-match limits
// Ping: 95th percentile at or above this is a connection problem.
inline constexpr double kHighPingP95Ms = 150.0;
// Latency: a median at or above this while Ping is normal is the server's side.
inline constexpr double kHighLatencyMedianMs = 120.0;
// FPS: a median below kLowFps (low throughout) is the computer's side.

// --- Evidence
// "No problem found" needs each statistic present in at least this share of rows.
inline constexpr double kEvidenceShare = 0.5;

// --- Lists
// Events kept per kind and match (all are counted).
inline constexpr std::size_t kEventsKeptPerKind = 50;

}  // namespace Quorvel::Thresholds
