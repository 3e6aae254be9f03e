// One match is one match, however its rows lie in files: a reload in a match (its first
// rows kept in the history, the rest in the player's file), a GUID used again hours later
// on another server, a partial copy beside the whole file, a journal the game left when
// it closed. Each set of files is labelled with the matches a player played, written
// from how the files were made; every order of the files gives the same answer.

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "DisplayText.h"
#include "MatchTexts.h"
#include "Names.h"
#include "RealisticPlay.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using Quorvel::Read::Input;

// A match the report must show.
struct ExpectedMatch {
    std::string server;
    std::int64_t lengthSeconds;
    std::size_t rows;
    std::string cause;
    std::size_t files;  // that gave it rows
    bool gameClosed;
    std::vector<std::string> reasonContains;
};

struct LabelledSession {
    std::string name;
    std::vector<std::pair<std::string, std::string>> files;  // name, bytes
    std::vector<ExpectedMatch> matches;
};

const std::string kPlayer = "Steam%7C76561190000000042%7C0";

// Seconds `from` to `to` (excluded) of a match.
struct Seconds {
    int from = 0;
    int to = 0;
};

// The rows of `play` in `seconds`, as a whole file.
std::string rowsBetween(MatchPlay play, Seconds seconds) {
    play.onlySeconds.clear();
    for (int s = seconds.from; s < seconds.to; ++s) {
        play.onlySeconds.push_back(s);
    }
    return performanceFile(play);
}

// Bursts losing 10..14 packets a second for 3 s, every 30 s from 1:50: seven of them.
MatchPlay lossyLate() {
    MatchPlay play;
    play.seed = 301;
    play.lossChance = 0;
    for (int k = 0; k < 7; ++k) {
        play.troubles.push_back({TroubleKind::LossIn, 110 + 30 * k, 3, 10, 14});
    }
    return play;
}

LabelledSession reloadInAMatch() {
    // Loss bursts at 0:40 and 2:40; the reload at 1:40 loses the 4 s while the plugin is
    // out. A second, quiet match follows in the player's file.
    MatchPlay play;
    play.seed = 311;
    play.troubles = {{TroubleKind::LossIn, 40, 4, 10, 14}, {TroubleKind::LossIn, 160, 4, 10, 14}};
    MatchPlay next;
    next.seed = 312;
    next.matchGuid = "7C0FFEE000000002";
    next.startSecond = 420;
    return {
        "reload-in-a-match",
        {{kPlayer + "-20261208-180000-performance.csv", rowsBetween(play, {.from = 0, .to = 100})},
         {kPlayer + "-performance.csv",
          rowsBetween(play, {.from = 104, .to = 300}) + performanceRows(next)}},
        {{"203.0.113.40:7777", 300, 296, "connection", 2, false, {"2 loss bursts"}},
         {"203.0.113.40:7777", 300, 300, "good", 1, false, {}}}};
}

LabelledSession guidUsedAgainOnAnotherServer() {
    MatchPlay first;
    first.seed = 321;
    MatchPlay again = lossyLate();
    again.startSecond = 2 * 3600;
    again.serverIp = "198.51.100.7";
    return {"guid-used-again-two-hours-later-on-another-server",
            {{kPlayer + "-performance.csv", performanceFile(first) + performanceRows(again)}},
            {{"203.0.113.40:7777", 300, 300, "good", 1, false, {}},
             {"198.51.100.7:7777", 300, 300, "connection", 1, false, {"7 loss bursts"}}}};
}

LabelledSession partialCopyAndWholeFile() {
    const MatchPlay play = lossyLate();
    return {"partial-copy-and-whole-file",
            {{"copy/" + kPlayer + "-performance.csv", rowsBetween(play, {.from = 0, .to = 100})},
             {kPlayer + "-performance.csv", performanceFile(play)}},
            {{"203.0.113.40:7777", 300, 300, "connection", 1, false, {"7 loss bursts"}}}};
}

LabelledSession journalKeptAfterACrash() {
    MatchPlay play;
    play.seed = 331;
    play.seconds = 390;
    return {"journal-kept-after-a-crash",
            {{kPlayer + "-20261208-180000-unfinished-performance.csv", performanceFile(play)}},
            {{"203.0.113.40:7777", 390, 390, "good", 1, true, {}}}};
}

LabelledSession journalAndPlayersFileBoth() {
    // The game closed between the append and the journal's removal: the same rows twice.
    MatchPlay play;
    play.seed = 341;
    return {"journal-and-players-file-both",
            {{kPlayer + "-unfinished-performance.csv", performanceFile(play)},
             {kPlayer + "-performance.csv", performanceFile(play)}},
            {{"203.0.113.40:7777", 300, 300, "good", 1, false, {}}}};
}

LabelledSession reloadThenCrash() {
    MatchPlay play;
    play.seed = 351;
    play.seconds = 390;
    play.troubles = {{TroubleKind::Outage, 300, 20, 0, 0}};
    return {
        "reload-then-crash",
        {{kPlayer + "-20261208-180000-performance.csv", rowsBetween(play, {.from = 0, .to = 200})},
         {kPlayer + "-20261208-180324-unfinished-performance.csv",
          rowsBetween(play, {.from = 204, .to = 390})}},
        {{"203.0.113.40:7777", 390, 386, "connection", 2, true, {"outage", "5:00"}}}};
}

