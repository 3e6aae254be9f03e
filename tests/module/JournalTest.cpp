// The match in progress kept on disk as it is recorded: what a game that closes in a
// match leaves, what the next load keeps of it, and what the player's file and other
// players' files see of it.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#if defined(__linux__)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "HeldOpen.h"
#include "HistoryFileName.h"
#include "HistoryLimit.h"
#include "PerformanceFormat.h"
#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

using namespace std::chrono;

const std::string kKept = "Quorvel: Kept ";
const std::string kJournalFailed = "Quorvel: Could not write the match in progress to ";

std::multiset<int> marksFrom(int first, int last) {
    std::multiset<int> marks;
    for (int mark = first; mark <= last; ++mark) {
        marks.insert(mark);
    }
    return marks;
}

std::multiset<int> operator+(std::multiset<int> a, const std::multiset<int>& b) {
    a.insert(b.begin(), b.end());
    return a;
}

std::size_t countStartingWith(const std::vector<std::string>& lines, const std::string& start) {
    return static_cast<std::size_t>(
        std::count_if(lines.begin(), lines.end(),
                      [&](const std::string& line) { return line.starts_with(start); }));
}

// One player's sessions on one pair of folders, a game that may close at any moment.
class Sessions {
  public:
    Sessions() {
        harness.game().uniqueId = kPlayer;
        harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    }

    void play(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            harness.markedTick(++mark);
        }
    }
    void endMatch() {
        harness.leaveMatch();
        harness.ticks(1);
    }
    // The game closes in the match and is started again: a fresh object, in the menu.
    void crashAndRestart() {
        harness.crash();
        harness.leaveMatch();
        harness.host.clearConsole();
        harness.load();
    }
    // Every row in the data folder: the player's file and the history.
    std::multiset<int> marksFound() const {
        std::vector<std::string> lines = harness.historyLines();
        for (const std::string& row : harness.rows()) {
            lines.push_back(row);
        }
        return rowMarks(lines);
    }
    std::filesystem::path journal() const {
        return harness.historyFolder() / Quorvel::Format::journalFileName(kPlayer);
    }
    std::vector<std::string> unfinishedSessions() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(harness.historyFolder(), error)) {
            const std::string name = entry.path().filename().string();
            const auto parsed = Quorvel::Format::parseHistoryFileName(name);
            if (parsed && parsed->end == Quorvel::Format::SessionEnd::Unfinished) {
                names.push_back(name);
            }
        }
        return names;
    }
    // The player's file cannot be written while a folder stands in its place.
    void blockPlayersFile() {
        std::filesystem::remove(harness.csvFile());
        std::filesystem::create_directory(harness.csvFile());
    }
    void unblockPlayersFile() { std::filesystem::remove(harness.csvFile()); }

    PluginHarness harness;
    int mark = 0;
};

struct CrashCase {
    const char* what;
    std::vector<int> matches;  // rows of each match; the game closes in the last
    std::multiset<int> found;
    std::size_t kept;  // rows of the unfinished match the next load keeps
};

// Everything up to the last journal write survives, nothing twice; the console says
// how many rows were kept, once, and the journal becomes an unfinished session.
TEST(Journal, AGameClosedInAMatchLosesOnlyTheRowsSinceTheLastWrite) {
    const std::vector<CrashCase> cases = {
        {"before the first write", {5}, {}, 0},
        {"right after a write", {10}, marksFrom(1, 10), 10},
        {"between writes", {25}, marksFrom(1, 20), 20},
        {"in a second match after a first was written",
         {12, 15},
         marksFrom(1, 12) + marksFrom(13, 22),
         10},
    };
    for (const CrashCase& c : cases) {
        SCOPED_TRACE(c.what);
        Sessions sessions;
        sessions.harness.load();
        for (std::size_t i = 0; i + 1 < c.matches.size(); ++i) {
            sessions.play(c.matches[i]);
            sessions.endMatch();
        }
        sessions.play(c.matches.back());
        const int written = std::accumulate(c.matches.begin(), c.matches.end() - 1, 0);
        EXPECT_EQ(rowMarks(sessions.harness.rows()), marksFrom(1, written))
            << "the player's file is untouched in a match";
        sessions.crashAndRestart();

        EXPECT_EQ(sessions.marksFound(), c.found);
        EXPECT_FALSE(std::filesystem::exists(sessions.journal()));
        const auto console = sessions.harness.consoleTexts();
        ASSERT_EQ(console.size(), c.kept > 0 ? 2u : 1u);
        EXPECT_EQ(console.back(), kLoaded);
        if (c.kept > 0) {
            const auto unfinished = sessions.unfinishedSessions();
            ASSERT_EQ(unfinished.size(), 1u);
            EXPECT_EQ(console[0], kKept + std::to_string(c.kept) +
                                      " rows of an unfinished match in " +
                                      (sessions.harness.historyFolder() / unfinished[0]).string());
        }
    }
}

