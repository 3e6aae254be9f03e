// The file format's own rules: the player's file name, the Timestamp column and the
// names of earlier sessions.

#include <gtest/gtest.h>

#include <chrono>

#include "HistoryFileName.h"
#include "PerformanceFormat.h"
#include "UtcTimestamp.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Format;

TEST(FileFormat, SafeIdEscapesOnlyWhatAFileNameCannotHold) {
    EXPECT_EQ(fileNameSafeId("Steam|7656|0"), "Steam%7C7656%7C0");
    EXPECT_EQ(fileNameSafeId("Epic-abc_12.x y"), "Epic-abc_12.x y");
    EXPECT_EQ(fileNameSafeId("100%"), "100%25");
    EXPECT_EQ(fileNameSafeId(std::string("\x1f\x7f\xc3\xa9", 4)), "%1F\x7f\xc3\xa9");
    // Two ids never share a name.
    EXPECT_NE(fileNameSafeId("a|b"), fileNameSafeId("a%7Cb"));
    EXPECT_EQ(performanceFileName(""), "-performance.csv");
}

TEST(FileFormat, TimestampIsUtcWithWholeSecondsAndReadsBack) {
    using namespace std::chrono;
    const auto time = sys_days{2026y / December / 8} + 15h + 4min + 5s + 999ms;
    EXPECT_EQ(formatUtcTimestamp(time), "2026-12-08 15:04:05");
    EXPECT_EQ(formatUtcTimestamp(sys_seconds{sys_days{1970y / January / 1}}),
              "1970-01-01 00:00:00");
    EXPECT_EQ(parseUtcTimestamp("2026-12-08 15:04:05"), floor<seconds>(time));
    // Any year the form can hold, far outside a nanosecond clock's range too.
    for (const char* text : {"2024-02-29 23:59:59", "0000-01-01 00:00:00", "1013-12-08 15:54:00",
                             "9999-12-31 23:59:59"}) {
        const auto back = parseUtcTimestamp(text);
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(formatUtcTimestamp(*back), text);
    }
}

TEST(FileFormat, TimestampsAreReadStrictly) {
    for (const char* text : {"2026-12-08 -1:00:10", "2026-12-08 17:-5:10", "-001-12-08 17:05:10",
                             "2026-12-08 24:00:00", "2026-12-08 23:60:00", "2026-12-08 23:59:60",
                             "2026-02-29 10:00:00", "2026-13-01 10:00:00", "2026-00-10 10:00:00",
                             "2026-04-31 10:00:00", "2026-12-08T17:05:10", "2026-12-08 17:05:1",
                             "2026-12-08 17:05:10Z", "+026-12-08 17:05:10", "2026-12-08 17:05: 1",
                             "２026-12-08 17:05:10", ""}) {
        EXPECT_FALSE(parseUtcTimestamp(text)) << text;
    }
}

TEST(FileFormat, HistoryNameIsTheSafeIdTheFirstRowsTimeAndASequence) {
    using namespace std::chrono;
    const sys_seconds time = sys_days{2026y / December / 8} + 18h + 0min + 20s;
    EXPECT_EQ(historyFileName("Steam|7656|0", time, 1),
              "Steam%7C7656%7C0-20261208-180020-performance.csv");
    EXPECT_EQ(historyFileName("p", time, 2), "p-20261208-180020-2-performance.csv");
    EXPECT_EQ(historyFileName("", sys_seconds{}, 10), "-19700101-000000-10-performance.csv");
}

TEST(FileFormat, HistoryNamesReadBackWhateverTheId) {
    using namespace std::chrono;
    for (const sys_seconds time : {sys_seconds{sys_days{2026y / December / 8} + 23h + 59min + 59s},
                                   sys_seconds{sys_days{2024y / February / 29}}}) {
        // Ids that end like a time, a sequence or a mark themselves.
        for (const char* id :
             {"Steam|7656|0", "", "a-20261208-180020", "x-2", "-7", "p-unfinished"}) {
            for (unsigned sequence : {1u, 2u, 10u, 1000u}) {
                for (const SessionEnd end : {SessionEnd::Whole, SessionEnd::Unfinished}) {
                    const std::string name = historyFileName(id, time, sequence, end);
                    const auto parsed = parseHistoryFileName(name);
                    ASSERT_TRUE(parsed.has_value()) << name;
                    EXPECT_EQ(parsed->safeId, fileNameSafeId(id)) << name;
                    EXPECT_EQ(parsed->firstRow, time) << name;
                    EXPECT_EQ(parsed->sequence, sequence) << name;
                    EXPECT_EQ(parsed->end, end) << name;
                    EXPECT_EQ(isUnfinishedSessionName(name), end == SessionEnd::Unfinished) << name;
                }
            }
        }
    }
}

// The journal of a match in progress is unfinished, but no kept session of anyone's.
TEST(FileFormat, JournalNamesAreUnfinishedButNoSession) {
    EXPECT_EQ(journalFileName("Steam|7656|0"), "Steam%7C7656%7C0-unfinished-performance.csv");
    for (const char* id : {"Steam|7656|0", "", "p-unfinished"}) {
        const std::string name = journalFileName(id);
        EXPECT_TRUE(isUnfinishedSessionName(name)) << name;
        EXPECT_FALSE(parseHistoryFileName(name).has_value()) << name;
    }
    for (const char* name : {"unfinished-performance.csv", "p-unfinished.csv",
                             "p-unfinished-performance.csv.bak", "p-performance.csv"}) {
        EXPECT_FALSE(isUnfinishedSessionName(name)) << name;
    }
}

TEST(FileFormat, OtherNamesAreNotHistoryNames) {
    for (const char* name :
         {"Steam%7C7656%7C0-performance.csv", "p-20261208-180020.csv",
          "p-20261308-180020-performance.csv", "p-20261208-240000-performance.csv",
          "p-20261208_180020-performance.csv", "p-2026120-180020-performance.csv",
          "p-20261208-180020-1-performance.csv", "p-20261208-180020-02-performance.csv",
          "p-20261208-180020--performance.csv", "p-20261208-180020-x-performance.csv",
          "p-20261208-180020-+3-performance.csv", "20261208-180020-performance.csv",
          "p20261208-180020-performance.csv", ""}) {
        EXPECT_FALSE(parseHistoryFileName(name).has_value()) << name;
    }
}

}  // namespace
}  // namespace QuorvelTest
