// Earlier sessions at load: kept whole in quorvel-history (renamed, else copied), or
// left in place with the new rows after them; the history's limit; its names.

#include <gtest/gtest.h>

#include <chrono>
#include <set>

#include "HeldOpen.h"
#include "HistoryFileName.h"
#include "HistoryLimit.h"
#include "OtherFileSystem.h"
#include "PerformanceFormat.h"
#include "PluginHarness.h"
#include "SharedLogFile.h"

namespace QuorvelTest {
namespace {

using namespace std::chrono;
using Tarvik::StandIn::History;

const std::string kRows = onDisk(
    "2026-12-08 18:00:20,Steam|7656|0,M1,10.0.0.1,7777,13,142,34,39,60,60,0,0,2,2\n"
    "2026-12-08 18:00:21,Steam|7656|0,M1,10.0.0.1,7777,13,141,35,39,60,60,0,0,2,2\n");
const std::string kFirstRowName = "Steam%7C7656%7C0-20261208-180020-performance.csv";

class HistoryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        harness.game().uniqueId = kPlayer;
        harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    }

    std::filesystem::path history() const { return harness.historyFolder(); }

    std::set<std::string> historyNames() const {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(history())) {
            names.insert(entry.path().filename().string());
        }
        return names;
    }

    void playMatch(int seconds) {
        for (int i = 0; i < seconds; ++i) {
            harness.markedTick(++mark);
        }
        harness.leaveMatch();
        harness.ticks(1);
    }

    PluginHarness harness;
    int mark = 0;
};

std::string crLf(std::string_view text) {
    std::string converted;
    for (char c : text) {
        if (c == '\n' && (converted.empty() || converted.back() != '\r')) {
            converted.push_back('\r');
        }
        converted.push_back(c);
    }
    return converted;
}

Quorvel::FileIdentity identity(const std::filesystem::path& file) {
    return Quorvel::SharedLogFile::open(file).value().identity();
}

struct EarlierFile {
    const char* what;
    std::string contents;
    std::string expectedName;
};

// The name takes the first row's time; without one, the file's last write.
TEST_F(HistoryTest, EarlierRowsAreRenamedIntoTheHistoryWhole) {
    const auto written = sys_days{2025y / March / 4} + 5h + 6min + 7s;
    const std::vector<EarlierFile> files = {
        {"header and rows", headerOnDisk() + kRows, kFirstRowName},
        {"CR LF line ends on any platform", crLf(Quorvel::Format::kHeaderLine) + crLf(kRows),
         kFirstRowName},
        {"rows without a header", kRows, kFirstRowName},
        {"no timestamp", "old contents\nfrom an earlier load\n",
         "Steam%7C7656%7C0-20250304-050607-performance.csv"},
        {"a header and a bad timestamp", headerOnDisk() + "2026-12-08 25:00:00,x\n",
         "Steam%7C7656%7C0-20250304-050607-performance.csv"},
    };
    for (const EarlierFile& earlier : files) {
        SCOPED_TRACE(earlier.what);
        writeFile(harness.csvFile(), earlier.contents);
        std::filesystem::last_write_time(harness.csvFile(), file_clock::from_sys(written));
        const Quorvel::FileIdentity before = identity(harness.csvFile());
        harness.load();

        ASSERT_EQ(historyNames(), std::set<std::string>{earlier.expectedName});
        EXPECT_EQ(readFile(history() / earlier.expectedName), earlier.contents);
        EXPECT_EQ(identity(history() / earlier.expectedName), before) << "renamed, not copied";
        EXPECT_EQ(harness.csv(), headerOnDisk());
        EXPECT_EQ(harness.consoleTexts(), std::vector<std::string>{kLoaded});

        harness.host.cancelTimeouts();
        harness.deleteMe();
        harness.host.clearConsole();
        std::filesystem::remove_all(history());
    }
}

TEST_F(HistoryTest, AHeaderOnlyOrEmptyFileIsStartedAfreshWithoutHistory) {
    harness.create();
    const std::string header(Quorvel::Format::kHeaderLine);
    for (const std::string& contents : {std::string(), header, crLf(header)}) {
        writeFile(harness.csvFile(), contents);
        harness.object().onLoad();
        EXPECT_FALSE(std::filesystem::exists(history()));
        EXPECT_EQ(harness.csv(), headerOnDisk());
    }
    EXPECT_EQ(harness.consoleCount(kLoaded), 3u);
}

// Unload at 60 s in a match, load again at 70 s: nothing logged is lost.
TEST_F(HistoryTest, ReloadsInsideAMatchKeepEveryRow) {
    harness.load();
    std::multiset<int> logged;
    auto play = [&](int seconds) {
        for (int i = 0; i < seconds; ++i) {
            harness.markedTick(++mark);
            logged.insert(mark);
        }
    };
    play(60);
    for (int reload = 0; reload < 2; ++reload) {
        harness.object().onUnload();
        harness.deleteMe();
        harness.ticks(10);
        harness.game().sample(History::PacketsIn) = {0.0f, static_cast<float>(++mark)};
        harness.load();  // its first tick samples at once
        logged.insert(mark);
        play(10);
    }
    harness.leaveMatch();
    harness.ticks(1);

    std::vector<std::string> lines = harness.historyLines();
    EXPECT_EQ(historyNames().size(), 2u);
    for (const std::string& row : harness.rows()) {
        lines.push_back(row);
    }
    EXPECT_EQ(rowMarks(lines), logged);
}

#if defined(__linux__)

