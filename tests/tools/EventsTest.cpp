// Events and verdicts on small hand-worked matches: what went wrong, when, how badly,
// and whose side it was on.

#include <gtest/gtest.h>

#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Analysis;
using Quorvel::Read::Input;

// The worst second of an event, whatever its kind: what each kind names its worst.
double worstOf(const Event& e) {
    if (const auto* spike = std::get_if<PingSpike>(&e.what)) {
        return spike->worstMs;
    }
    if (const auto* burst = std::get_if<LossBurst>(&e.what)) {
        return std::max(burst->worstLostInPerSecond, burst->worstLostOutPerSecond);
    }
    if (const auto* drop = std::get_if<FpsDrop>(&e.what)) {
        return drop->worstFps;
    }
    if (const auto* buffer = std::get_if<BufferAboveTarget>(&e.what)) {
        return buffer->worstBuffer;
    }
    return 0;
}

struct ExpectedEvent {
    EventKind kind;
    std::int64_t offset;
    std::int64_t length;
    double worst;
};

struct EventCase {
    const char* what;
    std::function<void(SampleRow&)> change;  // applied to each of 60 quiet seconds
    std::vector<ExpectedEvent> events;
    std::string verdict;
};

// A quiet second: ping 29..33 ms, FPS 142..146, nothing lost. The usual values, from
// the better half of the seconds: ping 30 ms, FPS 145.
SampleRow quiet(int s) {
    return {.second = s, .fps = 142 + s % 5, .ping = 29 + s % 5, .latency = 35};
}

bool within(int s, int from, int to) {
    return s >= from && s < to;
}

TEST(Events, AreFoundSecondBySecondAndTheVerdictPointsAtTheWorst) {
    const EventCase cases[] = {
        {"a quiet match", [](SampleRow&) {}, {}, "good: no problem found"},
        {"a loss burst",
         [](SampleRow& r) { r.lostIn = within(r.second, 20, 25) ? 12 : 0; },
         {{EventKind::LossBurst, 20, 5, 12}},
         "connection: 1 loss burst, worst 0:20\u20130:25, 12 packets a second lost coming in"},
        {"a ping spike",
         [](SampleRow& r) { r.ping = within(r.second, 30, 33) ? 200 : r.ping; },
         {{EventKind::PingSpike, 30, 3, 200}},
         "connection: 1 ping spike, worst 0:30\u20130:33, up to 200 ms (typical 30 ms)"},
        {"a small ping spike",  // 41 ms above the usual 30 for 1 s: listed, not a problem
         [](SampleRow& r) { r.ping = r.second == 30 ? 71 : r.ping; },
         {{EventKind::PingSpike, 30, 1, 71}},
         "good: no problem found; 1 short ping blip of 41 ms above typical, under the limits "
         "(50 ms for 2 s, or 150 ms)"},
        {"an FPS drop with a normal ping",
         [](SampleRow& r) { r.fps = within(r.second, 40, 45) ? 40 : r.fps; },
         {{EventKind::FpsDrop, 40, 5, 40}},
         "computer: 1 FPS drop, worst 0:40\u20130:45, down to 40 FPS (typical 145)"},
        {"an FPS drop inside a loss burst",
         [](SampleRow& r) {
             r.lostIn = within(r.second, 10, 15) ? 12 : 0;
             r.fps = within(r.second, 11, 14) ? 40 : r.fps;
         },
         {{EventKind::LossBurst, 10, 5, 12}, {EventKind::FpsDrop, 11, 3, 40}},
         "connection: 1 loss burst, worst 0:10\u20130:15, 12 packets a second lost coming in"},
        {"a high latency with a normal ping",
         [](SampleRow& r) { r.latency = 150; },
         {},
         "server: latency 150 ms (median) while ping is 31 ms"},
        {"the input buffer above its target",
         [](SampleRow& r) { r.buffer = within(r.second, 5, 15) ? 5 : 2; },
         {{EventKind::BufferAboveTarget, 5, 10, 5}},
         "computer: input buffer above target for 10 s, worst 0:05\u20130:15, 5 frames against a "
         "target of 2"},
        {"Ping missing for a while",
         [](SampleRow& r) { r.ping = within(r.second, 10, 15) ? kNoValue : r.ping; },
         {{EventKind::NoValue, 10, 5, 0}},
         "good: no problem found"},
        {"Ping missing throughout",
         [](SampleRow& r) { r.ping = kNoValue; },
         {{EventKind::NoValue, 0, 60, 0}},
         "incomplete: no verdict without Ping (missing in more than half of the seconds)"},
        {"a gap in the recording",
         [](SampleRow& r) { r.second += r.second >= 30 ? 20 : 0; },
         {{EventKind::NotRecorded, 30, 20, 0}},
         "good: no problem found"},
        {"a gap in the recording ends a run",  // lost packets before and after 20 s unrecorded
         [](SampleRow& r) {
             r.lostIn = within(r.second, 27, 33) ? 12 : 0;
             r.second += r.second >= 30 ? 20 : 0;
         },
         {{EventKind::LossBurst, 27, 3, 12},
          {EventKind::NotRecorded, 30, 20, 0},
          {EventKind::LossBurst, 50, 3, 12}},
         "connection: 2 loss bursts, worst 0:27\u20130:30, 12 packets a second lost coming in"},
    };
    for (const EventCase& c : cases) {
        std::vector<SampleRow> rows;
        for (int s = 0; s < 60; ++s) {
            rows.push_back(quiet(s));
            c.change(rows.back());
        }
        const Analyzed a = analyze(performanceCsv(rows));
        ASSERT_EQ(a.matches.size(), 1u) << c.what;
        const MatchReport& m = a.matches[0];
        EXPECT_EQ(reasonOf(m), c.verdict) << c.what;
        ASSERT_EQ(m.events.events.size(), c.events.size()) << c.what;
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            const Event& e = m.events.events[i];
            EXPECT_EQ(e.kind(), c.events[i].kind) << c.what;
            EXPECT_EQ(e.when.offset, c.events[i].offset) << c.what;
            EXPECT_EQ(e.when.lengthSeconds, c.events[i].length) << c.what;
            EXPECT_EQ(worstOf(e), c.events[i].worst) << c.what;
            EXPECT_EQ(e.when.clock, m.figures.start + std::chrono::seconds{e.when.offset})
                << c.what;
        }
    }
}

