// The answer across matches to "is it me or the server?", on sets of matches played with
// real noise: troubles on most servers are the player's, on one server that server's.

#include <gtest/gtest.h>

#include "ConclusionTexts.h"
#include "MatchTexts.h"
#include "PerformanceFormat.h"
#include "RealisticPlay.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using Quorvel::Analysis::Conclusion;

// One match of a set: its server and its trouble, if any.
struct PlayedOn {
    std::string server;
    std::vector<Trouble> troubles;
};

struct ConclusionCase {
    const char* what;
    std::vector<PlayedOn> matches;
    Conclusion::Side side;
    std::string text;
};

const std::vector<Trouble> kLoss = {{TroubleKind::LossIn, 60, 4, 10, 15}};
const std::vector<Trouble> kHiccup = {{TroubleKind::ServerHiccup, 100, 30, 180, 240}};
const std::vector<Trouble> kStutter = {{TroubleKind::Stutter, 20, 240, 35, 45}};
const std::vector<Trouble> kUnstable = {{TroubleKind::UnstablePing, 60, 120, 40, 110}};
const std::vector<Trouble> kSpike = {{TroubleKind::PingSpike, 150, 8, 140, 160}};

Conclusion concludeOn(const std::vector<PlayedOn>& set) {
    std::vector<Quorvel::Read::Input> inputs;
    std::uint64_t seed = 500;
    for (const PlayedOn& played : set) {
        MatchPlay play;
        play.seed = ++seed;
        play.serverIp = played.server;
        play.troubles = played.troubles;
        play.matchGuid = "MATCH-" + std::to_string(seed);
        inputs.push_back(Quorvel::Read::Input::bytes(play.matchGuid, performanceFile(play)));
    }
    return analyzeInputs(inputs).result.conclusions.at(0);
}

TEST(Conclusion, NamesTheSideThatTheMatchesPointAt) {
    const ConclusionCase cases[] = {
        {"loss on most servers",
         {{"10.0.0.1", kLoss},
          {"10.0.0.2", kLoss},
          {"10.0.0.3", {}},
          {"10.0.0.4", kLoss},
          {"10.0.0.5", kLoss},
          {"10.0.0.1", {}}},
         Conclusion::Side::Connection,
         "loss in 4 of 6 matches, on 4 of 5 servers: your connection"},
        {"hiccups on one server only",
         {{"10.0.0.9", kHiccup},
          {"10.0.0.1", {}},
          {"10.0.0.9", kHiccup},
          {"10.0.0.2", {}},
          {"10.0.0.3", {}},
          {"10.0.0.9", kHiccup},
          {"10.0.0.1", {}}},
         Conclusion::Side::Server,
         "problems in 3 of 3 matches on 10.0.0.9, in 0 of 4 matches elsewhere: that server (or "
         "the way to it)"},
        {"stutter wherever",
         {{"10.0.0.1", kStutter}, {"10.0.0.1", kStutter}, {"10.0.0.1", {}}, {"10.0.0.1", kStutter}},
         Conclusion::Side::Computer,
         "stutter in 3 of 4 matches, on 1 of 1 server: your computer"},
        {"too few matches",
         {{"10.0.0.1", kLoss}, {"10.0.0.2", kLoss}},
         Conclusion::Side::NotEnough,
         "not enough to tell: 2 matches with a verdict (3 needed)"},
        {"one bad match of five",
         {{"10.0.0.1", {}},
          {"10.0.0.2", kLoss},
          {"10.0.0.3", {}},
          {"10.0.0.1", {}},
          {"10.0.0.2", {}}},
         Conclusion::Side::Good,
         "mostly good: problems in 1 of 5 matches"},
        {"the connection's problems of three kinds, each counted",
         {{"10.0.0.1", kLoss},
          {"10.0.0.2", kLoss},
          {"10.0.0.3", kLoss},
          {"10.0.0.4", kUnstable},
          {"10.0.0.5", kSpike},
          {"10.0.0.1", {}}},
         Conclusion::Side::Connection,
         "connection problems in 5 of 6 matches (loss in 3, unstable ping in 1, ping spikes in 1), "
         "on 5 of 5 servers: your connection"},
        {"loss, but only one server played",
         {{"10.0.0.1", kLoss}, {"10.0.0.1", kLoss}, {"10.0.0.1", {}}, {"10.0.0.1", kLoss}},
         Conclusion::Side::Unclear,
         "problems in 3 of 4 matches, all on one server (10.0.0.1): play on others to tell your "
         "side from the server's"},
    };
    for (const ConclusionCase& c : cases) {
        const Conclusion conclusion = concludeOn(c.matches);
        EXPECT_EQ(conclusion.side, c.side) << c.what;
        EXPECT_EQ(textOf(conclusion), c.text) << c.what;
    }
}

// Two players' files in one folder: one answer each, from their own matches.
TEST(Conclusion, EachPlayerGetsAnAnswerOfTheirOwn) {
    std::vector<Quorvel::Read::Input> inputs;
    std::uint64_t seed = 700;
    for (const char* player : {"Steam|1|0", "Epic|2|0"}) {
        std::string rows;
        for (int m = 0; m < 4; ++m) {
            MatchPlay play;
            play.seed = ++seed;
            play.userId = player;
            play.startSecond = m * 600;
            play.matchGuid = "MATCH-" + std::to_string(seed);
            play.serverIp = "10.0.0." + std::to_string(m + 1);
            play.troubles = player[0] == 'S' && m < 3 ? kLoss : std::vector<Trouble>{};
            rows += performanceRows(play);
        }
        inputs.push_back(
            Quorvel::Read::Input::bytes(std::string(player) + "-performance.csv",
                                        std::string(Quorvel::Format::kHeaderLine) + rows));
    }
    const auto conclusions = analyzeInputs(inputs).result.conclusions;
    ASSERT_EQ(conclusions.size(), 2u);
    EXPECT_EQ(conclusions[0].player, "Epic|2|0");
    EXPECT_EQ(textOf(conclusions[0]), "mostly good: problems in 0 of 4 matches");
    EXPECT_EQ(conclusions[1].player, "Steam|1|0");
    EXPECT_EQ(textOf(conclusions[1]), "loss in 3 of 4 matches, on 3 of 4 servers: your connection");
    using Quorvel::Present::ShownNames;
    EXPECT_EQ(Quorvel::Present::conclusionLine(conclusions[1], true, ShownNames::full(inputs)),
              "Overall for Steam|1|0: loss in 3 of 4 matches, on 3 of 4 servers: your connection");
    // The page names each by a tag: never more than half of the id's longest run.
    EXPECT_EQ(Quorvel::Present::conclusionLine(conclusions[1], true, ShownNames::shareable(inputs)),
              "Overall for player \u2026am: loss in 3 of 4 matches, on 3 of 4 servers: your "
              "connection");
}

}  // namespace
}  // namespace QuorvelTest
