// The once-a-second chain: sampling in a live match, the flush after it, the states.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

using Tarvik::StandIn::History;
using Tarvik::StandIn::HostOperation;

class Tick : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& state = harness.game();
        state.matchGuid = "match-1";
        state.playlistId = 13;
        state.exactPing = 0.0374f;
        state.sample(History::Latency) = {30.0f, 34.0f};
        state.sample(History::PacketsOut) = {0.0f, 60.4f};
        state.sample(History::PacketsIn) = {0.0f, 59.5f};
        state.sample(History::LostPacketsOut) = {0.0f, 2.5f};
        state.sample(History::LostPacketsIn) = {0.0f, -0.7f};
        state.sample(History::Buffer) = {-1.7f, 0.0f};
        state.sample(History::BufferTarget) = {4.0f, 0.0f};
        state.sample(History::FPS) = {59.6f, 60.2f};
        harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
        harness.load();
    }

    PluginHarness harness;
};

TEST_F(Tick, IdleTicksOnlyRearm) {
    harness.ticks(3);
    EXPECT_EQ(harness.host.queuedTimeouts(), 1u);
    EXPECT_EQ(harness.host.callCount(HostOperation::SetTimeout), 4u);
    EXPECT_EQ(harness.host.callCount(HostOperation::GetOnlineGame), 0u);
    EXPECT_TRUE(harness.rows().empty());
    EXPECT_EQ(harness.consoleTexts().size(), 1u);
}

TEST_F(Tick, MatchRowsReachTheFileInOneAppendAfterTheMatch) {
    harness.enterMatch();
    harness.ticks(4);
    EXPECT_EQ(harness.plugin().serverIp, "10.0.0.1");
    EXPECT_EQ(harness.plugin().serverPort, "7777");
    EXPECT_TRUE(harness.rows().empty()) << "nothing is written during a match";

    harness.leaveMatch();
    harness.ticks(1);
    const auto rows = harness.rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
    EXPECT_EQ(harness.consoleTexts().back(), kLogged);
    EXPECT_TRUE(harness.plugin().serverIp.empty());
    EXPECT_TRUE(harness.plugin().pendingRows.empty());
    EXPECT_FALSE(harness.plugin().hasPendingRows);

    // FPS mean 59.9 -> 60; ping 37.4 ms -> 37; latency mean 32; 60.4 -> 60; 59.5 -> 60;
    // 2.5 -> 3; -0.7 -> 0; -1.7 -> -1; 4 -> 4.
    const std::string expectedTail =
        "," + harness.game().uniqueId + ",match-1,10.0.0.1,7777,13,60,37,32,60,60,3,0,-1,4";
    for (const std::string& row : rows) {
        EXPECT_EQ(row.substr(19), expectedTail);
    }

    harness.ticks(3);
    EXPECT_EQ(harness.rows().size(), 4u);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
}

TEST_F(Tick, TimestampIsTheUtcSecondOfTheTick) {
    harness.enterMatch();
    const auto before = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    harness.ticks(1);
    const auto after = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    harness.leaveMatch();
    harness.ticks(1);
    const std::string stamp = splitFields(harness.rows().at(0)).at(0);
    ASSERT_EQ(stamp.size(), 19u);

    std::tm utc{};
    utc.tm_year = std::stoi(stamp.substr(0, 4)) - 1900;
    utc.tm_mon = std::stoi(stamp.substr(5, 2)) - 1;
    utc.tm_mday = std::stoi(stamp.substr(8, 2));
    const auto day = std::chrono::sys_days{std::chrono::year{utc.tm_year + 1900} /
                                           (utc.tm_mon + 1) / utc.tm_mday};
    const auto taken = day + std::chrono::hours{std::stoi(stamp.substr(11, 2))} +
                       std::chrono::minutes{std::stoi(stamp.substr(14, 2))} +
                       std::chrono::seconds{std::stoi(stamp.substr(17, 2))};
    EXPECT_GE(taken, before);
    EXPECT_LE(taken, after);
}

