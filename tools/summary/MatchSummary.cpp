#include "MatchSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

namespace Quorvel::Summary {

namespace {

Distribution distributionOf(std::vector<double> values) {
    Distribution result;
    if (values.empty()) {
        return result;
    }
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values) {
        sum += v;
    }
    const std::size_t n = values.size();
    result.mean = sum / static_cast<double>(n);
    result.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    // Nearest rank: the smallest value with at least 95 % of the rows at or below it.
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(n)));
    result.p95 = values[std::max<std::size_t>(rank, 1) - 1];
    result.max = values.back();
    return result;
}

double percentOf(double part, double whole) {
    return whole > 0 ? 100.0 * part / whole : 0.0;
}

void decideVerdict(MatchSummary& s) {
    char reason[96];
    if (std::max(s.lossInPercent, s.lossOutPercent) >= kLossPercentLimit) {
        std::snprintf(reason, sizeof reason, "loss bursts (%.1f %% in, %.1f %% out)",
                      s.lossInPercent, s.lossOutPercent);
        s.verdict = "connection";
    } else if (s.ping.p95 >= kPingP95LimitMs) {
        std::snprintf(reason, sizeof reason, "high ping (p95 %.0f ms)", s.ping.p95);
        s.verdict = "connection";
    } else if (s.latency.median >= kLatencyMedianLimitMs) {
        std::snprintf(reason, sizeof reason, "high latency (median %.0f ms)", s.latency.median);
        s.verdict = "server";
    } else if (s.fpsLow1Percent < kFpsLowLimit) {
        std::snprintf(reason, sizeof reason, "low FPS (1 %% low %.0f)", s.fpsLow1Percent);
        s.verdict = "client";
    } else if (s.bufferMean - s.bufferTargetMean > kBufferExcessLimit) {
        std::snprintf(reason, sizeof reason, "input buffer above target (%.1f vs %.1f)",
                      s.bufferMean, s.bufferTargetMean);
        s.verdict = "client";
    } else {
        std::snprintf(reason, sizeof reason, "no problem found");
        s.verdict = "good";
    }
    s.reason = reason;
}

}  // namespace