TEST_F(HistoryTest, CopiedWhenTheHistoryIsOnAnotherFileSystem) {
    if (!FolderElsewhere::availableBeside(harness.dataFolder.path())) {
        GTEST_SKIP() << "/dev/shm is not another file system here";
    }
    FolderElsewhere elsewhere;
    std::filesystem::create_directory_symlink(elsewhere.root, history());
    writeFile(harness.csvFile(), headerOnDisk() + kRows);
    const Quorvel::FileIdentity before = identity(harness.csvFile());
    harness.load();

    EXPECT_EQ(readFile(elsewhere.root / kFirstRowName), headerOnDisk() + kRows);
    EXPECT_EQ(harness.csv(), headerOnDisk());
    EXPECT_EQ(identity(harness.csvFile()), before) << "copied, then emptied in place";
    EXPECT_EQ(harness.consoleTexts(), std::vector<std::string>{kLoaded});
}

#endif

#if defined(_WIN32)

TEST_F(HistoryTest, CopiedWhileAnotherProgramHoldsTheFileWithoutDeleteSharing) {
    writeFile(harness.csvFile(), headerOnDisk() + kRows);
    const Quorvel::FileIdentity before = identity(harness.csvFile());
    HeldOpen other(harness.csvFile(), FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(other.held());
    harness.load();
    other.release();

    EXPECT_EQ(readFile(history() / kFirstRowName), headerOnDisk() + kRows);
    EXPECT_EQ(harness.csv(), headerOnDisk());
    EXPECT_EQ(identity(harness.csvFile()), before) << "copied, then emptied in place";
    EXPECT_EQ(harness.consoleTexts(), std::vector<std::string>{kLoaded});
}

#endif

// The old file stays as it was, the console says so once (its first line), and this
// session's rows follow the old ones without a second header.
void expectAppendedAfterTheOldRows(const PluginHarness& harness) {
    const std::string console0 = harness.consoleTexts().at(0);
    const std::string csv = harness.csv();
    const std::string file = Quorvel::Format::performanceFileName(kPlayer);
    EXPECT_EQ(console0.rfind("Quorvel: Could not keep the earlier rows of ", 0), 0u) << console0;
    EXPECT_NE(console0.find(file), std::string::npos) << console0;
    EXPECT_NE(console0.find("this session's rows are appended after them"), std::string::npos);
    ASSERT_EQ(csv.rfind(headerOnDisk() + kRows, 0), 0u);
    const auto lines = splitLines(csv.substr(headerOnDisk().size() + kRows.size()));
    EXPECT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) {
        EXPECT_EQ(splitFields(line).at(1), kPlayer) << line;
    }
}

TEST_F(HistoryTest, NotKeptWhenTheHistoryFolderCannotBeMade) {
    writeFile(history(), "a file where the folder would be");
    writeFile(harness.csvFile(), headerOnDisk() + kRows);
    harness.load();
    EXPECT_EQ(harness.csv(), headerOnDisk() + kRows);
    playMatch(3);

    const auto console = harness.consoleTexts();
    ASSERT_EQ(console.size(), 4u);  // kept, loaded, captured, logged
    EXPECT_EQ(console[1], kLoaded);
    expectAppendedAfterTheOldRows(harness);
    EXPECT_EQ(readFile(history()), "a file where the folder would be");
}

#if defined(_WIN32)

TEST_F(HistoryTest, NotKeptWhileAnotherProgramHoldsTheFileWithoutSharing) {
    writeFile(harness.csvFile(), headerOnDisk() + kRows);
    HeldOpen other(harness.csvFile(), 0);
    ASSERT_TRUE(other.held());
    harness.load();
    other.release();
    EXPECT_EQ(harness.csv(), headerOnDisk() + kRows);
    playMatch(3);

    const auto console = harness.consoleTexts();
    ASSERT_EQ(console.size(), 4u);
    EXPECT_EQ(console[1], kLoaded);
    expectAppendedAfterTheOldRows(harness);
    EXPECT_TRUE(historyNames().empty());
}

#endif

TEST_F(HistoryTest, AFullHistoryLosesItsOldestSession) {
    std::filesystem::create_directories(history());
    const auto oldest = sys_days{2025y / January / 1};
    std::vector<std::string> earlier;
    for (std::size_t i = 0; i < Quorvel::kHistoryLimit.files; ++i) {
        earlier.push_back(Quorvel::Format::historyFileName(kPlayer, oldest + minutes(i), 1));
        writeFile(history() / earlier.back(), "r\n");
    }
    writeFile(harness.csvFile(), headerOnDisk() + kRows);
    harness.load();

    const auto names = historyNames();
    EXPECT_EQ(names.size(), Quorvel::kHistoryLimit.files);
    EXPECT_FALSE(names.contains(earlier.front()));
    EXPECT_TRUE(names.contains(earlier[1]));
    EXPECT_TRUE(names.contains(kFirstRowName));
}

TEST_F(HistoryTest, SessionsOfOneSecondAreNumberedNotReplaced) {
    const std::vector<std::string> sessions = {
        headerOnDisk() + kRows, headerOnDisk() + kRows + kRows, kRows + onDisk("third\n")};
    harness.create();
    for (const std::string& contents : sessions) {
        writeFile(harness.csvFile(), contents);
        harness.object().onLoad();
    }
    const std::string stem = "Steam%7C7656%7C0-20261208-180020";
    EXPECT_EQ(historyNames(),
              (std::set<std::string>{stem + "-performance.csv", stem + "-2-performance.csv",
                                     stem + "-3-performance.csv"}));
    EXPECT_EQ(readFile(history() / (stem + "-performance.csv")), sessions[0]);
    EXPECT_EQ(readFile(history() / (stem + "-2-performance.csv")), sessions[1]);
    EXPECT_EQ(readFile(history() / (stem + "-3-performance.csv")), sessions[2]);
}

}  // namespace
}  // namespace QuorvelTest
