// The per-match figures on small files whose results are worked out by hand: missing
// values, time, counters, rows that cannot be read, and the streaming CSV reader.

#include <gtest/gtest.h>

#include <algorithm>

#include "CsvStream.h"
#include "DisplayText.h"
#include "MatchTexts.h"
#include "PluginHarness.h"
#include "StreamOutput.h"
#include "SummaryCsv.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Analysis;
using Quorvel::Present::matchNotes;
using Quorvel::Tools::formatClock;

TEST(Summary, FiguresOfOneMatch) {
    // Ping 10..100 ms; latency all 40 but one 200; FPS 100 but one second at 20.
    const auto rows = secondsOf(0, 10, [](int s) {
        SampleRow r{.second = s,
                    .fps = s == 4 ? 20 : 100,
                    .ping = std::int64_t{10} * (s + 1),
                    .latency = s == 9 ? 200 : 40};
        r.packetsOut = 50;
        r.packetsIn = 100;
        r.lostOut = s == 0 ? 5 : 0;
        r.lostIn = s < 2 ? 10 : 0;
        r.buffer = 3;
        return r;
    });
    const Analyzed a = analyze(performanceCsv(rows));
    ASSERT_TRUE(a.problems.empty());
    ASSERT_EQ(a.matches.size(), 1u);
    const MatchReport& m = a.matches[0];
    const MatchFigures& f = m.figures;
    EXPECT_EQ(f.rows, 10u);
    EXPECT_EQ(f.lengthSeconds, 10);
    EXPECT_EQ(m.info.server(), "1.2.3.4:7777");
    EXPECT_EQ(formatClock(f.start), "2026-12-08 10:00:00");
    EXPECT_DOUBLE_EQ(f.ping->mean, 55);
    EXPECT_DOUBLE_EQ(f.ping->median, 55);
    EXPECT_DOUBLE_EQ(f.ping->p95, 100);  // nearest rank: the 10th of 10
    EXPECT_DOUBLE_EQ(f.ping->p99, 100);
    EXPECT_DOUBLE_EQ(*f.jitterMs(), 10);
    EXPECT_DOUBLE_EQ(f.latency->mean, 56);
    EXPECT_DOUBLE_EQ(f.latency->median, 40);
    EXPECT_DOUBLE_EQ(*f.lossOutPercent(), 1.0);  // 5 of 500
    EXPECT_DOUBLE_EQ(*f.lossInPercent(), 2.0);   // 20 of 1000
    EXPECT_DOUBLE_EQ(f.fps->mean, 92);
    EXPECT_DOUBLE_EQ(f.fps->low1Percent, 20);  // the lowest row of ten
    EXPECT_DOUBLE_EQ(*f.bufferMean, 3);
    EXPECT_DOUBLE_EQ(*f.bufferTargetMean, 2);
}

TEST(Summary, NoValueTakesNoPartInAnyFigureAndIsCounted) {
    auto rows = secondsOf(0, 51, [](int s) { return SampleRow{.second = s}; });
    rows[25] = {.second = 25,
                .fps = kNoValue,
                .ping = kNoValue,
                .latency = kNoValue,
                .packetsOut = kNoValue,
                .packetsIn = kNoValue,
                .lostOut = kNoValue,
                .lostIn = kNoValue,
                .buffer = kNoValue,
                .target = kNoValue};
    const MatchReport m = analyze(performanceCsv(rows)).matches.at(0);
    const MatchFigures& f = m.figures;
    EXPECT_DOUBLE_EQ(f.ping->mean, 30);
    EXPECT_DOUBLE_EQ(f.ping->max, 30);
    EXPECT_EQ(f.ping->count, 50u);
    EXPECT_DOUBLE_EQ(f.fps->low1Percent, 144);
    EXPECT_DOUBLE_EQ(*f.lossInPercent(), 0);
    EXPECT_DOUBLE_EQ(*f.bufferMean, 2);
    for (std::size_t missing : f.missing) {
        EXPECT_EQ(missing, 1u);
    }
    EXPECT_EQ(reasonOf(m), "good: no problem found");
    EXPECT_NE(matchNotes(m).find("no value: FPS 1 s, Ping 1 s"), std::string::npos);
}

// A negative statistic other than the "no value" number is no value too: never a spike,
// a drop, a stall or a loss, only counted.
TEST(Summary, NegativeValuesOtherThanTheNoValueNumberAreNoValues) {
    auto rows = secondsOf(0, 60, [](int s) { return SampleRow{.second = s}; });
    for (std::size_t s = 10; s < 13; ++s) {
        rows[s].ping = -1;
        rows[s + 10].fps = -30;
        rows[s + 20].packetsIn = -5;
        rows[s + 30].lostIn = -2;
        rows[s + 30].lostOut = -2147483647;
        rows[s + 40].latency = -400;
        rows[s + 40].buffer = -3;
    }
    const MatchReport m = analyze(performanceCsv(rows)).matches.at(0);
    EXPECT_EQ(reasonOf(m), "good: no problem found");
    EXPECT_EQ(m.events.counting(), 0u);
    EXPECT_EQ(m.events.total(), m.events.count(EventKind::NoValue));
    EXPECT_DOUBLE_EQ(m.figures.ping->min, 30);
    EXPECT_DOUBLE_EQ(m.figures.fps->low1Percent, 144);
    EXPECT_DOUBLE_EQ(*m.figures.lossInPercent(), 0);
    EXPECT_EQ(
        matchNotes(m),
        "60 rows; no value: FPS 3 s, Ping 3 s, Latency 3 s, PacketsIn 3 s, LostPacketsOut 3 s, "
        "LostPacketsIn 3 s, Buffer 3 s");
}

