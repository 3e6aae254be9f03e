// The report on matches played with real noise, each labelled with its verdict and its
// events before the rules were written: every verdict right, every event found, and no
// event that counts where the label has none.

#include <gtest/gtest.h>

#include "DisplayText.h"
#include "LabelledMatches.h"
#include "Names.h"
#include "RealisticPlay.h"
#include "Thresholds.h"
#include "ToolTestSupport.h"
#include "VerdictTexts.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Analysis;
using Quorvel::Present::worstWords;

FoundMatch foundIn(const MatchReport& report) {
    FoundMatch found{
        std::string(Quorvel::Present::causeName(report.verdict.cause)), reasonOf(report), {}};
    for (const Event& e : report.events.events) {
        found.events.push_back({std::string(Quorvel::Present::namesOf(e.kind()).key), e.when.offset,
                                e.when.lengthSeconds, e.significant});
    }
    return found;
}

TEST(LabelledMatches, EveryVerdictAndEventIsAsLabelled) {
    for (const LabelledMatch& label : labelledMatches()) {
        const Analyzed a = analyze(label.csv);
        ASSERT_EQ(a.matches.size(), 1u) << label.name;
        EXPECT_EQ(mismatch(label, foundIn(a.matches[0])), "")
            << label.name << ": " << reasonOf(a.matches[0]);
    }
}

// Quiet matches over the range of real connections and computers: near and far
// servers, steady and jittery pings (jitter up to 6 ms), 60 to 240 FPS, a lost packet in
// up to one second of twenty. None has an event that counts.
TEST(LabelledMatches, QuietPlayOfEveryKindRaisesNothingThatCounts) {
    std::uint64_t seed = 100;
    for (int basePing : {18, 60, 120}) {
        for (double jitter : {1.0, 3.0, 6.0}) {
            for (int fps : {60, 144, 240}) {
                for (double loss : {0.0, 0.02, 0.05}) {
                    MatchPlay play;
                    play.seed = ++seed;
                    play.basePing = basePing;
                    play.jitterMs = jitter;
                    play.fps = fps;
                    play.lossChance = loss;
                    const Analyzed a = analyze(performanceFile(play));
                    ASSERT_EQ(a.matches.size(), 1u);
                    const MatchReport& m = a.matches[0];
                    EXPECT_EQ(m.verdict.cause, Cause::Good)
                        << "seed " << seed << ": " << reasonOf(m);
                    EXPECT_EQ(m.events.counting(), 0u) << "seed " << seed;
                }
            }
        }
    }
}

// Many more quiet matches, each of its own kind drawn from its seed: base ping 10..150 ms,
// jitter 0.5..6 ms, 30..300 FPS, a lost packet in up to one second of twenty, lengths of one
// to fifteen minutes. None has an event that counts, whatever the usual values come to.
TEST(LabelledMatches, QuietPlayOverManySeedsRaisesNothingThatCounts) {
    for (std::uint64_t seed = 1000; seed < 1400; ++seed) {
        PlayRandom kind(seed * 7919);
        MatchPlay play;
        play.seed = seed;
        play.basePing = kind.between(10, 150);
        play.jitterMs = kind.between(5, 60) / 10.0;
        play.fps = kind.between(30, 300);
        play.lossChance = kind.between(0, 50) / 1000.0;
        play.seconds = kind.between(60, 900);
        const Analyzed a = analyze(performanceFile(play));
        ASSERT_EQ(a.matches.size(), 1u);
        const MatchReport& m = a.matches[0];
        const bool highPing = m.figures.ping && m.figures.ping->p95 >= 150;  // a far server
        EXPECT_TRUE(m.verdict.cause == Cause::Good || highPing)
            << "seed " << seed << ": " << reasonOf(m);
        EXPECT_EQ(m.events.counting(), 0u) << "seed " << seed << ": " << reasonOf(m);
    }
}

// What an event names as its trouble differs from the usual value it names beside it, as
// the texts round them: no "up to 30 ms (typical 30 ms)", no "latency up to 30 ms while
// ping was 30 ms". Empty when the event says nothing contradictory.
std::string contradiction(const Event& e) {
    const auto same = [](double a, double b) {
        return Quorvel::Tools::formatFigure(a) == Quorvel::Tools::formatFigure(b);
    };
    if (const auto* x = std::get_if<PingSpike>(&e.what); x && same(x->worstMs, x->typicalMs)) {
        return worstWords(e.what);
    }
    if (const auto* x = std::get_if<FpsDrop>(&e.what); x && !(x->worstFps < x->typicalFps)) {
        return worstWords(e.what);
    }
    if (const auto* x = std::get_if<Stutter>(&e.what); x && !(x->worstFps < x->typicalFps)) {
        return worstWords(e.what);
    }
    if (const auto* x = std::get_if<NothingIn>(&e.what);
        x && same(x->worstPacketsIn, x->typicalPacketsIn)) {
        return worstWords(e.what);
    }
    if (const auto* x = std::get_if<Outage>(&e.what);
        x && (same(x->worstPacketsIn, x->typicalPacketsIn) ||
              same(x->mostPacketsOut, x->typicalPacketsOut))) {
        return worstWords(e.what);
    }
    if (const auto* x = std::get_if<ServerHiccup>(&e.what);
        x && x->worstLatencyMs - x->pingMs < Quorvel::Thresholds::kHiccupExcessMs) {
        return worstWords(e.what);
    }
    return {};
}

// Troubles that fill from half of a match to all of it, of each statistic, over the
// labelled matches too: whatever the usual values come to, no event contradicts itself.
TEST(LabelledMatches, NoTextNamesTheUsualValueAsATrouble) {
    std::vector<std::string> files;
    for (const LabelledMatch& label : labelledMatches()) {
        files.push_back(label.csv);
    }
    const std::vector<Trouble> kinds = {{TroubleKind::PingLevel, 0, 0, 138, 142},
                                        {TroubleKind::FpsLevel, 0, 0, 33, 37},
                                        {TroubleKind::NothingIn, 0, 0},
                                        {TroubleKind::Outage, 0, 0, 0, 40},
                                        {TroubleKind::ServerHiccup, 0, 0, 25, 35},
                                        {TroubleKind::UnstablePing, 0, 0, 40, 110}};
    std::uint64_t seed = 900;
    for (Trouble trouble : kinds) {
        for (int tenths = 5; tenths <= 10; ++tenths) {
            MatchPlay play;
            play.seed = ++seed;
            play.seconds = 600;
            // Latency stuck far below a far server's ping: Latency - Ping is -110 ms in the
            // trouble, +4 in the calm seconds.
            play.basePing = trouble.kind == TroubleKind::ServerHiccup ? 140 : play.basePing;
            trouble.length = 60 * tenths;
            trouble.from = play.seconds - trouble.length;
            play.troubles = {trouble};
            files.push_back(performanceFile(play));
        }
    }
    for (const std::string& file : files) {
        const Analyzed a = analyze(file);
        for (const MatchReport& m : a.matches) {
            for (const Event& e : m.events.events) {
                EXPECT_EQ(contradiction(e), "") << reasonOf(m);
            }
        }
    }
}

}  // namespace
}  // namespace QuorvelTest