TEST(Journal, TwoCrashesInARowKeepTwoUnfinishedSessions) {
    Sessions sessions;
    sessions.harness.load();
    sessions.play(15);
    sessions.crashAndRestart();
    sessions.play(13);
    sessions.crashAndRestart();
    EXPECT_EQ(sessions.marksFound(), marksFrom(1, 10) + marksFrom(16, 25));
    EXPECT_EQ(sessions.unfinishedSessions().size(), 2u);
}

TEST(Journal, AnUnloadInAMatchWritesTheRowsAndRemovesTheJournal) {
    Sessions sessions;
    sessions.harness.load();
    sessions.play(15);
    ASSERT_TRUE(std::filesystem::exists(sessions.journal()));
    sessions.harness.object().onUnload();
    EXPECT_EQ(rowMarks(sessions.harness.rows()), marksFrom(1, 15));
    EXPECT_FALSE(std::filesystem::exists(sessions.journal()));
}

// A failed write of the player's file puts every row in the journal at once, so an
// unload or a crash after it loses nothing; a retry that works removes the journal.
TEST(Journal, RowsThePlayersFileRefusedAreAllInTheJournal) {
    for (const bool retryWorks : {false, true}) {
        SCOPED_TRACE(retryWorks ? "the retry works" : "the game closes first");
        Sessions sessions;
        sessions.harness.load();
        sessions.blockPlayersFile();
        sessions.play(15);
        sessions.endMatch();
        EXPECT_EQ(sessions.harness.consoleCount(kLogged), 0u);
        if (retryWorks) {
            sessions.unblockPlayersFile();
            sessions.harness.ticks(1);
            EXPECT_EQ(rowMarks(sessions.harness.rows()), marksFrom(1, 15));
            EXPECT_FALSE(std::filesystem::exists(sessions.journal()));
        } else {
            sessions.harness.crash();
            sessions.unblockPlayersFile();
            sessions.harness.load();
            EXPECT_EQ(sessions.unfinishedSessions().size(), 1u);
        }
        EXPECT_EQ(sessions.marksFound(), marksFrom(1, 15));
    }
}

TEST(Journal, AnUnloadWhoseWriteFailsLeavesEveryRowInTheJournal) {
    Sessions sessions;
    sessions.harness.load();
    sessions.blockPlayersFile();
    sessions.play(15);
    sessions.harness.object().onUnload();
    sessions.harness.deleteMe();
    sessions.unblockPlayersFile();
    sessions.harness.leaveMatch();
    sessions.harness.load();
    EXPECT_EQ(sessions.marksFound(), marksFrom(1, 15));
}

// Recording goes on without the journal; one line a match says so, no row is lost.
TEST(Journal, AJournalThatCannotBeWrittenCostsOnlyItsSafety) {
    Sessions sessions;
    writeFile(sessions.harness.historyFolder(), "a file where the folder would be");
    sessions.harness.load();
    sessions.play(25);
    EXPECT_EQ(countStartingWith(sessions.harness.consoleTexts(), kJournalFailed), 1u);
    sessions.endMatch();
    sessions.play(12);
    sessions.endMatch();
    const auto console = sessions.harness.consoleTexts();
    EXPECT_EQ(countStartingWith(console, kJournalFailed), 2u) << "one line a match";
    EXPECT_EQ(sessions.harness.consoleCount(kLogged), 2u);
    EXPECT_EQ(rowMarks(sessions.harness.rows()), marksFrom(1, 37));
}

// The game closed after the rows reached the player's file, before the journal went.
TEST(Journal, AJournalWhoseRowsEndThePlayersFileIsDiscarded) {
    Sessions sessions;
    sessions.harness.load();
    sessions.play(15);
    sessions.endMatch();
    const std::vector<std::string> lines = splitLines(sessions.harness.csv());
    std::string journal(Quorvel::Format::kHeaderLine);
    for (std::size_t i = 1; i <= 10; ++i) {
        journal += lines[i] + "\n";
    }
    writeFile(sessions.journal(), onDisk(journal));
    sessions.crashAndRestart();

    EXPECT_EQ(sessions.harness.consoleTexts(), std::vector<std::string>{kLoaded});
    EXPECT_FALSE(std::filesystem::exists(sessions.journal()));
    EXPECT_TRUE(sessions.unfinishedSessions().empty());
    EXPECT_EQ(sessions.marksFound(), marksFrom(1, 15));
}

TEST(Journal, AnotherPlayersJournalAndSessionsAreLeftAlone) {
    Sessions sessions;
    const std::string other = "Epic%7Cabc%7C0";
    const std::map<std::string, std::string> theirs = {
        {other + "-unfinished-performance.csv",
         std::string(Quorvel::Format::kHeaderLine) +
             "2026-12-08 18:00:20,Epic|abc|0,M,10.0.0.9,7000,13,144,30,30,60,60,0,0,2,2\n"},
        {other + "-20261208-170000-unfinished-performance.csv", "theirs\n"},
        {other + "-20261208-160000-performance.csv", "theirs too\n"},
    };
    for (const auto& [name, contents] : theirs) {
        writeFile(sessions.harness.historyFolder() / name, contents);
    }
    sessions.harness.load();
    sessions.play(12);
    sessions.crashAndRestart();
    for (const auto& [name, contents] : theirs) {
        EXPECT_EQ(readFile(sessions.harness.historyFolder() / name), contents) << name;
    }
    EXPECT_EQ(sessions.unfinishedSessions().size(), 2u) << "theirs and ours";
}

