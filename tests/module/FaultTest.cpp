// Faults from every side at once: a long soak, unloads at every state, a log that
// grows while it is read, a CSV path that is a folder.

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "LaunchLogScan.h"
#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

using Tarvik::StandIn::History;
using Tarvik::StandIn::HostOperation;

// Each tick reports a distinct PacketsIn value, so a row names the tick that took it.
void markTick(PluginHarness& harness, int tick) {
    harness.game().sample(History::PacketsIn) = {0.0f, static_cast<float>(tick)};
}

std::multiset<int> tickMarks(const PluginHarness& harness) {
    std::multiset<int> marks;
    for (const std::string& row : harness.rows()) {
        marks.insert(std::stoi(splitFields(row).at(10)));
    }
    return marks;
}

TEST(Fault, DayOfMatchesAndMenusWritesEveryRowOnceWithFlatMemory) {
    PluginHarness harness;
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    harness.load();
    std::multiset<int> sampled;
    std::size_t largestPending = 0;
    constexpr int kDay = 86400;
    for (int tick = 1; tick <= kDay; ++tick) {
        // Ten-minute cycles: 7 minutes in a match, 3 in the menu; a glitch now and then.
        const int inCycle = tick % 600;
        const bool inMatch = inCycle < 420;
        if (inMatch) {
            harness.enterMatch("M" + std::to_string(tick / 600));
        } else {
            harness.leaveMatch();
        }
        harness.game().statGraphsPresent = tick % 97 != 0;
        markTick(harness, tick);
        harness.ticks(1);
        if (inMatch && harness.game().statGraphsPresent) {
            sampled.insert(tick);
        }
        largestPending = std::max(largestPending, harness.plugin().pendingRows.capacity());
        if (inCycle == 421) {
            ASSERT_TRUE(harness.plugin().pendingRows.empty()) << "flushed at tick " << tick;
        }
    }
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(tickMarks(harness), sampled);
    EXPECT_LT(largestPending, 420u * 200u) << "memory held is one match's rows";
    EXPECT_EQ(harness.host.liveWrappers(), 2);
    EXPECT_EQ(harness.host.queuedTimeouts(), 1u);
}

// The four states of the tick chain, each left by unload then deleteMe, or by deleteMe
// alone, with a tick queued: no tick runs afterwards, and pending rows reach the file
// once with an unload and never without one.
TEST(Fault, UnloadAndDeleteAtEveryStateWithATickQueued) {
    enum class State { Idle, Discovering, Sampling, Leaving };
    for (State state : {State::Idle, State::Discovering, State::Sampling, State::Leaving}) {
        for (bool unloadFirst : {true, false}) {
            SCOPED_TRACE("state " + std::to_string(static_cast<int>(state)) +
                         (unloadFirst ? " unload" : " delete"));
            PluginHarness harness;
            const auto realFolder = harness.dataFolder.path();
            harness.load();
            int expectedRows = 0;
            if (state == State::Discovering) {
                harness.enterMatch();
                harness.ticks(2);  // no Launch.log yet
            } else if (state == State::Sampling) {
                harness.writeLaunchLog("GameURL=\"10.0.0.1:1\"\n");
                harness.enterMatch();
                harness.ticks(3);
                expectedRows = 3;
            } else if (state == State::Leaving) {
                // Rows pending outside a match: their write is failing for now.
                harness.writeLaunchLog("GameURL=\"10.0.0.1:1\"\n");
                harness.game().dataFolder = realFolder / "later";
                harness.enterMatch();
                harness.ticks(2);
                harness.leaveMatch();
                harness.ticks(1);
                ASSERT_TRUE(harness.plugin().hasPendingRows);
                std::filesystem::create_directories(realFolder / "later");
                expectedRows = 2;
            }
            ASSERT_EQ(harness.host.queuedTimeouts(), 1u);
            const std::filesystem::path csv =
                harness.game().dataFolder / harness.csvFile().filename();
            if (unloadFirst) {
                harness.object().onUnload();
            }
            harness.deleteMe();
            const auto calls = harness.host.callCount(HostOperation::IsInOnlineGame);
            harness.ticks(3);
            EXPECT_EQ(harness.host.callCount(HostOperation::IsInOnlineGame), calls);
            EXPECT_EQ(harness.host.queuedTimeouts(), 0u);
            std::size_t rows = 0;
            if (std::filesystem::exists(csv)) {
                rows = splitLines(readFile(csv)).size() - 1;
            }
            EXPECT_EQ(rows, unloadFirst ? static_cast<std::size_t>(expectedRows) : 0u);
        }
    }
}

TEST(Fault, CsvPathThatIsAFolderKeepsTheRows) {
    PluginHarness harness;
    harness.writeLaunchLog("GameURL=\"10.0.0.1:1\"\n");
    harness.load();
    std::filesystem::remove(harness.csvFile());
    std::filesystem::create_directory(harness.csvFile());
    harness.enterMatch();
    harness.ticks(2);
    harness.leaveMatch();
    harness.ticks(2);
    EXPECT_TRUE(harness.plugin().hasPendingRows);
    std::filesystem::remove(harness.csvFile());
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 2u);
}

// The game appends while the plugin reads: every scan sees either an earlier entry or
// a later one, never a torn value, and the last scan sees the last entry.
TEST(Fault, LogGrowingWhileItIsScanned) {
    TempDir folder("quorvel-growing");
    const auto log = folder / "Launch.log";
    writeFile(log, "GameURL=\"10.0.0.0:0\"\n");
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 1; i <= 2000; ++i) {
            appendFile(log, "[" + std::to_string(i) + "] noise noise noise\nGameURL=\"10.0.0." +
                                std::to_string(i % 250) + ":" + std::to_string(i) + "\"\n");
        }
        done = true;
    });
    Quorvel::LaunchLogScanner scanner(4096);
    int lastPort = 0;
    while (!done) {
        const auto entry = scanner.lastEntry(log);
        ASSERT_TRUE(entry.has_value());
        const int port = std::stoi(entry->substr(entry->find(':') + 1));
        EXPECT_GE(port, lastPort) << *entry;
        lastPort = port;
    }
    writer.join();
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0." + std::to_string(2000 % 250) + ":2000");
}

TEST(Fault, SixtyFourMegabyteLineWithAndWithoutAnEntry) {
    TempDir folder("quorvel-long-line");
    const auto log = folder / "Launch.log";
    std::string line(64u << 20, 'x');
    line[1000] = '\0';
    writeFile(log, "GameURL=\"first:1\"\n" + line + "\n");
    Quorvel::LaunchLogScanner scanner;
    EXPECT_EQ(scanner.lastEntry(log), "first:1");
    writeFile(log, "GameURL=\"first:1\"\n" + line + "GameURL=\"" + line + "\"");
    EXPECT_EQ(scanner.lastEntry(log), line);
}

}  // namespace
}  // namespace QuorvelTest
