#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "PerformanceLog.h"

namespace Quorvel::Summary {

// Rows are one second apart, so a new match starts where the MatchGUID changes or
// where more than this many seconds pass between two rows.
inline constexpr std::chrono::seconds kMatchGap{5};

// Verdict thresholds; the first that applies decides.
inline constexpr double kLossPercentLimit = 2.0;        // packets lost, in or out
inline constexpr double kPingP95LimitMs = 150.0;        // 95th percentile of Ping
inline constexpr double kLatencyMedianLimitMs = 120.0;  // median of Latency
inline constexpr double kFpsLowLimit = 30.0;            // 1 % low FPS
inline constexpr double kBufferExcessLimit = 2.0;       // mean Buffer above mean BufferTarget

struct Distribution {
    double mean = 0;
    double median = 0;
    double p95 = 0;
    double max = 0;
};

struct MatchSummary {
    std::chrono::sys_seconds start;
    std::size_t rows = 0;
    std::string matchGuid;
    std::string server;  // host:port
    std::int32_t playlist = 0;
    Distribution ping;
    Distribution latency;
    double lossInPercent = 0;
    double lossOutPercent = 0;
    double fpsMean = 0;
    double fpsLow1Percent = 0;  // mean of the lowest 1 % of FPS rows (at least one)
    double bufferMean = 0;
    double bufferTargetMean = 0;
    std::string verdict;  // good, connection, server or client
    std::string reason;
};

// Groups consecutive rows into matches.
std::vector<std::vector<Sample>> splitMatches(const std::vector<Sample>& samples);

MatchSummary summarize(const std::vector<Sample>& match);

std::vector<MatchSummary> summarizeLog(const PerformanceLog& log);

// A fixed-width table with one line per match.
std::string formatTable(const std::vector<MatchSummary>& matches);

// The summaries as a JSON array.
std::string formatJson(const std::vector<MatchSummary>& matches);

std::string formatUtc(std::chrono::sys_seconds time);

}  // namespace Quorvel::Summary
