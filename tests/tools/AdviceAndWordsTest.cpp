// What may help, per kind of trouble; the labels a shared page gives files and players;
// and counts that agree with their nouns.

#include <gtest/gtest.h>

#include <set>

#include "AdviceTexts.h"
#include "DisplayText.h"
#include "MatchTexts.h"
#include "Names.h"
#include "ShownNames.h"
#include "VerdictTexts.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Analysis;
using Quorvel::Present::problemName;
using Quorvel::Present::Tip;
using Quorvel::Present::tipsFor;

Verdict verdictOf(Cause cause, const std::vector<Problem>& problems) {
    Verdict v;
    v.cause = cause;
    for (Problem p : problems) {
        v.findings.push_back({cause, p, CountingEvents{EventKind::LossBurst}});
    }
    return v;
}

std::set<std::string> keysOf(const std::vector<Tip>& tips) {
    std::set<std::string> keys;
    for (const Tip& tip : tips) {
        keys.insert(std::string(tip.key));
    }
    return keys;
}

// Each side's problems get tips of that side only: the connection's never send the
// player to another server, the server's never to their router, the computer's never
// to either; every problem has at least two.
TEST(WhatToTry, EachKindOfTroubleHasTipsOfItsOwnSide) {
    const std::set<std::string> connection = {"wired", "pauseOtherDevices", "restartRouter",
                                              "noteTimes", "nearerRegion"};
    const std::set<std::string> server = {"otherServer", "reportServer"};
    const std::set<std::string> computer = {"frameRateCap", "lowerGraphics", "backgroundPrograms",
                                            "temperaturesAndDrivers"};
    const std::pair<Cause, const std::set<std::string>*> sides[] = {
        {Cause::Connection, &connection}, {Cause::Server, &server}, {Cause::Computer, &computer}};
    const std::pair<Problem, Cause> problems[] = {
        {Problem::Outages, Cause::Connection},      {Problem::Loss, Cause::Connection},
        {Problem::UnstablePing, Cause::Connection}, {Problem::PingSpikes, Cause::Connection},
        {Problem::HighPing, Cause::Connection},     {Problem::NothingComingIn, Cause::Server},
        {Problem::ServerHiccups, Cause::Server},    {Problem::HighLatency, Cause::Server},
        {Problem::Stutter, Cause::Computer},        {Problem::FpsDrops, Cause::Computer},
        {Problem::LowFps, Cause::Computer},         {Problem::FullInputBuffer, Cause::Computer}};
    for (const auto& [problem, cause] : problems) {
        const auto keys = keysOf(tipsFor(verdictOf(cause, {problem})));
        EXPECT_GE(keys.size(), 2u) << problemName(problem);
        for (const auto& [side, allowed] : sides) {
            for (const std::string& key : keys) {
                EXPECT_EQ(allowed->count(key) == 1, side == cause)
                    << problemName(problem) << ": " << key;
            }
        }
    }
}

TEST(WhatToTry, NothingWhereNothingIsWrongAndEachTipOnce) {
    EXPECT_TRUE(tipsFor(verdictOf(Cause::Good, {})).empty());
    EXPECT_TRUE(tipsFor(verdictOf(Cause::Incomplete, {})).empty());
    EXPECT_EQ(Quorvel::Present::tipsLine({}), "");
    Conclusion mostlyGood;
    mostlyGood.side = Conclusion::Side::Good;
    mostlyGood.grounds = MostlyGood{1};
    EXPECT_TRUE(tipsFor(mostlyGood).empty());
    // Loss and unstable ping share their tips: each is said once, at most five in all.
    const auto tips = tipsFor(
        verdictOf(Cause::Connection, {Problem::Loss, Problem::UnstablePing, Problem::PingSpikes}));
    EXPECT_EQ(keysOf(tips).size(), tips.size());
    EXPECT_LE(tips.size(), 5u);
    EXPECT_EQ(Quorvel::Present::tipsLine(tips).rfind("what may help: a wired connection", 0), 0u);
    Conclusion server;
    server.side = Conclusion::Side::Server;
    server.grounds = OneServer{3, 4, 0, 5};
    EXPECT_EQ(keysOf(tipsFor(server)), (std::set<std::string>{"otherServer", "reportServer"}));
}

