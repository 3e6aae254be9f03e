// Finding the match server in the game's log, through the loaded module.

#include <gtest/gtest.h>

#include <functional>

#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

const std::string kCaptured = "Quorvel: Captured server from Launch.log: ";

class Discovery : public ::testing::Test {
  protected:
    void SetUp() override { harness.load(); }

    // One live tick; what the plugin then holds.
    std::string liveTick() {
        harness.enterMatch();
        harness.ticks(1);
        return harness.plugin().serverIp + "|" + harness.plugin().serverPort;
    }

    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : harness.consoleTexts()) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }

    PluginHarness harness;
};

TEST_F(Discovery, LastEntryWinsAndIsAnnounced) {
    harness.writeLaunchLog("GameURL=\"10.0.0.1:700\"\nother\r\nx GameURL=\"10.0.0.2:701\" y\r\n");
    EXPECT_EQ(liveTick(), "10.0.0.2|701");
    EXPECT_EQ(linesStartingWith(kCaptured), std::vector<std::string>{kCaptured + "10.0.0.2:701"});
    harness.ticks(3);
    EXPECT_EQ(linesStartingWith(kCaptured).size(), 1u) << "no scan while the address is known";
}

TEST_F(Discovery, ValueWithoutColonOrWithExtraText) {
    harness.writeLaunchLog("GameURL=\"just-a-host\"");
    EXPECT_EQ(liveTick(), "just-a-host|");
    EXPECT_EQ(harness.consoleTexts().back(), kCaptured + "just-a-host:");

    harness.leaveMatch();
    harness.ticks(1);
    harness.writeLaunchLog("GameURL=\"h:700?k=v:1\"\n");
    EXPECT_EQ(liveTick(), "h|700?k=v:1");
}

// Each such server stays apart in the rows, announced in the form it was written.
TEST_F(Discovery, BracketedIPv6AddressKeepsItsColons) {
    harness.writeLaunchLog("GameURL=\"[2001:db8::1]:7777\"\n");
    EXPECT_EQ(liveTick(), "2001:db8::1|7777");
    EXPECT_EQ(linesStartingWith(kCaptured),
              std::vector<std::string>{kCaptured + "[2001:db8::1]:7777"});
    harness.leaveMatch();
    harness.ticks(1);
    const std::vector<std::string> row = splitFields(harness.rows().at(0));
    EXPECT_EQ(row.at(3) + "|" + row.at(4), "2001:db8::1|7777");
}

TEST_F(Discovery, EmptyHostIsAnnouncedEveryTickAndTakesNoRows) {
    harness.writeLaunchLog("GameURL=\":700\"\n");
    EXPECT_EQ(liveTick(), "|700");
    harness.ticks(2);
    EXPECT_EQ(linesStartingWith(kCaptured).size(), 3u);
    EXPECT_FALSE(harness.plugin().hasPendingRows);
}

TEST_F(Discovery, EmptyLastValueSetsNothingAndSaysSoOncePerMatch) {
    harness.writeLaunchLog("GameURL=\"10.0.0.1:700\"\nGameURL=\"\"\n");
    EXPECT_EQ(liveTick(), "|");
    harness.ticks(4);
    EXPECT_TRUE(linesStartingWith(kCaptured).empty());
    const auto notFound = linesStartingWith("Quorvel: No server address found in ");
    ASSERT_EQ(notFound.size(), 1u);
    EXPECT_NE(notFound[0].find("Launch.log"), std::string::npos);
    EXPECT_NE(notFound[0].find("no rows are taken until one appears"), std::string::npos);

    harness.leaveMatch();
    harness.ticks(1);
    liveTick();
    EXPECT_EQ(linesStartingWith("Quorvel: No server address found in ").size(), 2u);

    harness.writeLaunchLog("GameURL=\"10.0.0.3:3\"\n");
    harness.ticks(1);
    EXPECT_EQ(harness.plugin().serverIp, "10.0.0.3");
}

TEST_F(Discovery, MissingLogIsReportedOnceAndFoundWhenItAppears) {
    EXPECT_EQ(liveTick(), "|");
    harness.ticks(2);
    EXPECT_EQ(linesStartingWith("Quorvel: No server address found in ").size(), 1u);
    harness.writeLaunchLog("GameURL=\"10.0.0.4:4\"\n");
    harness.ticks(1);
    EXPECT_EQ(harness.plugin().serverIp, "10.0.0.4");
    harness.ticks(1);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 2u) << "rows start with the tick that found the address";
}

TEST_F(Discovery, NonLatinDocumentsFolderWorks) {
    TempDir documents("\xd0\x94\xd0\xbe\xd0\xba\xe6\x96\x87\xe6\x9b\xb8");  // Cyrillic and CJK
    setDocumentsFolder(documents.path());
    writeFile(documents / "My Games" / "Brimvale" / "TAGame" / "Logs" / "Launch.log",
              "GameURL=\"10.0.0.5:5\"\n");
    EXPECT_EQ(liveTick(), "10.0.0.5|5");
    setDocumentsFolder(harness.documents.path());
}

// After a match, the next one reads the log again: a log replaced meanwhile gives the
// address a fresh reading gives, however much of the old one it resembles.
TEST(DiscoveryAfterReplacement, TheReplacedLogsAddressIsTaken) {
    const std::string head(200, 'h');
    const std::string tail = std::string(1, '\n').append(199, 't');
    const auto logWith = [&](const std::string& address) {
        return head + "\nLogNet: Browse: GameURL=\"" + address + "\" Options" + tail;
    };
    struct Case {
        const char* how;
        std::function<void(PluginHarness&)> replace;
    };
    const Case cases[] = {
        {"same size, same first and last bytes, another address in the middle",
         [&](PluginHarness& h) { h.writeLaunchLog(logWith("10.0.0.2:7000")); }},
        {"longer, with the old end bytes where the old end was",
         [&](PluginHarness& h) { h.writeLaunchLog(logWith("10.0.0.2:7000") + "\nmore\n"); }},
        {"deleted and created again at the same size",
         [&](PluginHarness& h) {
             std::filesystem::remove(h.launchLog());
             h.writeLaunchLog(logWith("10.0.0.2:7000"));
         }},
    };
    for (const Case& c : cases) {
        PluginHarness harness;
        harness.load();
        harness.writeLaunchLog(logWith("10.0.0.1:7000"));
        harness.enterMatch();
        harness.ticks(2);
        ASSERT_EQ(harness.plugin().serverIp, "10.0.0.1") << c.how;
        harness.leaveMatch();
        harness.ticks(1);
        c.replace(harness);
        harness.enterMatch("match-2");
        harness.ticks(2);
        EXPECT_EQ(harness.plugin().serverIp, "10.0.0.2") << c.how;
        harness.leaveMatch();
        harness.ticks(1);
        const auto rows = harness.rows();
        ASSERT_EQ(rows.size(), 4u) << c.how;
        EXPECT_NE(rows[3].find(",10.0.0.2,7000,"), std::string::npos) << c.how << ": " << rows[3];
    }
}

TEST_F(Discovery, LogIsNotReadWhileTheAddressIsKnown) {
    harness.writeLaunchLog("GameURL=\"10.0.0.1:1\"\n");
    liveTick();
    std::filesystem::remove(harness.launchLog());
    harness.ticks(3);
    harness.leaveMatch();
    harness.ticks(1);
    EXPECT_EQ(harness.rows().size(), 4u);
}

}  // namespace
}  // namespace QuorvelTest
