// The labelled set's tools: the check of a report's answer against a label, and the
// generator's promises (the same bytes for the same description, noise like a real
// client's, troubles where they were placed).

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>

#include "LabelledMatches.h"
#include "PerformanceFormat.h"
#include "RealisticPlay.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

const LabelledMatch kLabel{
    "hiccup",
    "",
    "server",
    {{"serverHiccup", 100, 2, 36, 44, true}, {"lossBurst", 40, 0, 1, 1, false}},
    {"1:40\u20132:20"}};

FoundMatch rightAnswer() {
    return {"server",
            "server: latency up to 240 ms 1:40\u20132:20",
            {{"lossBurst", 40, 1, false},
             {"pingSpike", 70, 1, false},
             {"serverHiccup", 101, 40, true}}};
}

TEST(Comparator, TellsARightAnswerFromEachWrongOne) {
    struct Case {
        const char* what;
        std::function<void(FoundMatch&)> change;
        std::string mentions;  // empty: the answer is right
    };
    const Case cases[] = {
        {"the right answer", [](FoundMatch&) {}, ""},
        {"a start within the tolerance", [](FoundMatch& f) { f.events[2].offset = 98; }, ""},
        {"an extra event that does not count",
         [](FoundMatch& f) {
             f.events.push_back({"fpsDrop", 5, 1, false});
         },
         ""},
        {"a wrong cause", [](FoundMatch& f) { f.cause = "good"; }, "cause good"},
        {"a missing event", [](FoundMatch& f) { f.events.pop_back(); }, "missing serverHiccup"},
        {"a start outside the tolerance", [](FoundMatch& f) { f.events[2].offset = 97; },
         "missing serverHiccup"},
        {"too short", [](FoundMatch& f) { f.events[2].length = 35; }, "missing serverHiccup"},
        {"counting what should not", [](FoundMatch& f) { f.events[0].counts = true; },
         "missing lossBurst"},
        {"an extra counting event", [](FoundMatch& f) { f.events[1].counts = true; },
         "unexpected counting pingSpike"},
        {"a missing fragment", [](FoundMatch& f) { f.reason = "server: latency high"; }, "1:40"},
    };
    for (const Case& c : cases) {
        FoundMatch found = rightAnswer();
        c.change(found);
        const std::string wrong = mismatch(kLabel, found);
        if (c.mentions.empty()) {
            EXPECT_EQ(wrong, "") << c.what;
        } else {
            EXPECT_NE(wrong.find(c.mentions), std::string::npos) << c.what << ": " << wrong;
        }
    }
}

TEST(Comparator, EachExpectedEventNeedsAFoundOneOfItsOwn) {
    LabelledMatch twice = kLabel;
    twice.events = {{"lossBurst", 10, 2, 1, 1, false}, {"lossBurst", 12, 2, 1, 1, false}};
    twice.reasonContains.clear();
    FoundMatch found{"server", "", {{"lossBurst", 11, 1, false}}};
    EXPECT_NE(mismatch(twice, found), "");
    found.events = {{"lossBurst", 12, 1, false}, {"lossBurst", 10, 1, false}};
    EXPECT_EQ(mismatch(twice, found), "");
}

double median(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::size_t distinct(std::vector<int> values) {
    std::sort(values.begin(), values.end());
    return static_cast<std::size_t>(std::unique(values.begin(), values.end()) - values.begin());
}

// A quiet match's noise is a real client's: ping skewed above its base with lone blips,
// never constant or negative; FPS wobbling about its median; now and then a lost packet.
void expectQuiet(const MatchPlay& play) {
    SCOPED_TRACE("seed " + std::to_string(play.seed) + ", base " + std::to_string(play.basePing));
    std::vector<int> ping;
    std::vector<int> frames;
    int lossy = 0;
    for (const PlaySecond& s : playSeconds(play)) {
        ping.push_back(s.ping);
        frames.push_back(s.fps);
        lossy += s.lostIn + s.lostOut > 0 ? 1 : 0;
        EXPECT_GE(s.ping, play.basePing);
        EXPECT_GE(s.latency, 0);
        EXPECT_NEAR(s.packetsIn, 60, 2);
        EXPECT_NEAR(s.buffer, s.target, 1);
    }
    const double mean =
        std::accumulate(ping.begin(), ping.end(), 0.0) / static_cast<double>(ping.size());
    EXPECT_GT(mean, median(ping)) << "skewed upward";
    EXPECT_GT(*std::max_element(ping.begin(), ping.end()), play.basePing + 30) << "a blip";
    // Blips are lone: two high seconds in a row would be a spike a player feels.
    const int high = play.basePing + 25;
    EXPECT_EQ(std::adjacent_find(ping.begin(), ping.end(),
                                 [high](int a, int b) { return a > high && b > high; }),
              ping.end());
    EXPECT_GE(distinct(ping), 5u);
    EXPECT_GE(distinct(frames), 5u);
    EXPECT_NEAR(median(frames), play.fps, play.fps * 0.02);
    EXPECT_GT(lossy, 0);
    EXPECT_LT(lossy, 15);
}

TEST(RealisticPlay, QuietMatchesLookLikeRealOnes) {
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        for (const auto& [basePing, fps] : {std::pair{25, 240}, {60, 144}, {110, 60}}) {
            MatchPlay play;
            play.seed = seed;
            play.basePing = basePing;
            play.fps = fps;
            expectQuiet(play);
        }
    }
}

TEST(RealisticPlay, TheSameDescriptionGivesTheSameBytes) {
    MatchPlay play;
    play.troubles = {{TroubleKind::PingSpike, 10, 5, 100, 150},
                     {TroubleKind::Stutter, 20, 100, 35, 45},
                     {TroubleKind::NothingIn, 200, 6}};
    const std::string file = performanceFile(play);
    EXPECT_EQ(performanceFile(play), file);
    // FNV-1a of the file, the same on every platform the tests run on.
    std::uint64_t hash = 14695981039346656037ULL;
    for (char c : file) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    EXPECT_EQ(hash, 17302876153597776097ULL);
    play.seed = 2;
    EXPECT_NE(performanceFile(play), file);
}

TEST(RealisticPlay, ATroubleChangesOnlyItsSeconds) {
    MatchPlay play;
    const std::vector<PlaySecond> quietRows = playSeconds(play);
    play.troubles = {{TroubleKind::ServerHiccup, 100, 40, 160, 240}};
    const std::vector<PlaySecond> rows = playSeconds(play);
    ASSERT_EQ(rows.size(), quietRows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].ping, quietRows[i].ping);
        if (rows[i].second >= 100 && rows[i].second < 140) {
            EXPECT_GE(rows[i].latency, 160);
            EXPECT_LE(rows[i].latency, 240);
        } else {
            EXPECT_EQ(rows[i].latency, quietRows[i].latency) << rows[i].second;
        }
    }
}

TEST(LabelledMatches, EachFileReadsAsOneMatchAndItsEventsLieInIt) {
    for (const LabelledMatch& label : labelledMatches()) {
        EXPECT_EQ(label.csv.rfind(Quorvel::Format::kHeaderLine, 0), 0u) << label.name;
        const Analyzed a = analyze(label.csv);
        EXPECT_TRUE(a.problems.empty()) << label.name;
        ASSERT_EQ(a.matches.size(), 1u) << label.name;
        for (const ExpectedEvent& e : label.events) {
            EXPECT_LE(e.from + e.minLength, a.matches[0].figures.lengthSeconds) << label.name;
        }
    }
}

}  // namespace
}  // namespace QuorvelTest
