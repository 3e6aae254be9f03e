#pragma once

// Every rule the report applies, in one place; the README's table lists the same names
// and values, and the page shows them.

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
// A match is one MatchGUID on one server in one stretch of time: rows of its GUID after a
// pause longer than this (or on another server) start a new match, and rows of one match
// in several files (earlier sessions, a copy, a crash journal) are joined when they lie
// within this of each other. Longer than a reconnect after a crash and a restart of the
// game; far shorter than the hours before a server hands out a GUID again.
inline constexpr std::chrono::minutes kMatchPause{15};

// --- What a second is measured against: the match's usual value and its spread, the
// median absolute deviation scaled to a standard deviation (x 1.4826).
inline constexpr double kMadToSigma = 1.4826;
// The usual value is taken from the calm seconds: the middle of the better half of the
// match, the 25th percentile of Ping and of Latency - Ping, the 75th of FPS and of the
// packets a second. A trouble that fills most of a match (up to three quarters of it) is
// then measured against the seconds without it, never taken for its normal.
inline constexpr double kUsualShare = 0.25;
// Floors from what play is like, whatever a match's own seconds say: a game in a match
// exchanges at least this many packets a second each way ...
inline constexpr double kPlayPacketsPerSecond = 10.0;
// ... and Latency is not usually below Ping.
inline constexpr double kPlayLatencyAbovePingMs = 0.0;

// --- Events, found second by second
// Ping spike: Ping above usual + max(4 sigma, 25 ms), the margin at most 75 ms: a match
// whose ping swings widely has its swings named as unstable ping, not hidden by them.
inline constexpr double kSpikeSigmas = 4.0;
inline constexpr double kSpikeFloorMs = 25.0;
inline constexpr double kSpikeCeilingMs = 75.0;
// Unstable ping: a second whose Ping differs from the one before by this much jumps ...
inline constexpr double kJumpMs = 20.0;
// ... and a second is unstable when this many of the 20 seconds around it jumped (a lone
// blip makes two jumps: never enough).
inline constexpr int kUnstableWindowSeconds = 20;
inline constexpr int kUnstableJumps = 10;
// ... and it stays unstable while more than this many do (hardly any, a quarter of
// kUnstableJumps), so a stretch of swinging ping is one stretch.
inline constexpr int kUnstableStayJumps = kUnstableJumps / 4;
// FPS drop: FPS below usual - max(4 sigma, 25 % of the usual).
inline constexpr double kDropSigmas = 4.0;
inline constexpr double kDropFloorShare = 0.25;
// Stutter: FPS drops of at most this length ...
inline constexpr int kStutterDropSeconds = 2;
// ... at least this many of them, each within this many seconds of the one before.
inline constexpr int kStutterDrops = 3;
inline constexpr int kStutterGapSeconds = 30;
// Server hiccup: Latency above Ping by this much more than the match's usual
// difference (Ping stays where it was: the delay is the server's).
inline constexpr double kHiccupExcessMs = 50.0;
// Nothing coming in: PacketsIn at or below this share of the usual, whatever PacketsOut
// does. When PacketsOut is at or below this share of its usual in at least half of
// those seconds, both directions stopped: an outage (the player's side); when it held,
// the server stopped sending.
inline constexpr double kStallInShare = 0.2;
inline constexpr double kStallOutShare = 0.5;
inline constexpr double kOutageSecondsShare = 0.5;
// Loss burst: consecutive seconds with lost packets, in or out.
// Steady loss: a stretch of at least this many seconds ...
inline constexpr int kSteadyLossSeconds = 30;
// ... every window of which lost this share of its packets, in or out ...
inline constexpr double kSteadyLossPercent = 2.0;
// ... with packets lost in at least this share of its seconds (second after second, not
// one burst).
inline constexpr double kSteadyLossSecondsShare = 0.5;
// Input buffer above target: Buffer at least this many frames above BufferTarget ...
inline constexpr int kBufferExcessFrames = 2;
// ... for at least this many seconds in a row.
inline constexpr int kBufferRunSeconds = 3;
// No value: consecutive seconds in which any statistic has no value (a negative
// statistic is none: no statistic can be below zero).

// --- What makes an event count in the verdict
// A ping spike with this many seconds at least kFeltSpikeMs above the match's usual,
// or one that peaks kSevereSpikeMs above it whatever its length.
inline constexpr int kSignificantSeconds = 2;
inline constexpr double kFeltSpikeMs = 50.0;
inline constexpr double kSevereSpikeMs = 150.0;
// An FPS drop with kSignificantSeconds seconds at or below this share of the match's
// usual FPS, or one that goes below kLowFps whatever its length.
inline constexpr double kFeltDropShare = 0.5;
inline constexpr double kLowFps = 30.0;
// A loss burst in which one second lost this share of its packets, in or out ...
inline constexpr double kBurstLossPercent = 10.0;
// ... or any loss burst in a match that lost this share of its packets overall.
inline constexpr double kMatchLossPercent = 2.0;
// Unstable ping that lasts this long, Ping changing this much a second on average.
inline constexpr int kUnstableFeltSeconds = 10;
inline constexpr double kUnstableFeltChangeMs = 12.0;
// Stutter: kStutterDrops drops or more (always counts).
// A server hiccup, nothing coming in or an outage that lasts kSignificantSeconds.
// Steady loss always counts (it is found only when felt); the loss bursts in it are its
// own, not counted apart.
// Stutter is a stall's, a loss burst's or a spike's when they cover this share of its
// drops.
inline constexpr double kExplainedShare = 0.5;

// --- Whole-match limits
// Ping: 95th percentile at or above this is a connection problem.
inline constexpr double kHighPingP95Ms = 150.0;
// Latency: a median at or above this, at least kHiccupExcessMs above the median Ping,
// while Ping is normal, is the server's side.
inline constexpr double kHighLatencyMedianMs = 120.0;
// FPS: a median below kLowFps (low throughout) is the computer's side.

// --- Evidence
// "No problem found" needs at least this many seconds recorded ...
inline constexpr std::size_t kEvidenceSeconds = 30;
// ... rows for at least this share of the seconds the match spans, and each statistic
// (the loss figures: usable ones, no more lost than counted) in this share of the rows.
inline constexpr double kEvidenceShare = 0.5;

// --- Across matches
// A conclusion needs this many matches with a verdict (not incomplete) ...
inline constexpr std::size_t kConclusionMatches = 3;
// ... and a problem in at least this share of them (or of one server's) to name a side.
inline constexpr double kConclusionShare = 0.5;
// The connection is named from its problems on at least this many servers; one server
// from problems in at least this many of its matches, with at least this many matches
// played elsewhere.
inline constexpr std::size_t kConclusionServers = 2;
inline constexpr std::size_t kConclusionServerMatches = 2;

// --- Lists
// Events listed per kind and match: the first ones and the worst (all are counted, and
// counts, the worst and the verdict cover every event).
inline constexpr std::size_t kEventsKeptPerKind = 200;

}  // namespace Quorvel::Thresholds