std::string formatUtc(std::chrono::sys_seconds time) {
    using namespace std::chrono;
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

std::vector<std::vector<Sample>> splitMatches(const std::vector<Sample>& samples) {
    std::vector<std::vector<Sample>> matches;
    for (const Sample& sample : samples) {
        const bool startsMatch = matches.empty() ||
                                 sample.matchGuid != matches.back().back().matchGuid ||
                                 sample.time - matches.back().back().time > kMatchGap ||
                                 sample.time < matches.back().back().time;
        if (startsMatch) {
            matches.emplace_back();
        }
        matches.back().push_back(sample);
    }
    return matches;
}

MatchSummary summarize(const std::vector<Sample>& match) {
    MatchSummary s;
    if (match.empty()) {
        return s;
    }
    s.start = match.front().time;
    s.rows = match.size();
    s.matchGuid = match.front().matchGuid;
    s.server = match.front().serverIp + ":" + match.front().serverPort;
    s.playlist = match.front().playlist;

    std::vector<double> ping, latency, fps;
    double packetsIn = 0, packetsOut = 0, lostIn = 0, lostOut = 0, buffer = 0, target = 0;
    for (const Sample& row : match) {
        ping.push_back(row.ping);
        latency.push_back(row.latency);
        fps.push_back(row.fps);
        packetsIn += row.packetsIn;
        packetsOut += row.packetsOut;
        lostIn += row.lostPacketsIn;
        lostOut += row.lostPacketsOut;
        buffer += row.buffer;
        target += row.bufferTarget;
    }
    const auto n = static_cast<double>(match.size());
    s.ping = distributionOf(ping);
    s.latency = distributionOf(latency);
    s.lossInPercent = percentOf(lostIn, packetsIn);
    s.lossOutPercent = percentOf(lostOut, packetsOut);
    std::sort(fps.begin(), fps.end());
    const std::size_t lowCount = std::max<std::size_t>(1, fps.size() / 100);
    double lowSum = 0, fpsSum = 0;
    for (std::size_t i = 0; i < fps.size(); ++i) {
        fpsSum += fps[i];
        lowSum += i < lowCount ? fps[i] : 0;
    }
    s.fpsMean = fpsSum / n;
    s.fpsLow1Percent = lowSum / static_cast<double>(lowCount);
    s.bufferMean = buffer / n;
    s.bufferTargetMean = target / n;
    decideVerdict(s);
    return s;
}

std::vector<MatchSummary> summarizeLog(const PerformanceLog& log) {
    std::vector<MatchSummary> summaries;
    for (const auto& match : splitMatches(log.samples)) {
        summaries.push_back(summarize(match));
    }
    return summaries;
}

std::string formatTable(const std::vector<MatchSummary>& matches) {
    static constexpr const char* kRow =
        "%-19s  %6s  %-21s  %8s  %-19s  %-19s  %-11s  %-9s  %-10s  %s\n";
    std::string out;
    char line[640];
    std::snprintf(line, sizeof line, kRow, "start (UTC)", "length", "server", "playlist",
                  "ping mean/med/p95/max", "latency mean/med/p95/max", "loss in/out", "fps/1%low",
                  "buf/target", "verdict");
    out += line;
    for (const MatchSummary& m : matches) {
        char length[24], playlist[16], ping[48], latency[48], loss[32], fps[32], buffer[32],
            verdict[160];
        std::snprintf(length, sizeof length, "%zus", m.rows);
        std::snprintf(playlist, sizeof playlist, "%d", m.playlist);
        std::snprintf(ping, sizeof ping, "%.0f/%.0f/%.0f/%.0f ms", m.ping.mean, m.ping.median,
                      m.ping.p95, m.ping.max);
        std::snprintf(latency, sizeof latency, "%.0f/%.0f/%.0f/%.0f ms", m.latency.mean,
                      m.latency.median, m.latency.p95, m.latency.max);
        std::snprintf(loss, sizeof loss, "%.1f/%.1f %%", m.lossInPercent, m.lossOutPercent);
        std::snprintf(fps, sizeof fps, "%.0f/%.0f", m.fpsMean, m.fpsLow1Percent);
        std::snprintf(buffer, sizeof buffer, "%.1f/%.1f", m.bufferMean, m.bufferTargetMean);
        std::snprintf(verdict, sizeof verdict, "%s: %s", m.verdict.c_str(), m.reason.c_str());
        std::snprintf(line, sizeof line, kRow, formatUtc(m.start).c_str(), length, m.server.c_str(),
                      playlist, ping, latency, loss, fps, buffer, verdict);
        out += line;
    }
    return out;
}

std::string formatJson(const std::vector<MatchSummary>& matches) {
    auto distribution = [](const Distribution& d) {
        return nlohmann::json{
            {"mean", d.mean}, {"median", d.median}, {"p95", d.p95}, {"max", d.max}};
    };
    nlohmann::json all = nlohmann::json::array();
    for (const MatchSummary& m : matches) {
        all.push_back({{"start", formatUtc(m.start)},
                       {"durationSeconds", m.rows},
                       {"matchGuid", m.matchGuid},
                       {"server", m.server},
                       {"playlist", m.playlist},
                       {"pingMs", distribution(m.ping)},
                       {"latencyMs", distribution(m.latency)},
                       {"lossInPercent", m.lossInPercent},
                       {"lossOutPercent", m.lossOutPercent},
                       {"fpsMean", m.fpsMean},
                       {"fpsLow1Percent", m.fpsLow1Percent},
                       {"bufferMean", m.bufferMean},
                       {"bufferTargetMean", m.bufferTargetMean},
                       {"verdict", m.verdict},
                       {"reason", m.reason}});
    }
    // Texts come from the file as bytes; invalid UTF-8 is shown as U+FFFD rather than failing.
    return all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

}  // namespace Quorvel::Summary
