#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "CsvRow.h"
#include "PerformanceFormat.h"

namespace QuorvelTest {
namespace {

using Quorvel::roundStatistic;

TEST(CsvRow, RoundingAddsAHalfAndTruncatesTowardZero) {
    EXPECT_EQ(roundStatistic((59.6f + 60.2f) * 0.5f), 60);
    EXPECT_EQ(roundStatistic(0.0374f * 1000.0f), 37);
    EXPECT_EQ(roundStatistic(2.5f), 3);
    EXPECT_EQ(roundStatistic(-0.7f), 0);
    EXPECT_EQ(roundStatistic(-1.7f), -1);
    EXPECT_EQ(roundStatistic(-0.5f), 0);
    EXPECT_EQ(roundStatistic(2147483520.0f), 2147483520);  // largest float below 2^31
}

TEST(CsvRow, UnrepresentableStatisticsGiveTheMinimum) {
    constexpr std::int32_t kMinimum = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(roundStatistic(std::numeric_limits<float>::quiet_NaN()), kMinimum);
    EXPECT_EQ(roundStatistic(std::numeric_limits<float>::infinity()), kMinimum);
    EXPECT_EQ(roundStatistic(-std::numeric_limits<float>::infinity()), kMinimum);
    EXPECT_EQ(roundStatistic(2147483648.0f), kMinimum);
    EXPECT_EQ(roundStatistic(-2147483648.0f), -2147483647);  // -2^31 + 0.5 truncates up
    EXPECT_EQ(roundStatistic(-2147483904.0f), kMinimum);
}

TEST(CsvRow, MeansAndProductsAreTakenInSinglePrecision) {
    Quorvel::PendingSamples samples{};
    samples.fps = {59.6f, 60.2f};
    samples.latency = {16777216.0f, 1.0f};  // 2^24 + 1 is not a float
    const auto statistics = Quorvel::combineStatistics(samples, 0.0374f);
    using Quorvel::Format::Statistic;
    EXPECT_EQ(statistics[Statistic::FPS], (59.6f + 60.2f) * 0.5f);
    EXPECT_EQ(statistics[Statistic::Ping], 0.0374f * 1000.0f);
    EXPECT_EQ(statistics[Statistic::Latency], 8388608.0f);
}

TEST(CsvRow, HeaderAndRowLayout) {
    EXPECT_EQ(Quorvel::Format::kHeaderLine,
              "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,"
              "PacketsOut,PacketsIn,LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n");
    std::string row;
    Quorvel::appendCsvRow(row, {"2026-12-08 15:26:27", "id", "guid", "1.2.3.4", "7777"}, -5,
                          {1.f, 2.f, 3.f, 4.f, 5.f, 6.f, 7.f, 8.f, 9.f});
    EXPECT_EQ(row, "2026-12-08 15:26:27,id,guid,1.2.3.4,7777,-5,1,2,3,4,5,6,7,8,9\n");
}

TEST(CsvRow, TextWithSeparatorsIsQuotedAndOtherTextIsNot) {
    std::string row;
    Quorvel::appendCsvRow(row, {"t", "a\"b", "c,d", "e\nf", "g\rh"}, 0, {});
    EXPECT_EQ(row, "t,\"a\"\"b\",\"c,d\",\"e\nf\",\"g\rh\",0,0,0,0,0,0,0,0,0,0\n");
    row.clear();
    Quorvel::appendCsvRow(row, {"t", "semi;colon 'q' \\ space", "", "", ""}, 0, {});
    EXPECT_EQ(row, "t,semi;colon 'q' \\ space,,,,0,0,0,0,0,0,0,0,0,0\n");
}

}  // namespace
}  // namespace QuorvelTest
