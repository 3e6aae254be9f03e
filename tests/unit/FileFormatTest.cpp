// The file format's own rules: the player's file name and the Timestamp column.

#include <gtest/gtest.h>

#include <chrono>

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

}  // namespace
}  // namespace QuorvelTest