TEST(Summary, AStatisticWithNoValueAtAllIsNeverJudgedGood) {
    const auto rows =
        secondsOf(0, 30, [](int s) { return SampleRow{.second = s, .ping = kNoValue}; });
    const MatchReport m = analyze(performanceCsv(rows)).matches.at(0);
    EXPECT_FALSE(m.figures.ping.has_value());
    EXPECT_FALSE(m.figures.jitterMs().has_value());
    EXPECT_EQ(m.verdict.cause, Cause::Incomplete);
    EXPECT_EQ(reasonOf(m),
              "incomplete: no verdict without Ping (missing in more than half of the seconds)");
}

TEST(Summary, AMatchIsTheRunOfOneGuidAndItsLengthIsTheTimeItSpans) {
    struct Case {
        const char* what;
        std::vector<SampleRow> rows;
        std::vector<std::int64_t> lengths;  // one per match
        std::vector<std::size_t> rowCounts;
        std::size_t gaps, gapSeconds, stepsBack;  // of the first match
    };
    const auto run = [](int first, int count, const std::string& guid, int step = 1) {
        std::vector<SampleRow> rows;
        rows.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            rows.push_back({.second = first + i * step, .guid = guid});
        }
        return rows;
    };
    const auto join = [](std::vector<SampleRow> a, const std::vector<SampleRow>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const Case cases[] = {
        {"10 rows over 45 s", run(0, 10, "m", 5), {46}, {10}, 9, 36, 0},
        {"statistics gone for 20 s", join(run(0, 10, "m"), run(30, 35, "m")), {65}, {45}, 1, 20, 0},
        {"clock steps back", join(run(0, 10, "m"), run(5, 10, "m")), {19}, {20}, 0, 0, 1},
        {"two seconds in one", join(run(0, 5, "m"), run(4, 5, "m")), {9}, {10}, 0, 0, 0},
        {"a new GUID", join(run(0, 10, "a"), run(10, 10, "b")), {10, 10}, {10, 10}, 0, 0, 0},
        {"no GUID, short pause", join(run(0, 10, ""), run(39, 10, "")), {49}, {20}, 1, 29, 0},
        {"no GUID, long pause", join(run(0, 10, ""), run(41, 10, "")), {10, 10}, {10, 10}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Analyzed a = analyze(performanceCsv(c.rows));
        ASSERT_EQ(a.matches.size(), c.lengths.size()) << c.what;
        for (std::size_t i = 0; i < a.matches.size(); ++i) {
            EXPECT_EQ(a.matches[i].figures.lengthSeconds, c.lengths[i]) << c.what;
            EXPECT_EQ(a.matches[i].figures.rows, c.rowCounts[i]) << c.what;
        }
        const MatchFigures& f = a.matches[0].figures;
        EXPECT_EQ(f.gaps, c.gaps) << c.what;
        EXPECT_EQ(static_cast<std::size_t>(f.gapSeconds), c.gapSeconds) << c.what;
        EXPECT_EQ(f.clockStepsBack, c.stepsBack) << c.what;
    }
}

TEST(Summary, ASecondLosingMorePacketsThanItCountedIsLeftOutOfTheLoss) {
    auto rows = secondsOf(0, 10, [](int s) { return SampleRow{.second = s, .lostIn = 3}; });
    rows[4].lostIn = 2147483647;  // more than the 60 counted
    rows[5].lostOut = 61;
    const MatchFigures f = analyze(performanceCsv(rows)).matches.at(0).figures;
    EXPECT_EQ(f.inconsistentSeconds, 2u);
    EXPECT_DOUBLE_EQ(*f.lossInPercent(), 5.0);  // 27 of 540: the 4th second is left out
    EXPECT_DOUBLE_EQ(*f.lossOutPercent(), 0.0);
}

TEST(Summary, RowsThatCannotBeReadAreNamedByLineAndSkipped) {
    const std::string good = csvRow({.second = 0});
    std::string fps = csvRow({.second = 1});
    fps.replace(fps.find(",144,"), 5, ",99999999999,");
    std::string plus = csvRow({.second = 2});
    plus.replace(plus.find(",144,"), 5, ",+144,");
    const std::string csv = performanceCsv({}) + good + "2026-12-08 10:00:01,only,three\n" + fps +
                            plus + "2026-12-08 -1:00:10" + good.substr(19) + "2026-02-30 10:00:00" +
                            good.substr(19) + csvRow({.second = 3, .guid = "quoted, guid"}) +
                            "\"a quote left open,\n";
    const Analyzed a = analyze(csv);
    const std::vector<std::string> expected = {
        "line 3: expected 15 fields, found 3",
        "line 4: FPS is out of range (beyond 32 bits)",
        "line 5: FPS is not a whole number",
        "line 6: Timestamp is not a time of the form YYYY-MM-DD HH:MM:SS",
        "line 7: Timestamp is not a time of the form YYYY-MM-DD HH:MM:SS",
        "line 9: badly quoted field"};
    EXPECT_EQ(a.problems, expected);
    ASSERT_EQ(a.matches.size(), 2u);
    EXPECT_EQ(a.matches[1].info.matchGuid, "quoted, guid");
    EXPECT_EQ(a.matches[1].info.firstLine, 8u);
}

TEST(Summary, StreamReaderKeepsQuotedLineBreaksAcrossChunksAndCutsOverlongRecords) {
    using Quorvel::Read::CsvRecord;
    using Quorvel::Read::CsvStream;
    // A quoted field that straddles the first chunk's end, CR LF line ends, a record
    // longer than the reader keeps, and a last line ending in CR alone.
    const std::string pad(CsvStream::kChunkBytes - 10, 'x');
    const std::string text = pad + ",\"b\"\"c\r\nd\",e\r\nf\n" +
                             std::string(CsvStream::kMaxRecordBytes + 5, 'y') + "\nlast\r";
    Quorvel::Read::MemorySource bytes(text);
    CsvStream csv(bytes);
    CsvRecord record;
    ASSERT_TRUE(csv.next(record));
    ASSERT_EQ(record.splitFields().size(), 3u);
    EXPECT_EQ(record.fields[0], pad);
    EXPECT_EQ(record.fields[1], "b\"c\r\nd");
    EXPECT_EQ(record.fields[2], "e");
    EXPECT_EQ(record.lastLine, 2u);
    ASSERT_TRUE(csv.next(record));
    EXPECT_EQ(record.line, 3u);
    EXPECT_EQ(record.splitFields(), std::vector<std::string_view>{"f"});
    ASSERT_TRUE(csv.next(record));
    EXPECT_TRUE(record.tooLong);
    ASSERT_TRUE(csv.next(record));
    EXPECT_EQ(record.line, 5u);
    EXPECT_EQ(record.splitFields(), std::vector<std::string_view>{"last"});
    EXPECT_FALSE(csv.next(record));
}

// Text that a test writes and then reads.
class StringOutput : public Quorvel::Tools::TextOutput {
  public:
    void write(std::string_view text) override { written.append(text); }
    std::string written;
};

TEST(Summary, TheSummaryCsvReadBackByNameGivesTheMatchsFigures) {
    // Ping 1..100 ms: its median, 95th and 99th percentiles and maximum all differ.
    const auto rows = secondsOf(0, 100, [](int s) {
        return SampleRow{.second = s, .fps = 100 + s % 7, .ping = s + 1, .latency = 40 + s % 9};
    });
    const std::vector<Quorvel::Read::Input> inputs = {
        Quorvel::Read::Input::bytes("p-performance.csv", performanceCsv(rows))};
    StringOutput out;
    Quorvel::Present::SummaryCsv summary(out, inputs);
    buildReport(inputs, {&summary});
    const MatchReport m = analyze(performanceCsv(rows)).matches.at(0);

    ASSERT_EQ(out.written.rfind("\xEF\xBB\xBF", 0), 0u);
    const std::vector<std::string> lines = splitLines(out.written.substr(3));
    ASSERT_EQ(lines.size(), 2u);
    const std::vector<std::string> names = splitFields(lines[0]);
    const std::vector<std::string> values = splitFields(lines[1]);
    ASSERT_EQ(names.size(), values.size());
    const auto column = [&](const std::string& name) {
        const auto at = std::find(names.begin(), names.end(), name);
        return at == names.end() ? std::string("(no column)")
                                 : values[static_cast<std::size_t>(at - names.begin())];
    };
    const auto two = [](double v) { return Quorvel::Tools::formatFigure(v, 2); };
    const Distribution& ping = *m.figures.ping;
    EXPECT_EQ(column("PingMedian"), two(ping.median));
    EXPECT_EQ(column("PingP95"), two(95));
    EXPECT_EQ(column("PingP99"), two(99));
    EXPECT_EQ(column("PingMax"), two(100));
    EXPECT_EQ(column("LatencyMedian"), two(m.figures.latency->median));
    EXPECT_EQ(column("LatencyP95"), two(m.figures.latency->p95));
    EXPECT_EQ(column("FpsMean"), two(m.figures.fps->mean));
    EXPECT_EQ(column("FpsLow1Percent"), two(m.figures.fps->low1Percent));
    EXPECT_EQ(column("JitterMs"), two(1));
    EXPECT_EQ(column("Rows"), "100");
    EXPECT_EQ(column("Verdict"), "good");
}

}  // namespace
}  // namespace QuorvelTest