TEST(Events, SeveralFilesGiveOneServerTable) {
    // Two players' files; three matches on two servers, one of them with a loss burst.
    auto match = [](int start, const std::string& guid, const std::string& ip, int ping,
                    bool lossy) {
        std::vector<SampleRow> rows;
        for (int s = start; s < start + 100; ++s) {
            SampleRow r = quiet(s);
            r.guid = guid;
            r.serverIp = ip;
            r.ping = ping;
            r.lostIn = lossy && within(s - start, 50, 55) ? 30 : 0;
            rows.push_back(r);
        }
        return rows;
    };
    auto a = match(0, "a", "10.0.0.1", 20, false);
    const auto b = match(500, "b", "10.0.0.2", 80, true);
    a.insert(a.end(), b.begin(), b.end());
    const Analyzed analysis =
        analyzeInputs({Input::bytes("alice-performance.csv", performanceCsv(a)),
                       Input::bytes("bob-performance.csv",
                                    performanceCsv(match(200, "c", "10.0.0.1", 30, false)))});
    ASSERT_EQ(analysis.matches.size(), 3u);
    EXPECT_EQ(analysis.matches[0].info.matchGuid, "a") << "in time order across files";
    EXPECT_EQ(analysis.matches[1].info.matchGuid, "c");
    EXPECT_EQ(analysis.matches[2].info.matchGuid, "b");
    ASSERT_EQ(analysis.servers.size(), 2u);
    const ServerSummary& first = analysis.servers[0];  // most time played first
    EXPECT_EQ(first.serverIp, "10.0.0.1");
    EXPECT_EQ(first.matches, 2u);
    EXPECT_EQ(first.secondsPlayed, 200);
    EXPECT_EQ(first.pingMedian, 25.0);  // 100 seconds at 20 ms, 100 at 30: between the two
    EXPECT_EQ(first.pingP95, 30.0);
    EXPECT_EQ(first.verdicts[Cause::Good], 2u);
    const ServerSummary& second = analysis.servers[1];
    EXPECT_EQ(second.pingP95, 80.0);
    EXPECT_DOUBLE_EQ(*second.lossInPercent(), 2.5);  // 150 of 6000
    EXPECT_EQ(second.verdicts[Cause::Connection], 1u);
}

}  // namespace
}  // namespace QuorvelTest
