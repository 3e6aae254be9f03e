// Every rule of tools/rules/Thresholds.h on both sides of its limit: for each, a match
// (or a set of matches, or an event) just inside, which the rule must catch, and one
// just outside, which it must not. The values are worked out by hand from the rule,
// on matches whose quiet seconds are constant (ping 30 ms, latency 35 ms, FPS 144,
// 60 packets a second each way): their usual values are those.

#include <gtest/gtest.h>

#include <functional>

#include "EventRules.h"
#include "Thresholds.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Analysis;
namespace T = Quorvel::Thresholds;
using Rows = std::vector<SampleRow>;

Rows quietRows(int count, int first = 0) {
    return secondsOf(first, count, [](int s) { return SampleRow{.second = s}; });
}

Rows joined(Rows a, const Rows& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// `rows` with `change` made to those from second `from`, `count` of them.
Rows changed(Rows rows, int from, int count, const std::function<void(SampleRow&)>& change) {
    for (SampleRow& row : rows) {
        if (row.second >= from && row.second < from + count) {
            change(row);
        }
    }
    return rows;
}

// Rows whose Ping (or FPS) follows `values` over and over.
Rows cycling(int count, const std::vector<std::int64_t>& values, bool fps = false) {
    return secondsOf(0, count, [&](int s) {
        SampleRow row{.second = s};
        (fps ? row.fps : row.ping) = values[static_cast<std::size_t>(s) % values.size()];
        return row;
    });
}

const MatchReport& only(const Analyzed& a) {
    EXPECT_EQ(a.matches.size(), 1u);
    return a.matches.at(0);
}

// The match has an event of `kind` (that counts, when `counting`).
std::function<bool(const Analyzed&)> hasEvent(EventKind kind, bool counting = false) {
    return [kind, counting](const Analyzed& a) {
        const KindSummary& summary = only(a).events.kinds[kind];
        return counting ? summary.counting > 0 : summary.count > 0;
    };
}

std::function<bool(const Analyzed&)> reasonHas(const std::string& words) {
    return
        [words](const Analyzed& a) { return reasonOf(only(a)).find(words) != std::string::npos; };
}

struct FileRule {
    const char* rule;
    std::function<Rows(bool inside)> rows;
    std::function<bool(const Analyzed&)> holds;
};

// A match of constant pings but for one second at the end (so that the distribution is
// worked out easily): `spike` ms after `base`, cycled.
Rows endingIn(Rows rows, std::int64_t ping) {
    rows.push_back({.second = static_cast<int>(rows.size()), .ping = ping});
    return rows;
}

const std::vector<FileRule>& timeAndPingRules() {
    static const std::vector<FileRule> kRules = {
        {"kGap: a step of 3 s is a gap, of 2 s none",
         [](bool in) { return joined(quietRows(30), quietRows(30, in ? 32 : 31)); },
         [](const Analyzed& a) { return only(a).figures.gaps == 1; }},
        {"kEmptyGuidPause: rows without a GUID 31 s apart are two matches, 30 s one",
         [](bool in) {
             Rows rows = joined(quietRows(30), quietRows(30, in ? 60 : 59));
             for (SampleRow& r : rows) {
                 r.guid = "";
             }
             return rows;
         },
         [](const Analyzed& a) { return a.matches.size() == 2; }},
        {"kMatchPause: one GUID 901 s later is another match, 900 s later the same",
         [](bool in) { return joined(quietRows(30), quietRows(30, in ? 930 : 929)); },
         [](const Analyzed& a) { return a.matches.size() == 2; }},
        {"a GUID on another server is another match",
         [](bool in) {
             return joined(quietRows(30), changed(quietRows(30, 30), 30, 30, [in](SampleRow& r) {
                               r.serverIp = in ? "5.6.7.8" : r.serverIp;
                           }));
         },
         [](const Analyzed& a) { return a.matches.size() == 2; }},
        {"kSpikeFloorMs: 26 ms above the usual 30 is a spike, 25 none",
         [](bool in) { return endingIn(quietRows(60), in ? 56 : 55); },
         hasEvent(EventKind::PingSpike)},
        // 25/30/35 ms: median 30, deviation 5 (sigma 7.413), usual 25: the line 54.65.
        {"kSpikeSigmas: 4 sigma above the usual is a spike, just under none",
         [](bool in) {
             return endingIn(cycling(60, {25, 30, 35}), in ? 55 : 54);
         },
         hasEvent(EventKind::PingSpike)},
        // 10/30/50 ms: sigma 29.65 would put the line 118.6 ms above; the ceiling, 75.
        {"kSpikeCeilingMs: 76 ms above the usual is a spike however wide the spread",
         [](bool in) {
             return endingIn(cycling(60, {10, 30, 50}), in ? 86 : 85);
         },
         hasEvent(EventKind::PingSpike)},
        {"kFeltSpikeMs, kSignificantSeconds: 2 s at 50 ms above the usual count, at 49 not",
         [](bool in) {
             return changed(quietRows(60), 30, 2, [in](SampleRow& r) { r.ping = in ? 80 : 79; });
         },
         hasEvent(EventKind::PingSpike, true)},
        {"kSignificantSeconds: 2 felt seconds of a spike count, 1 not",
         [](bool in) {
             return changed(quietRows(60), 30, in ? 2 : 1, [](SampleRow& r) { r.ping = 80; });
         },
         hasEvent(EventKind::PingSpike, true)},
        {"kSevereSpikeMs: a peak 150 ms above the usual counts alone, 149 not",
         [](bool in) { return endingIn(quietRows(60), in ? 180 : 179); },
         hasEvent(EventKind::PingSpike, true)},
        {"kJumpMs: ping swinging by 20 ms is unstable, by 19 not",
         [](bool in) {
             return changed(quietRows(100), 30, 40, [in](SampleRow& r) {
                 r.ping = r.second % 2 == 0 ? 30 : (in ? 50 : 49);
             });
         },
         hasEvent(EventKind::UnstablePing)},
        // Jumps at every other second: 10 of any 20; in the other, 9 (none at the 19th).
        {"kUnstableJumps, kUnstableWindowSeconds: 10 jumps in 20 s are unstable, 9 not",
         [](bool in) {
             Rows rows = quietRows(120);
             std::int64_t ping = 30;
             for (SampleRow& r : rows) {
                 const int place = r.second % 20;
                 if (place % 2 == 0 && (in || place != 18)) {
                     ping = ping == 30 ? 50 : 30;
                 }
                 r.ping = ping;
             }
             return rows;
         },
         hasEvent(EventKind::UnstablePing)},
        // A quarter of the seconds at 30 ms, the rest at 140: the usual is 30 while they
        // are a quarter (nearest rank), 140 when fewer.
        {"kUsualShare: a step filling three quarters of a match is a trouble, more not",
         [](bool in) {
             return changed(quietRows(100), in ? 25 : 24, 100, [](SampleRow& r) { r.ping = 140; });
         },
         hasEvent(EventKind::PingSpike, true)},
        {"kHighPingP95Ms: ping at 150 throughout is high, at 149 not",
         [](bool in) {
             return changed(quietRows(60), 0, 60, [in](SampleRow& r) {
                 r.ping = in ? 150 : 149;
                 r.latency = r.ping + 5;
             });
         },
         reasonHas("ping high throughout")},
    };
    return kRules;
}

const std::vector<FileRule>& serverAndPacketRules() {
    static const std::vector<FileRule> kRules = {
        {"kHiccupExcessMs: latency 50 ms further above ping than usual is a hiccup, 49 not",
         [](bool in) {
             return changed(quietRows(60), 30, 3, [in](SampleRow& r) { r.latency = in ? 85 : 84; });
         },
         hasEvent(EventKind::ServerHiccup)},
        // Latency 20 ms below ping throughout: measured from latency = ping, not from -20.
        {"kPlayLatencyAbovePingMs: the usual excess is never below 0",
         [](bool in) {
             Rows rows = changed(quietRows(60), 0, 60, [](SampleRow& r) { r.latency = 10; });
             return changed(rows, 30, 3, [in](SampleRow& r) { r.latency = in ? 80 : 79; });
         },
         hasEvent(EventKind::ServerHiccup)},
        {"kHighLatencyMedianMs: latency 120 ms throughout with ping 30 is the server's, 119 not",
         [](bool in) {
             return changed(quietRows(60), 0, 60,
                            [in](SampleRow& r) { r.latency = in ? 120 : 119; });
         },
         reasonHas("latency 120 ms (median)")},
        {"kHiccupExcessMs (whole match): latency 130 with ping 80 is high, with ping 81 not",
         [](bool in) {
             return changed(quietRows(60), 0, 60, [in](SampleRow& r) {
                 r.latency = 130;
                 r.ping = in ? 80 : 81;
             });
         },
         reasonHas("while ping is")},
        {"kStallInShare: 12 packets in of the usual 60 is nothing coming in, 13 not",
         [](bool in) {
             return changed(quietRows(60), 30, 3,
                            [in](SampleRow& r) { r.packetsIn = in ? 12 : 13; });
         },
         hasEvent(EventKind::NothingIn)},
        {"kPlayPacketsPerSecond: 2 packets in throughout is nothing coming in, 3 not",
         [](bool in) {
             return changed(quietRows(60), 0, 60, [in](SampleRow& r) { r.packetsIn = in ? 2 : 3; });
         },
         hasEvent(EventKind::NothingIn, true)},
        {"kStallOutShare: nothing in while 30 of 60 go out is an outage, 31 nothing coming in",
         [](bool in) {
             return changed(quietRows(60), 30, 3, [in](SampleRow& r) {
                 r.packetsIn = 0;
                 r.packetsOut = in ? 30 : 31;
             });
         },
         hasEvent(EventKind::Outage)},
        {"kOutageSecondsShare: packets out down in 2 of 4 seconds is an outage, in 1 not",
         [](bool in) {
             return changed(quietRows(60), 30, 4, [in](SampleRow& r) {
                 r.packetsIn = 0;
                 r.packetsOut = r.second < (in ? 32 : 31) ? 0 : 60;
             });
         },
         hasEvent(EventKind::Outage)},
        {"kSignificantSeconds: an outage of 2 s counts, of 1 s not",
         [](bool in) {
             return changed(quietRows(60), 30, in ? 2 : 1, [](SampleRow& r) {
                 r.packetsIn = 0;
                 r.packetsOut = 0;
             });
         },
         hasEvent(EventKind::Outage, true)},
        {"kBurstLossPercent: a second losing 6 of 60 packets counts, 5 not",
         [](bool in) {
             return changed(quietRows(60), 30, 1, [in](SampleRow& r) { r.lostIn = in ? 6 : 5; });
         },
         hasEvent(EventKind::LossBurst, true)},
        // 100 s of 60 packets in: 120 lost is 2 %. Lone seconds losing 5, 4 s apart: never
        // steady loss (at most 8 lossy seconds in 30).
        {"kMatchLossPercent: small bursts count in a match that lost 2 %, not at 1.98 %",
         [](bool in) {
             return changed(quietRows(100), 0, 96, [in](SampleRow& r) {
                 r.lostIn = r.second % 4 != 0 ? 0 : (!in && r.second == 0 ? 4 : 5);
             });
         },
         hasEvent(EventKind::LossBurst, true)},
        {"kSteadyLossPercent: a packet of 50 lost every second is steady loss, of 51 not",
         [](bool in) {
             return changed(quietRows(100), 30, 40, [in](SampleRow& r) {
                 r.packetsIn = in ? 50 : 51;
                 r.lostIn = 1;
             });
         },
         hasEvent(EventKind::SteadyLoss, true)},
        {"kSteadyLossSeconds: loss every second for 30 s is steady loss, for 29 s not",
         [](bool in) {
             return changed(quietRows(100), 30, in ? 30 : 29, [](SampleRow& r) { r.lostIn = 6; });
         },
         hasEvent(EventKind::SteadyLoss)},
        // Loss in 15 of every 30 seconds (every other one), or in 14 (none at the 29th).
        {"kSteadyLossSecondsShare: loss in half of the seconds is steady, in fewer not",
         [](bool in) {
             return changed(quietRows(150), 30, 90, [in](SampleRow& r) {
                 const int place = (r.second - 30) % 30;
                 r.lostIn = place % 2 == 0 && (in || place != 28) ? 4 : 0;
             });
         },
         hasEvent(EventKind::SteadyLoss)},
    };
    return kRules;
}

// One second of FPS `fps` at second `at`.
Rows fpsAt(Rows rows, int at, std::int64_t fps, int count = 1) {
    return changed(std::move(rows), at, count, [fps](SampleRow& r) { r.fps = fps; });
}

const std::vector<FileRule>& frameAndEvidenceRules() {
    static const std::vector<FileRule> kRules = {
        {"kDropFloorShare: FPS under 75 % of the usual 144 is a drop, at 108 not",
         [](bool in) { return fpsAt(quietRows(60), 30, in ? 107 : 108); },
         hasEvent(EventKind::FpsDrop)},
        // 130/144/158 FPS: median 144, deviation 14 (sigma 20.76), usual 158: line 74.97.
        {"kDropSigmas: FPS 4 sigma under the usual is a drop, just over it not",
         [](bool in) {
             Rows rows = cycling(60, {130, 144, 158}, true);
             rows.push_back({.second = 60, .fps = in ? 74 : 75});
             return rows;
         },
         hasEvent(EventKind::FpsDrop)},
        {"kFeltDropShare: 2 s at half the usual FPS count, at 73 not",
         [](bool in) { return fpsAt(quietRows(60), 30, in ? 72 : 73, 2); },
         hasEvent(EventKind::FpsDrop, true)},
        {"kLowFps: a drop below 30 FPS counts alone, to 30 not",
         [](bool in) { return fpsAt(quietRows(60), 30, in ? 29 : 30); },
         hasEvent(EventKind::FpsDrop, true)},
        {"kLowFps (whole match): a median of 29 FPS is low throughout, of 30 not",
         [](bool in) { return fpsAt(quietRows(60), 0, in ? 29 : 30, 60); },
         reasonHas("low FPS throughout")},
        {"kStutterDropSeconds: three drops of 2 s are stutter, of 3 s not",
         [](bool in) {
             Rows rows = quietRows(90);
             for (int at : {10, 25, 40}) {
                 rows = fpsAt(rows, at, 60, in ? 2 : 3);
             }
             return rows;
         },
         hasEvent(EventKind::Stutter)},
        {"kStutterDrops: three short drops are stutter, two not",
         [](bool in) {
             Rows rows = fpsAt(fpsAt(quietRows(90), 10, 60), 25, 60);
             return in ? fpsAt(rows, 40, 60) : rows;
         },
         hasEvent(EventKind::Stutter)},
        {"kStutterGapSeconds: drops 30 s apart are one stutter, 31 s apart not",
         [](bool in) {
             const int step = in ? 31 : 32;
             return fpsAt(fpsAt(fpsAt(quietRows(120), 10, 60), 10 + step, 60), 10 + 2 * step, 60);
         },
         hasEvent(EventKind::Stutter)},
        // Four drops, two (or one) of them inside 4 s with nothing coming in.
        {"kExplainedShare: stutter half inside a stall is the stall's, a quarter not",
         [](bool in) {
             Rows rows = changed(quietRows(90), 20, 4, [](SampleRow& r) { r.packetsIn = 0; });
             for (int at : {in ? 21 : 10, 23, 35, 45}) {
                 rows = fpsAt(rows, at, 60);
             }
             return rows;
         },
         [](const Analyzed& a) {
             const KindSummary& stutter = only(a).events.kinds[EventKind::Stutter];
             return stutter.count == 1 && stutter.counting == 0;
         }},
        {"kBufferExcessFrames: 2 frames above the target for 3 s count, 1 not",
         [](bool in) {
             return changed(quietRows(60), 30, 3, [in](SampleRow& r) { r.buffer = in ? 4 : 3; });
         },
         hasEvent(EventKind::BufferAboveTarget, true)},
        {"kBufferRunSeconds: a full buffer for 3 s counts, for 2 s not",
         [](bool in) {
             return changed(quietRows(60), 30, in ? 3 : 2, [](SampleRow& r) { r.buffer = 5; });
         },
         hasEvent(EventKind::BufferAboveTarget, true)},
        {"kEvidenceSeconds: 30 quiet seconds are good, 29 incomplete",
         [](bool in) { return quietRows(in ? 30 : 29); },
         [](const Analyzed& a) { return only(a).verdict.cause == Cause::Good; }},
        {"kEvidenceShare: rows for half the span are enough, for less not",
         [](bool in) { return joined(quietRows(20), quietRows(20, in ? 60 : 61)); },
         [](const Analyzed& a) { return only(a).verdict.cause == Cause::Good; }},
        {"kEvidenceShare: Ping in half the seconds is enough, in fewer not",
         [](bool in) {
             return changed(quietRows(60), 0, in ? 30 : 31,
                            [](SampleRow& r) { r.ping = kNoValue; });
         },
         [](const Analyzed& a) { return only(a).verdict.cause == Cause::Good; }},
    };
    return kRules;
}

void expectEachSide(const std::vector<FileRule>& rules) {
    for (const FileRule& rule : rules) {
        for (const bool inside : {true, false}) {
            const Analyzed a = analyze(performanceCsv(rule.rows(inside)));
            ASSERT_FALSE(a.matches.empty()) << rule.rule;
            EXPECT_EQ(rule.holds(a), inside)
                << rule.rule << (inside ? " (just inside)" : " (just outside)") << ": "
                << reasonOf(a.matches[0]);
        }
    }
}

TEST(Thresholds, TimeAndPingRulesHoldJustInsideTheirLimitsAndNotOutside) {
    expectEachSide(timeAndPingRules());
}

TEST(Thresholds, ServerAndPacketRulesHoldJustInsideTheirLimitsAndNotOutside) {
    expectEachSide(serverAndPacketRules());
}

TEST(Thresholds, FrameAndEvidenceRulesHoldJustInsideTheirLimitsAndNotOutside) {
    expectEachSide(frameAndEvidenceRules());
}

// The rules that decide on an event once it is found.
TEST(Thresholds, UnstablePingCountsFromItsLengthAndSwing) {
    const auto counts = [](std::int64_t seconds, double meanChange) {
        const Event e{{0, {}, seconds, static_cast<std::size_t>(seconds)},
                      UnstablePing{meanChange, 40, 30, 90}};
        return largeEnoughToCount(e, 0);
    };
    EXPECT_TRUE(counts(T::kUnstableFeltSeconds, T::kUnstableFeltChangeMs));
    EXPECT_FALSE(counts(T::kUnstableFeltSeconds - 1, T::kUnstableFeltChangeMs));
    EXPECT_FALSE(counts(T::kUnstableFeltSeconds, T::kUnstableFeltChangeMs - 0.01));
}

// Matches of 100 quiet seconds on `servers` servers in turn, with the first `lossy` of
// them losing 6 packets a second for 5 s.
struct Played {
    int matches = 0;
    int lossy = 0;
    int servers = 0;
};

Quorvel::Analysis::Conclusion concludeOn(const Played& played) {
    const auto& [matches, lossy, servers] = played;
    Rows rows;
    for (int m = 0; m < matches; ++m) {
        for (SampleRow r : quietRows(100, m * 200)) {
            r.guid = "M" + std::to_string(m);
            r.serverIp = "10.0.0." + std::to_string(m % servers);
            const int into = r.second - m * 200;
            r.lostIn = m < lossy && into >= 50 && into < 55 ? 6 : 0;
            rows.push_back(r);
        }
    }
    const Analyzed a = analyze(performanceCsv(rows));
    EXPECT_EQ(a.result.conclusions.size(), 1u);
    return a.result.conclusions.at(0);
}

TEST(Thresholds, TheAnswerAcrossMatchesNeedsThreeMatchesAndAProblemInHalf) {
    using Side = Quorvel::Analysis::Conclusion::Side;
    // kConclusionMatches: three matches with a verdict, not two.
    EXPECT_NE(concludeOn({.matches = 3, .lossy = 3, .servers = 3}).side, Side::NotEnough);
    EXPECT_EQ(concludeOn({.matches = 2, .lossy = 2, .servers = 2}).side, Side::NotEnough);
    // kConclusionShare: loss in exactly half of the matches and servers is the player's.
    const Quorvel::Analysis::Conclusion half = concludeOn({.matches = 4, .lossy = 2, .servers = 4});
    EXPECT_EQ(half.side, Side::Connection) << textOf(half);
    EXPECT_EQ(textOf(half), "loss in 2 of 4 matches, on 2 of 4 servers: your connection");
    EXPECT_EQ(concludeOn({.matches = 5, .lossy = 2, .servers = 5}).side, Side::Good);
}

TEST(Thresholds, EventsListedPerKindStopAtTheLimitAndKeepTheWorst) {
    const auto spikes = [](int count) {
        Rows rows = quietRows(count * 5 + 10);
        for (std::size_t k = 0; k < static_cast<std::size_t>(count); ++k) {
            rows[5 + 5 * k].ping = k == 0 ? 200 : 100;
        }
        return only(analyze(performanceCsv(rows))).events;
    };
    const auto listed = [](const MatchEvents& events) {
        return std::count_if(events.events.begin(), events.events.end(),
                             [](const Event& e) { return e.kind() == EventKind::PingSpike; });
    };
    const MatchEvents all = spikes(static_cast<int>(T::kEventsKeptPerKind));
    EXPECT_EQ(all.count(EventKind::PingSpike), T::kEventsKeptPerKind);
    EXPECT_EQ(static_cast<std::size_t>(listed(all)), T::kEventsKeptPerKind);
    const MatchEvents more = spikes(static_cast<int>(T::kEventsKeptPerKind) + 1);
    EXPECT_EQ(more.count(EventKind::PingSpike), T::kEventsKeptPerKind + 1);
    EXPECT_EQ(static_cast<std::size_t>(listed(more)), T::kEventsKeptPerKind);
}

}  // namespace
}  // namespace QuorvelTest