std::vector<LabelledSession> labelledSessions() {
    return {reloadInAMatch(),         guidUsedAgainOnAnotherServer(), partialCopyAndWholeFile(),
            journalKeptAfterACrash(), journalAndPlayersFileBoth(),    reloadThenCrash()};
}

// What the report says of one match, for comparing orders of the inputs.
std::string answerOf(const Quorvel::Analysis::MatchReport& m) {
    return Quorvel::Tools::formatClock(m.figures.start) + " " +
           std::to_string(m.figures.lengthSeconds) + " s, " + std::to_string(m.figures.rows) +
           " rows, " + m.info.server() + ": " + reasonOf(m) + " [" +
           Quorvel::Present::matchNotes(m) + "]";
}

std::string mismatch(const ExpectedMatch& e, const Quorvel::Analysis::MatchReport& m) {
    std::string wrong;
    const auto expect = [&wrong](bool holds, const std::string& what) {
        wrong += holds ? "" : what + "; ";
    };
    expect(m.info.server() == e.server, "server " + m.info.server());
    expect(m.figures.lengthSeconds == e.lengthSeconds,
           "length " + std::to_string(m.figures.lengthSeconds));
    expect(m.figures.rows == e.rows, "rows " + std::to_string(m.figures.rows));
    expect(Quorvel::Present::causeName(m.verdict.cause) == e.cause,
           "cause " + std::string(Quorvel::Present::causeName(m.verdict.cause)));
    expect(m.origin.contributing() == e.files,
           "from " + std::to_string(m.origin.contributing()) + " files");
    expect(m.origin.cutShort == e.gameClosed, "game closed " + std::to_string(m.origin.cutShort));
    for (const std::string& words : e.reasonContains) {
        expect(reasonOf(m).find(words) != std::string::npos, "reason lacks \"" + words + "\"");
    }
    return wrong;
}

TEST(LabelledSessions, EachMatchIsOneWhateverTheFilesAndTheirOrder) {
    for (const LabelledSession& session : labelledSessions()) {
        std::vector<std::size_t> order(session.files.size());
        std::iota(order.begin(), order.end(), 0);
        std::vector<std::string> firstAnswer;
        do {
            std::vector<Input> inputs;
            inputs.reserve(order.size());
            for (std::size_t i : order) {
                inputs.push_back(Input::bytes(session.files[i].first, session.files[i].second));
            }
            const Analyzed a = analyzeInputs(inputs);
            ASSERT_EQ(a.matches.size(), session.matches.size()) << session.name;
            std::vector<std::string> answer;
            for (std::size_t m = 0; m < a.matches.size(); ++m) {
                EXPECT_EQ(mismatch(session.matches[m], a.matches[m]), "")
                    << session.name << ", match " << m + 1 << ": " << answerOf(a.matches[m]);
                answer.push_back(answerOf(a.matches[m]));
            }
            if (firstAnswer.empty()) {
                firstAnswer = answer;
            }
            EXPECT_EQ(answer, firstAnswer) << session.name << ": the order of the files matters";
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

// What a player reads: the note of a match the game closed during, and where a joined
// match came from.
TEST(LabelledSessions, NotesSayWhenTheGameClosedAndWhichFilesGaveAMatch) {
    const LabelledSession crash = reloadThenCrash();
    std::vector<Input> inputs;
    inputs.reserve(crash.files.size());
    for (const auto& [name, bytes] : crash.files) {
        inputs.push_back(Input::bytes(name, bytes));
    }
    const Analyzed a = analyzeInputs(inputs);
    ASSERT_EQ(a.matches.size(), 1u);
    const auto& m = a.matches[0];
    EXPECT_EQ(Quorvel::Present::gameClosedNote(m),
              "the game closed during this match; recorded until 6:30");
    EXPECT_EQ(Quorvel::Present::matchNotes(m).rfind(Quorvel::Present::gameClosedNote(m), 0), 0u);
    using Quorvel::Present::ShownNames;
    EXPECT_EQ(Quorvel::Present::matchSource(m, ShownNames::full(inputs)),
              "from " + crash.files[0].first + " (200 rows) and " + crash.files[1].first +
                  " (186 rows), joined by their seconds; player Steam|76561190000000042|0");
    // On the page made to be shared: labels, and a tag of the player's.
    EXPECT_EQ(Quorvel::Present::matchSource(m, ShownNames::shareable(inputs)),
              "from history, 2026-12-08 18:00 (200 rows) and unfinished match, 2026-12-08 18:03 "
              "(186 rows), joined by their seconds; player \u20260042");

    const LabelledSession copy = partialCopyAndWholeFile();
    const Analyzed copied =
        analyzeInputs({Input::bytes(copy.files[0].first, copy.files[0].second),
                       Input::bytes(copy.files[1].first, copy.files[1].second)});
    EXPECT_EQ(copied.result.inputs[0].matchesAlreadyRead, 1u);
    EXPECT_EQ(copied.result.inputs[0].alreadyReadIn, copy.files[1].first);
    EXPECT_EQ(copied.result.inputs[1].matches, 1u);
}

}  // namespace
}  // namespace QuorvelTest
