#include <gtest/gtest.h>

#include "CsvFile.h"
#include "PerformanceFormat.h"
#include "TempDir.h"

namespace QuorvelTest {
namespace {

const std::string kHeader(Quorvel::Format::kHeaderLine);

TEST(CsvFile, AppendStartsAnAbsentOrEmptyFileWithTheHeader) {
    TempDir folder;
    const auto file = *Quorvel::csvFilePath(folder.path(), "p");
    ASSERT_TRUE(Quorvel::appendRows(file, "r1\n"));
    ASSERT_TRUE(Quorvel::appendRows(file, "r2\n"));
    EXPECT_EQ(readFile(file), onDisk(kHeader + "r1\nr2\n"));
    writeFile(file, "");
    ASSERT_TRUE(Quorvel::appendRows(file, "r3\n"));
    EXPECT_EQ(readFile(file), onDisk(kHeader + "r3\n"));
    ASSERT_TRUE(Quorvel::createWithHeader(file));
    EXPECT_EQ(readFile(file), onDisk(kHeader));
}

TEST(CsvFile, FailedAppendLeavesTheFileAsItWas) {
    TempDir folder;
    EXPECT_FALSE(Quorvel::appendRows(folder / "missing" / "x.csv", "r\n"));
    EXPECT_FALSE(Quorvel::createWithHeader(folder / "missing" / "x.csv"));
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
    std::filesystem::create_directories(folder / "dir.csv");
    EXPECT_FALSE(Quorvel::appendRows(folder / "dir.csv", "r\n"));
#if defined(__linux__)
    const auto full = folder / "full.csv";
    std::filesystem::create_symlink("/dev/full", full);
    EXPECT_FALSE(Quorvel::appendRows(full, std::string(1 << 16, 'x')));
    EXPECT_TRUE(std::filesystem::is_symlink(full));
#endif
}

}  // namespace
}  // namespace QuorvelTest

#if defined(__linux__)
#include <sys/resource.h>

#include <csignal>

namespace QuorvelTest {
namespace {

// A file-size limit makes the append stop part-way, as a full disk does.
TEST(CsvFile, PartialAppendIsCutBackToTheFileAsItWas) {
    TempDir folder;
    const auto file = folder / "p-performance.csv";
    const std::string before = kHeader + std::string(1000, 'r') + "\n";
    writeFile(file, before);

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = before.size() + 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool appended = Quorvel::appendRows(file, std::string(std::size_t{64} * 1024, 'x'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(appended);
    EXPECT_EQ(readFile(file), before);
}

}  // namespace
}  // namespace QuorvelTest
#endif