TEST(SharedNames, FilesAreLabelledByWhatTheyHold) {
    using Quorvel::Present::fileLabel;
    const struct {
        const char* name;
        std::size_t place;
        bool onlyPlayersFile;
        const char* label;
    } cases[] = {
        {"Steam%7C7656%7C0-performance.csv", 1, true, "your file"},
        {"Steam%7C7656%7C0-performance.csv", 2, false, "file 2"},
        {"Steam%7C7656%7C0-20261201-180000-performance.csv", 1, true, "history, 2026-12-01 18:00"},
        {"Steam%7C7656%7C0-20261201-180000-3-performance.csv", 4, true,
         "history, 2026-12-01 18:00"},
        {"Steam%7C7656%7C0-20261201-180459-unfinished-performance.csv", 2, true,
         "unfinished match, 2026-12-01 18:04"},
        {"Steam%7C7656%7C0-unfinished-performance.csv", 3, true, "unfinished match"},
        {"my copy.csv", 5, true, "file 5"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fileLabel(c.name, c.place, c.onlyPlayersFile), c.label) << c.name;
    }
}

TEST(SharedNames, PlayersAreYouOrAShortTag) {
    const std::vector<Quorvel::Read::Input> inputs;
    const auto shared = Quorvel::Present::ShownNames::shareable(inputs);
    const auto full = Quorvel::Present::ShownNames::full(inputs);
    EXPECT_EQ(shared.players({"Steam|76561190000000042|0"}), "you");
    EXPECT_EQ(shared.player("Steam|76561190000000042|0"),
              "player \u2026"
              "0042");
    EXPECT_EQ(shared.player("Epic|0f3c9a|loss"),
              "player \u2026"
              "c9a");
    EXPECT_EQ(shared.player("a|b"), "a player") << "too short to show any of it";
    EXPECT_EQ(shared.players({"Epic|0f3c9a11|x", "Steam|76561190000000042|0"}),
              "player \u2026"
              "9a11, player \u2026"
              "0042");
    EXPECT_EQ(full.players({"Steam|1|0"}), "Steam|1|0");
    EXPECT_EQ(full.playerWords("Steam|1|0"), "player Steam|1|0");
}

// Every count in a sentence agrees with its noun, whatever the number.
TEST(Words, CountsAgreeWithTheirNouns) {
    using Quorvel::Present::worstWords;
    const struct {
        EventDetail what;
        const char* one;
        const char* many;
    } cases[] = {
        {LossBurst{1, 0, 2}, "1 packet a second lost coming in",
         "3 packets a second lost coming in"},
        {LossBurst{0, 1, 2}, "1 packet a second lost going out",
         "3 packets a second lost going out"},
        {NothingIn{1, 60, 58}, "1 packet a second came in", "3 packets a second came in"},
        {Outage{1, 60, 0, 60}, "1 packet a second came in and", "3 packets a second came in and"},
        {Stutter{1, 0.5, 40, 144}, "1 short FPS drop,", "3 short FPS drops,"},
        {BufferAboveTarget{1, 0}, "1 frame against", "3 frames against"},
    };
    for (const auto& c : cases) {
        EXPECT_NE(worstWords(c.what).find(c.one), std::string::npos) << worstWords(c.what);
        EventDetail three = c.what;
        std::visit(
            [](auto& e) {
                using E = std::decay_t<decltype(e)>;
                if constexpr (std::is_same_v<E, LossBurst>) {
                    e.worstLostInPerSecond *= 3;
                    e.worstLostOutPerSecond *= 3;
                } else if constexpr (std::is_same_v<E, NothingIn> || std::is_same_v<E, Outage>) {
                    e.worstPacketsIn *= 3;
                } else if constexpr (std::is_same_v<E, Stutter>) {
                    e.drops *= 3;
                } else if constexpr (std::is_same_v<E, BufferAboveTarget>) {
                    e.worstBuffer *= 3;
                }
            },
            three);
        EXPECT_NE(worstWords(three).find(c.many), std::string::npos) << worstWords(three);
    }
    EXPECT_EQ(Quorvel::Tools::pluralFigure(1.4, "packet", "packets"), "1 packet");
    EXPECT_EQ(Quorvel::Tools::pluralFigure(0, "packet", "packets"), "0 packets");
}

}  // namespace
}  // namespace QuorvelTest
