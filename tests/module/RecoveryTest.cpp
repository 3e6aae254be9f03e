// What goes wrong: failed writes, unloads in a match, dead objects, throwing hosts.

#include <gtest/gtest.h>

#include <set>

#include "CsvFile.h"
#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

using Tarvik::StandIn::HostOperation;

class Recovery : public ::testing::Test {
  protected:
    void SetUp() override { harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n"); }

    void playMatch(int seconds, const std::string& guid = "match-1") {
        harness.enterMatch(guid);
        harness.ticks(seconds);
        harness.leaveMatch();
    }

    std::size_t writeFailures() const {
        std::size_t count = 0;
        for (const std::string& line : harness.consoleTexts()) {
            count += line.rfind("Quorvel: Could not write performance data to ", 0) == 0 ? 1u : 0u;
        }
        return count;
    }

    PluginHarness harness;
};

TEST_F(Recovery, RowsWaitForAMissingDataFolder) {
    const auto real = harness.dataFolder.path();
    harness.game().dataFolder = real / "later";
    harness.load();
    playMatch(3);
    harness.ticks(5);
    EXPECT_EQ(writeFailures(), 1u);
    EXPECT_EQ(harness.consoleCount(kLogged), 0u);
    EXPECT_TRUE(harness.plugin().hasPendingRows);
    EXPECT_TRUE(harness.plugin().serverIp.empty()) << "the match's address is cleared anyway";

    std::filesystem::create_directories(real / "later");
    harness.ticks(1);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
    const auto lines =
        splitLines(readFile(*Quorvel::csvFilePath(real / "later", harness.game().uniqueId)));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("Timestamp,", 0), 0u);
    harness.ticks(3);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
}

#if defined(__linux__)
TEST_F(Recovery, FullDiskKeepsTheRowsUntilTheyFit) {
    harness.load();
    std::filesystem::remove(harness.csvFile());
    std::filesystem::create_symlink("/dev/full", harness.csvFile());
    playMatch(4);
    harness.ticks(2);
    EXPECT_EQ(writeFailures(), 1u);
    playMatch(2, "match-2");
    harness.ticks(1);
    EXPECT_EQ(writeFailures(), 1u) << "one report per run of failures";

    std::filesystem::remove(harness.csvFile());
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 6u);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
}
#endif

TEST_F(Recovery, FileRemovedWhileRunningIsStartedAgainWithItsHeader) {
    harness.load();
    std::filesystem::remove(harness.csvFile());
    playMatch(2);
    harness.ticks(1);
    EXPECT_EQ(splitLines(harness.csv()).at(0).rfind("Timestamp,", 0), 0u);
    EXPECT_EQ(harness.rows().size(), 2u);
}

TEST_F(Recovery, UnloadInAMatchWritesItsRowsOnceAndEndsTheChain) {
    harness.load();
    harness.enterMatch();
    harness.ticks(3);
    harness.object().onUnload();
    EXPECT_EQ(harness.rows().size(), 3u);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
    harness.ticks(3);
    EXPECT_EQ(harness.host.queuedTimeouts(), 0u);
    harness.deleteMe();
    EXPECT_EQ(harness.rows().size(), 3u) << "destruction writes nothing";
}

TEST_F(Recovery, NoTickRunsOnADeletedObject) {
    harness.load();
    harness.enterMatch();
    harness.ticks(2);
    ASSERT_EQ(harness.host.queuedTimeouts(), 1u);
    harness.deleteMe();
    const auto calls = harness.host.callCount(HostOperation::IsInOnlineGame);
    harness.ticks(3);
    EXPECT_EQ(harness.host.callCount(HostOperation::IsInOnlineGame), calls);
    EXPECT_EQ(harness.host.queuedTimeouts(), 0u);
}

TEST_F(Recovery, NoTickRunsAfterTheHostDropsTheLastCopy) {
    harness.load();
    auto hostCopy = *harness.module.record().getPlugin();
    harness.deleteMe();
    harness.ticks(2);
    EXPECT_EQ(harness.host.callCount(HostOperation::IsInOnlineGame), 3u)
        << "alive through the copy";
    hostCopy.reset();
    harness.ticks(2);
    EXPECT_EQ(harness.host.callCount(HostOperation::IsInOnlineGame), 3u);
}

TEST_F(Recovery, ReloadAfterUnloadStartsOneNewChain) {
    auto& plugin = harness.load();
    plugin.onUnload();
    plugin.onLoad();
    plugin.onLoad();
    const auto calls = harness.host.callCount(HostOperation::IsInOnlineGame);
    harness.ticks(3);
    EXPECT_EQ(harness.host.callCount(HostOperation::IsInOnlineGame), calls + 3)
        << "one tick a second";
    EXPECT_EQ(harness.host.queuedTimeouts(), 1u);
}

// Every host operation, made to throw once at each of its calls (the `skip`-th) in
// each step of a session in turn (onLoad, four ticks in a match, three after it): no
// exception reaches the host, the chain keeps going, and each row lands exactly once.
TEST_F(Recovery, EveryHostOperationThrowingOnceLosesNoRow) {
    for (std::size_t op = 0; op < Tarvik::StandIn::kHostOperationCount; ++op) {
        const auto operation = static_cast<HostOperation>(op);
        for (int skip = 0; skip < 8; ++skip) {
            for (int failingTick = 0; failingTick < 8; ++failingTick) {
                SCOPED_TRACE(std::string(Tarvik::StandIn::operationName(operation)) + ", call " +
                             std::to_string(skip + 1) + " of step " + std::to_string(failingTick));
                PluginHarness run;
                run.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
                run.create();
                int tickIndex = 0;
                auto step = [&] {
                    if (tickIndex++ == failingTick) {
                        run.host.failNextCalls(operation, {.count = 1, .skip = skip});
                    }
                };
                step();
                ASSERT_NO_THROW(run.object().onLoad());
                run.enterMatch();
                for (int i = 1; i <= 4; ++i) {
                    step();
                    run.game().sample(Tarvik::StandIn::History::PacketsIn) = {
                        0.0f, static_cast<float>(i)};
                    ASSERT_NO_THROW(run.ticks(1));
                }
                run.leaveMatch();
                for (int i = 0; i < 3; ++i) {
                    step();
                    ASSERT_NO_THROW(run.ticks(1));
                }
                EXPECT_EQ(run.host.queuedTimeouts(), 1u) << "the chain keeps ticking";
                EXPECT_FALSE(run.plugin().hasPendingRows);

                // Each row names its tick: none twice, and only the failing tick may lack one.
                std::set<int> marks;
                for (const std::string& row : run.rows()) {
                    EXPECT_TRUE(marks.insert(std::stoi(splitFields(row).at(10))).second) << row;
                }
                EXPECT_GE(marks.size(), 3u);
                EXPECT_LE(marks.size(), 4u);
                EXPECT_EQ(run.host.liveWrappers(), 4) << "both hosts' console and game wrappers";
            }
        }
    }
}

}  // namespace
}  // namespace QuorvelTest