// A session over the whole byte limit (a sparse file: no disk used) never pushes the
// others out; an earlier one is removed at the next load, and named.
TEST(Journal, ASessionOverTheLimitPushesNoOtherOut) {
    Sessions sessions;
    const auto history = sessions.harness.historyFolder();
    const auto day = sys_days{2026y / December / 1};
    const std::string older = Quorvel::Format::historyFileName(kPlayer, day, 1);
    const std::string oversized = Quorvel::Format::historyFileName(kPlayer, day + 1h, 1);
    writeFile(history / older, "older\n");
    writeFile(history / oversized, "");
    std::filesystem::resize_file(history / oversized, Quorvel::kHistoryLimit.bytes + (1u << 20));
    writeFile(sessions.harness.csvFile(), "newest\n");
    sessions.harness.load();

    EXPECT_TRUE(std::filesystem::exists(history / older));
    EXPECT_FALSE(std::filesystem::exists(history / oversized));
    const auto console = sessions.harness.consoleTexts();
    ASSERT_EQ(console.size(), 2u);
    EXPECT_EQ(console[0], "Quorvel: Removed " + (history / oversized).string() +
                              " (201 MiB): on its own it is over the history's limit of 200 MiB");

    // The newest session over the limit stays, and so do the others.
    std::filesystem::resize_file(sessions.harness.csvFile(), Quorvel::kHistoryLimit.bytes + 1);
    sessions.harness.host.cancelTimeouts();
    sessions.harness.deleteMe();
    sessions.harness.load();
    EXPECT_TRUE(std::filesystem::exists(history / older));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(history),
                            std::filesystem::directory_iterator()),
              3);
}

// The history could not be made, so this session appends after a last line the game
// left half-written: the first new row starts a line of its own.
TEST(Journal, RowsAfterATornLastLineStartALineOfTheirOwn) {
    Sessions sessions;
    writeFile(sessions.harness.historyFolder(), "a file where the folder would be");
    const std::string torn = "2026-12-08 18:00:22,Steam|7656|0,M1,10.0.0.1,77";
    writeFile(sessions.harness.csvFile(), onDisk(std::string(Quorvel::Format::kHeaderLine)) + torn);
    sessions.harness.load();
    sessions.play(3);
    sessions.endMatch();
    const auto lines = splitLines(sessions.harness.csv());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], torn);
    EXPECT_EQ(rowMarks({lines.begin() + 2, lines.end()}), marksFrom(1, 3));
}

#if defined(_WIN32)

// Another program holds the journal without sharing: the writes fail (said once), the
// match's rows reach the player's file all the same, and the journal that could not be
// removed then is known at the next load for rows the player's file already has.
TEST(Journal, AJournalHeldByAnotherProgramCostsNothingButItsSafety) {
    Sessions sessions;
    sessions.harness.load();
    sessions.play(10);
    HeldOpen other(sessions.journal(), 0);
    ASSERT_TRUE(other.held());
    sessions.play(15);
    sessions.endMatch();
    other.release();
    EXPECT_EQ(countStartingWith(sessions.harness.consoleTexts(), kJournalFailed), 1u);
    EXPECT_EQ(rowMarks(sessions.harness.rows()), marksFrom(1, 25));
    ASSERT_TRUE(std::filesystem::exists(sessions.journal()));

    sessions.crashAndRestart();
    EXPECT_EQ(sessions.harness.consoleTexts(), std::vector<std::string>{kLoaded});
    EXPECT_FALSE(std::filesystem::exists(sessions.journal()));
    EXPECT_EQ(sessions.marksFound(), marksFrom(1, 25));
}

#endif

#if defined(__linux__)

// A FIFO is opened by nobody: opening one would wait for its other end forever, on the
// game's thread. Each step runs under an alarm, so a hang fails instead of waiting.
TEST(Journal, AFifoWhereAFileShouldBeIsNeverOpened) {
    Sessions sessions;
    std::filesystem::remove(sessions.harness.launchLog());
    ASSERT_EQ(::mkfifo(sessions.harness.launchLog().c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(sessions.harness.csvFile().c_str(), 0600), 0);
    ::alarm(20);
    sessions.harness.load();
    sessions.play(3);
    ::alarm(0);
    const auto console = sessions.harness.consoleTexts();
    EXPECT_EQ(countStartingWith(console, "Quorvel: Could not create "), 1u);
    EXPECT_EQ(countStartingWith(console, "Quorvel: No server address found in "), 1u);
    EXPECT_EQ(countStartingWith(console, "Quorvel: Captured server"), 0u);
}

#endif

}  // namespace
}  // namespace QuorvelTest
