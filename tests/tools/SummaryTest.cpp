// The per-match summary on small files whose figures are worked out by hand.

#include <gtest/gtest.h>

#include "CsvReader.h"
#include "MatchSummary.h"
#include "PerformanceLog.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Summary;

const std::string kHeader =
    "Timestamp,UserID,MatchGUID,ServerIP,ServerPort,Playlist,FPS,Ping,Latency,PacketsOut,PacketsIn,"
    "LostPacketsOut,LostPacketsIn,Buffer,BufferTarget\n";

std::string row(int second, const std::string& guid, int fps, int ping, int latency,
                int lostOut = 0, int lostIn = 0, int buffer = 2, int target = 2) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "2026-12-08 10:00:%02d,id,%s,1.2.3.4,7777,13,%d,%d,%d,50,100,%d,%d,%d,%d\n",
                  second, guid.c_str(), fps, ping, latency, lostOut, lostIn, buffer, target);
    return text;
}

TEST(Summary, FiguresOfOneMatch) {
    // Ping 10..100 ms; latency all 40 but one 200; FPS 100 but one second at 20.
    std::string csv = kHeader;
    for (int s = 0; s < 10; ++s) {
        csv += row(s, "m", s == 4 ? 20 : 100, 10 * (s + 1), s == 9 ? 200 : 40, s == 0 ? 5 : 0,
                   s < 2 ? 10 : 0, 3, 2);
    }
    const PerformanceLog log = readPerformanceLog(csv);
    ASSERT_TRUE(log.problems.empty());
    const auto summaries = summarizeLog(log);
    ASSERT_EQ(summaries.size(), 1u);
    const MatchSummary& m = summaries[0];
    EXPECT_EQ(m.rows, 10u);
    EXPECT_EQ(m.server, "1.2.3.4:7777");
    EXPECT_EQ(formatUtc(m.start), "2026-12-08 10:00:00");
    EXPECT_DOUBLE_EQ(m.ping.mean, 55);
    EXPECT_DOUBLE_EQ(m.ping.median, 55);
    EXPECT_DOUBLE_EQ(m.ping.p95, 100);  // nearest rank: the 10th of 10
    EXPECT_DOUBLE_EQ(m.ping.max, 100);
    EXPECT_DOUBLE_EQ(m.latency.mean, 56);
    EXPECT_DOUBLE_EQ(m.latency.median, 40);
    EXPECT_DOUBLE_EQ(m.lossOutPercent, 1.0);  // 5 of 500
    EXPECT_DOUBLE_EQ(m.lossInPercent, 2.0);   // 20 of 1000
    EXPECT_DOUBLE_EQ(m.fpsMean, 92);
    EXPECT_DOUBLE_EQ(m.fpsLow1Percent, 20);  // the lowest row of ten
    EXPECT_DOUBLE_EQ(m.bufferMean, 3);
    EXPECT_DOUBLE_EQ(m.bufferTargetMean, 2);
    EXPECT_EQ(m.verdict, "connection");
    EXPECT_EQ(m.reason, "loss bursts (2.0 % in, 1.0 % out)");
}

TEST(Summary, VerdictsInTheirOrder) {
    auto verdictOf = [](int fps, int ping, int latency, int buffer) {
        std::string csv = kHeader;
        for (int s = 0; s < 20; ++s) {
            csv += row(s, "m", fps, ping, latency, 0, 0, buffer, 2);
        }
        const auto m = summarizeLog(readPerformanceLog(csv)).at(0);
        return m.verdict + ": " + m.reason;
    };
    EXPECT_EQ(verdictOf(144, 30, 40, 2), "good: no problem found");
    EXPECT_EQ(verdictOf(144, 150, 40, 2), "connection: high ping (p95 150 ms)");
    EXPECT_EQ(verdictOf(144, 30, 120, 2), "server: high latency (median 120 ms)");
    EXPECT_EQ(verdictOf(29, 30, 40, 2), "client: low FPS (1 % low 29)");
    EXPECT_EQ(verdictOf(144, 30, 40, 5), "client: input buffer above target (5.0 vs 2.0)");
}

TEST(Summary, MatchesSplitOnGuidOrGap) {
    std::string csv = kHeader + row(0, "a", 60, 1, 1) + row(1, "a", 60, 1, 1) +
                      row(2, "b", 60, 1, 1) + row(7, "b", 60, 1, 1) + row(13, "b", 60, 1, 1);
    const auto matches = splitMatches(readPerformanceLog(csv).samples);
    ASSERT_EQ(matches.size(), 3u);
    EXPECT_EQ(matches[0].size(), 2u);
    EXPECT_EQ(matches[1].size(), 2u);  // a 5-second gap stays in the match
    EXPECT_EQ(matches[2].size(), 1u);  // a 6-second gap starts another
}

TEST(Summary, BadLinesAreReportedWithTheirNumberAndSkipped) {
    const std::string csv = "not,our,header\r\n" + row(0, "a", 60, 1, 1) +
                            "2026-12-08 10:00:01,only,three\n" +
                            row(2, "a", 60, 1, 1).replace(41, 2, "6x") +
                            row(3, "\"quoted, guid\"", 60, 1, 1) + "\"a quote left open,\n";
    const PerformanceLog log = readPerformanceLog(csv);
    ASSERT_EQ(log.samples.size(), 2u);
    EXPECT_EQ(log.samples[1].matchGuid, "quoted, guid");
    EXPECT_EQ(log.samples[1].line, 5u);
    const std::vector<std::string> expected = {
        "line 1: not the performance file header", "line 1: expected 15 fields, found 3",
        "line 3: expected 15 fields, found 3", "line 4: FPS is not a whole number",
        "line 6: badly quoted field"};
    EXPECT_EQ(log.problems, expected);
}

TEST(Summary, ReaderKeepsQuotedLineBreaksAndCountsLines) {
    CsvReader reader("a,\"b\"\"c\",\"d\r\ne\"\r\nf\n");
    CsvRecord record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.fields, (std::vector<std::string>{"a", "b\"c", "d\r\ne"}));
    EXPECT_EQ(record.line, 1u);
    ASSERT_TRUE(reader.next(record));
    EXPECT_EQ(record.fields, std::vector<std::string>{"f"});
    EXPECT_EQ(record.line, 3u);
    EXPECT_FALSE(reader.next(record));
}

}  // namespace
}  // namespace QuorvelTest

namespace QuorvelTest {
namespace {

TEST(Summary, JsonOfTextsThatAreNotUtf8) {
    const std::string csv = kHeader + row(0, "bad\xff\xfe", 60, 1, 1);
    const std::string json = formatJson(summarizeLog(readPerformanceLog(csv)));
    EXPECT_NE(json.find("\"matchGuid\": \"bad\xef\xbf\xbd\xef\xbf\xbd\""), std::string::npos)
        << json;
}

}  // namespace
}  // namespace QuorvelTest
