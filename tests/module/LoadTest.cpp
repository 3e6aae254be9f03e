// onLoad: the player's id, a fresh file with its header, the load line.

#include <gtest/gtest.h>

#include "PerformanceFormat.h"
#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

TEST(Load, CreatesTheFileWithExactlyTheHeaderAndAnnouncesAfterwards) {
    PluginHarness harness;
    writeFile(harness.csvFile(), "old contents\nfrom an earlier load\n");
    harness.load();

    EXPECT_EQ(harness.csv(), headerOnDisk());
    EXPECT_EQ(harness.plugin().userId, harness.game().uniqueId);
    EXPECT_EQ(harness.consoleTexts(), std::vector<std::string>{kLoaded});
    // onLoad made the first tick directly, which re-armed the chain.
    EXPECT_EQ(harness.host.queuedTimeouts(), 1u);
}

TEST(Load, SecondLoadStartsTheFileAfreshAndKeepsOneChain) {
    PluginHarness harness;
    harness.load();
    appendFile(harness.csvFile(), "row,from,the,first,load\n");
    harness.object().onLoad();
    EXPECT_EQ(harness.csv(), headerOnDisk());
    EXPECT_EQ(harness.consoleCount(kLoaded), 2u);
    EXPECT_EQ(harness.host.queuedTimeouts(), 1u);

    harness.enterMatch();
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    harness.ticks(5);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 5u) << "one chain takes one row a second";
}

TEST(Load, EmptyIdGivesTheBareFileName) {
    PluginHarness harness;
    harness.game().uniqueId.clear();
    harness.load();
    EXPECT_EQ(readFile(harness.dataFolder / "-performance.csv"), headerOnDisk());
}

TEST(Load, UnsafeIdStaysInsideTheDataFolderAndRawInTheRows) {
    PluginHarness harness;
    harness.game().uniqueId = "../a/b\\c:d|e?f*g<h>i\"j%k\x01z";
    harness.load();
    const auto file =
        harness.dataFolder / "..%2Fa%2Fb%5Cc%3Ad%7Ce%3Ff%2Ag%3Ch%3Ei%22j%25k%01z-performance.csv";
    EXPECT_EQ(readFile(file), headerOnDisk());

    harness.enterMatch();
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    const auto lines = splitLines(readFile(file));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(splitFields(lines[1]).at(1), harness.game().uniqueId);
}

TEST(Load, UnloadOutsideAMatchChangesNothing) {
    PluginHarness harness;
    harness.load();
    harness.object().onUnload();
    EXPECT_EQ(harness.csv(), headerOnDisk());
    EXPECT_FALSE(harness.plugin().hasPendingRows);
    EXPECT_EQ(harness.plugin().userId, harness.game().uniqueId);
    harness.ticks(3);
    EXPECT_EQ(harness.host.queuedTimeouts(), 0u) << "unload ends the chain";
}

TEST(Load, MissingDataFolderIsReportedAndLoadStillAnnounces) {
    PluginHarness harness;
    harness.game().dataFolder = harness.dataFolder / "not-yet";
    harness.load();
    const auto console = harness.consoleTexts();
    ASSERT_EQ(console.size(), 2u);
    EXPECT_EQ(console[0].rfind("Quorvel: Could not create ", 0), 0u);
    EXPECT_EQ(console[1], kLoaded);
}

}  // namespace
}  // namespace QuorvelTest