TEST_F(Tick, EachMissingGameObjectCostsOnlyThatTicksRow) {
    harness.enterMatch();
    harness.ticks(1);
    harness.game().localPlayerPresent = false;
    harness.ticks(1);
    harness.game().localPlayerPresent = true;
    harness.game().replicationInfoPresent = false;
    harness.ticks(1);
    harness.game().replicationInfoPresent = true;
    harness.game().statGraphsPresent = false;
    harness.ticks(1);
    harness.game().statGraphsPresent = true;
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 2u);
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
    EXPECT_EQ(harness.host.liveWrappers(), 2) << "only the host's console and game wrappers live";
}

TEST_F(Tick, NullOnlineGameInsideAMatchFlushesAndRediscovers) {
    harness.enterMatch();
    harness.ticks(2);
    harness.game().onlineGamePresent = false;
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 2u);
    EXPECT_TRUE(harness.plugin().serverIp.empty());

    harness.writeLaunchLog("GameURL=\"10.0.0.9:9\"\n");
    harness.game().onlineGamePresent = true;
    harness.ticks(3);
    harness.leaveMatch();
    harness.ticks(1);
    const auto rows = harness.rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(splitFields(rows[4]).at(3), "10.0.0.9");
    EXPECT_EQ(harness.consoleCount(kLogged), 2u);
}

TEST_F(Tick, BackToBackMatchesShareOneFlushAndTheFirstAddress) {
    harness.enterMatch("match-1");
    harness.ticks(2);
    harness.writeLaunchLog("GameURL=\"10.0.0.2:2\"\n");
    harness.enterMatch("match-2");
    harness.ticks(2);
    harness.leaveMatch();
    harness.ticks(1);
    const auto rows = harness.rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(splitFields(rows[3]).at(2), "match-2");
    EXPECT_EQ(splitFields(rows[3]).at(3), "10.0.0.1");
    EXPECT_EQ(harness.consoleCount(kLogged), 1u);
}

TEST_F(Tick, MatchWithoutRowsKeepsTheAddressForTheNext) {
    harness.game().replicationInfoPresent = false;
    harness.enterMatch();
    harness.game().replicationInfoPresent = false;
    harness.ticks(3);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(harness.consoleCount(kLogged), 0u);
    EXPECT_EQ(harness.plugin().serverIp, "10.0.0.1");

    harness.writeLaunchLog("GameURL=\"10.0.0.3:3\"\n");
    harness.enterMatch("match-2");
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(splitFields(harness.rows().at(0)).at(3), "10.0.0.1");
}

TEST_F(Tick, StatisticsThatFitNoIntegerWriteTheMinimum) {
    harness.game().sample(History::FPS) = {std::numeric_limits<float>::quiet_NaN(), 1.0f};
    harness.game().sample(History::PacketsOut) = {0.0f, std::numeric_limits<float>::infinity()};
    harness.game().sample(History::PacketsIn) = {0.0f, 3.0e9f};
    harness.game().sample(History::Buffer) = {-3.0e9f, 0.0f};
    harness.enterMatch();
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    const auto fields = splitFields(harness.rows().at(0));
    for (int column : {6, 9, 10, 13}) {
        EXPECT_EQ(fields.at(static_cast<std::size_t>(column)), "-2147483648") << column;
    }
}

TEST_F(Tick, TextFieldsWithSeparatorsAreQuoted) {
    harness.game().matchGuid = "a,b\"c";
    harness.writeLaunchLog("GameURL=\"10.0.0.1:77,7\"\n");
    harness.enterMatch(harness.game().matchGuid);
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    const std::string row = harness.rows().at(0);
    EXPECT_NE(row.find(",\"a,b\"\"c\",10.0.0.1,\"77,7\",13,"), std::string::npos) << row;
    const auto fields = splitFields(row);
    ASSERT_EQ(fields.size(), 15u);
    EXPECT_EQ(fields[2], "a,b\"c");
    EXPECT_EQ(fields[4], "77,7");
}

}  // namespace
}  // namespace QuorvelTest
