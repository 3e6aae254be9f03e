// quorvel-report end to end: its outputs on a simulated session, its refusals of what
// is not a performance file, its outputs never left half-written, and the HTML page
// drawn by a headless browser.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "ChartedMatches.h"
#include "HtmlReport.h"
#include "PageTestSupport.h"
#include "RealisticPlay.h"
#include "RunProgram.h"
#include "ToolTestSupport.h"
#include "UtcTimestamp.h"

namespace QuorvelTest {
namespace {

// The report's exit status when it writes the page of `input` to `page`.
int writePage(const TempDir& folder, const std::filesystem::path& input,
              const std::filesystem::path& page) {
    return runReport(shellQuoted(input) + " --html " + shellQuoted(page), folder).exitCode;
}

// Every entry of `folder` but the captured output.
std::vector<std::string> filesIn(const TempDir& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const std::string name = utf8(entry.path().filename());
        if (name != "stdout.txt" && name != "stderr.txt") {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Where a row of the page's table holds the match's start.
constexpr std::size_t kStartPlace = 1;

// The page's table of matches, each row's places read back: its number and texts (the
// start, which the page holds as seconds since 1970, as the table writes it in UTC).
std::vector<std::pair<int, std::vector<std::string>>> pageTable(const std::string& page) {
    std::vector<std::pair<int, std::vector<std::string>>> table;
    for (const nlohmann::json& block : dataBlocks(page, Quorvel::Present::DataBlock::MatchRows)) {
        for (const nlohmann::json& row : block["rows"]) {
            std::vector<std::string> texts;
            for (std::size_t i = 1; i < row.size(); ++i) {
                texts.push_back(i == kStartPlace
                                    ? Quorvel::Format::formatUtcTimestamp(std::chrono::sys_seconds(
                                          std::chrono::seconds(row[i].get<std::int64_t>())))
                                    : block["texts"][row[i].get<std::size_t>()].get<std::string>());
            }
            table.emplace_back(row[0].get<int>(), texts);
        }
    }
    return table;
}

class Report : public ::testing::Test {
  protected:
    void SetUp() override {
        const ProgramRun sim = runSim("--data " + shellQuoted(folder / "data"), folder);
        ASSERT_EQ(sim.exitCode, 0) << sim.err;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
            csv = entry.path();
        }
    }

    ProgramRun report(const std::string& arguments, const std::string& before = "") {
        return runReport(shellQuoted(csv) + " " + arguments, folder, before);
    }

    TempDir folder{"quorvel-report-test"};
    std::filesystem::path csv;
};

TEST_F(Report, JsonHasOneSummaryPerMatchOfTheSession) {
    const ProgramRun run = report("--json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    const auto& matches = document["matches"];
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_EQ(matches[0]["rows"], 130);
    EXPECT_EQ(matches[0]["server"], "185.34.107.21:7811");
    EXPECT_EQ(matches[0]["playlist"], 13);
    EXPECT_EQ(matches[1]["rows"], 140);
    EXPECT_EQ(matches[1]["server"], "162.244.54.9:7795");
    // The second match's ping ramps from 40 to 95 ms.
    EXPECT_EQ(matches[1]["pingMs"]["max"], 95.0);
    EXPECT_EQ(matches[1]["pingMs"]["median"], 67.5);
    EXPECT_EQ(document["servers"].size(), 2u);
    EXPECT_EQ(document["files"][0]["matches"], 2);
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(Report, BadRowsAreNamedAtMostTwentyAndCounted) {
    std::string bad;
    for (int i = 0; i < 25; ++i) {
        bad += "2026-12-08 10:00:00,x\n";
    }
    appendFile(csv, bad);
    const ProgramRun run = report("");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(": line 272: expected 15 fields, found 2 (skipped)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": line 291: expected"), std::string::npos);
    EXPECT_EQ(run.err.find(": line 292: expected"), std::string::npos) << "20 are listed";
    EXPECT_NE(run.err.find("25 rows could not be read and were skipped: lines 272\u2013296"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("185.34.107.21:7811"), std::string::npos);
}

TEST(ReportInput, WhatIsNotAPerformanceFileIsRefusedWithNothingWritten) {
    std::string binary(std::size_t{100} * 1024, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 7919) % 251);
    }
    const std::string header = performanceCsv({});
    struct Case {
        const char* what;
        std::string contents;  // written to the input file unless it is a folder
        std::string message;
    };
    const Case cases[] = {
        {"empty", "", "is empty, not a performance file"},
        {"header only", header, "holds only the header, no rows"},
        {"wrong header", "Time,Ping\n2026-12-08 10:00:00,30\n",
         "is not a performance file: line 1 is not the header \"Timestamp,UserID,"},
        {"binary", binary, "holds binary data, not a performance file"},
        {"no readable row", header + "a,b\nc,d\n", "no row could be read (2 skipped)"},
        {"a folder", "", "holds no *-performance.csv file"},
        {"missing", "", "cannot be read: there is no such file or folder"},
    };
    for (const Case& c : cases) {
        TempDir folder("quorvel-report-bad");
        const auto input = folder / "p-performance.csv";
        if (std::string(c.what) == "a folder") {
            std::filesystem::create_directory(folder / "p-performance.csv");
            std::filesystem::create_directory(folder / "p-performance.csv" / "x");
        } else if (std::string(c.what) != "missing") {
            writeFile(input, c.contents);
        }
        const auto before = filesIn(folder);
        for (const char* format : {"", "--json"}) {
            const ProgramRun run = runReport(
                shellQuoted(input) + " " + format + " --html " + shellQuoted(folder / "page.html") +
                    " --summary-csv " + shellQuoted(folder / "summary.csv"),
                folder);
            EXPECT_EQ(run.exitCode, 1) << c.what;
            EXPECT_EQ(run.out, "") << c.what << ": no table";
            EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << "\n" << run.err;
            EXPECT_NE(run.err.find("p-performance.csv"), std::string::npos) << run.err;
            EXPECT_EQ(filesIn(folder), before) << c.what << ": nothing left behind";
        }
    }
}

TEST(ReportInput, AFolderAndFilesAreOneReport) {
    TempDir folder("quorvel-report-folder");
    writeFile(folder / "logs" / "a-performance.csv",
              performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    writeFile(folder / "logs" / "b-performance.csv", performanceCsv(secondsOf(100, 30, [](int s) {
                  return SampleRow{.second = s, .guid = "n", .serverIp = "5.6.7.8"};
              })));
    writeFile(folder / "c-performance.csv", performanceCsv(secondsOf(50, 30, [](int s) {
                  return SampleRow{.second = s, .guid = "o"};
              })));
    const ProgramRun run = runReport(
        shellQuoted(folder / "logs") + " " + shellQuoted(folder / "c-performance.csv") + " --json",
        folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    EXPECT_EQ(document["files"].size(), 3u);
    ASSERT_EQ(document["matches"].size(), 3u);
    EXPECT_EQ(document["matches"][1]["matchGuid"], "o") << "in time order";
    ASSERT_EQ(document["servers"].size(), 2u);
    EXPECT_EQ(document["servers"][0]["serverIp"], "1.2.3.4");
    EXPECT_EQ(document["servers"][0]["matches"], 2);
}

// A long history: the answer first, the latest matches with where the others are, and
// the answer again at the end once the output runs past a screen.
TEST(ReportTable, ALongHistoryListsTheLatestMatchesAndAnswersAgainAtItsEnd) {
    struct Case {
        int matches;
        std::string options;
        std::size_t listed;
        std::string earlier;  // the line about the matches not listed, if any
        bool answerAgain;
    };
    const Case cases[] = {
        {5, "", 5, "", false},
        {20, "", 20, "", true},
        {21, "", 20,
         "The latest 20 matches of 21; the 1 earlier one is listed with --all-matches, and on "
         "the page --html PAGE writes.",
         true},
        {60, " --html page.html", 20,
         "The latest 20 matches of 60; the 40 earlier ones are in the page.", true},
        {60, " --all-matches", 60, "", true},
    };
    const std::regex matchRow(R"(^ *\d+ \d{4}-\d\d-\d\d \d\d:\d\d:\d\d )");
    for (const Case& c : cases) {
        TempDir folder("quorvel-report-long");
        writeFile(folder / "p-performance.csv",
                  performanceCsv(secondsOf(0, c.matches * 30, [](int s) {
                      return SampleRow{.second = s + s / 30 * 600, .guid = std::to_string(s / 30)};
                  })));
        const ProgramRun run = runReport("p-performance.csv" + c.options, folder);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::istringstream lines(run.out);
        std::string line, first, last;
        std::size_t listed = 0;
        while (std::getline(lines, line)) {
            first = first.empty() ? line : first;
            last = line.empty() ? last : line;
            listed += std::regex_search(line, matchRow) ? 1U : 0U;
        }
        EXPECT_EQ(first.rfind("Overall: ", 0), 0u) << c.matches << c.options << "\n" << run.out;
        EXPECT_EQ(listed, c.listed) << c.matches << c.options;
        const std::string earlierLine = c.earlier.empty() ? "The latest " : c.earlier;
        EXPECT_EQ(run.out.find(earlierLine) != std::string::npos, !c.earlier.empty())
            << c.matches << c.options << "\n"
            << run.out;
        EXPECT_EQ(last == first, c.answerAgain) << c.matches << c.options << "\n" << run.out;
    }
}

TEST(ReportInput, UsageErrorsHaveTheirOwnStatus) {
    TempDir folder("quorvel-report-usage");
    EXPECT_EQ(runReport("", folder).exitCode, 2);
    EXPECT_EQ(runReport("--no-such-option x.csv", folder).exitCode, 2);
    const ProgramRun help = runReport("--help", folder);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("3  an output could not be written"), std::string::npos);
    const ProgramRun version = runReport("--version", folder);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_NE(version.out.find(std::string("quorvel-report ") + QUORVEL_VERSION),
              std::string::npos);
}

// Help and command-line errors name the program plainly and say what to do, in no
// words of the parser's own.
TEST(CommandLines, HelpAndErrorsSpeakAPlayersWords) {
    TempDir folder("quorvel-command-lines");
    struct Case {
        const char* program;
        std::string arguments;
        int exitCode;
        std::string said;
    };
    const std::vector<Case> cases = {
        {QUORVEL_REPORT_PATH, "--help", 0, "Usage: quorvel-report FILE|FOLDER..."},
        {QUORVEL_REPORT_PATH, "/?", 0, "Usage: quorvel-report FILE|FOLDER..."},
        {QUORVEL_SIM_PATH, "-?", 0, "Usage: quorvel-sim [SCENARIO.json]"},
        {QUORVEL_REPORT_PATH, "", 2, "quorvel-report: name the performance files"},
        {QUORVEL_REPORT_PATH, "--bogus x.csv", 2,
         "quorvel-report: it does not know what to do with --bogus"},
        {QUORVEL_REPORT_PATH, "x.csv --html", 2, "quorvel-report: --html needs a value after it"},
        {QUORVEL_SIM_PATH, "--realtime --pace 1", 2,
         "quorvel-sim: --realtime and --pace cannot be used together"},
        {QUORVEL_SIM_PATH, "a.json b.json", 2,
         "quorvel-sim: it does not know what to do with b.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ProgramRun run = runProgram(c.program, c.arguments, folder);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        const std::string said = run.out + run.err;
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        for (const char* jargon : {"Positionals", " TEXT", "REQUIRED", "is required", "Excludes",
                                   "[OPTIONS]", "Run with --help"}) {
            EXPECT_EQ(said.find(jargon), std::string::npos) << jargon << " in:\n" << said;
        }
        EXPECT_EQ(said.find(c.program), std::string::npos) << "the program's own path";
    }
}

TEST_F(Report, AnOutputNeverReplacesTheInputFile) {
    const std::string before = readFile(csv);
    std::filesystem::create_hard_link(csv, folder / "same.csv");
    for (const std::string& target :
         {shellQuoted(csv), shellQuoted(folder / "data" / "." / csv.filename()),
          shellQuoted(folder / "same.csv")}) {
        for (const char* option : {"--html ", "--summary-csv "}) {
            const ProgramRun run = report(option + target);
            EXPECT_EQ(run.exitCode, 2) << target;
            EXPECT_NE(run.err.find("is the input file"), std::string::npos) << run.err;
            EXPECT_EQ(readFile(csv), before);
        }
    }
}

#if !defined(_WIN32)  // a full device and a file size limit: POSIX
TEST_F(Report, FailedWritesAreReportedAndLeaveNothingHalfWritten) {
    // Standard output on a full device, as a table and as JSON.
    for (const char* format : {"", "--json"}) {
        const ProgramRun run = runProgram(QUORVEL_REPORT_PATH, shellQuoted(csv) + " " + format,
                                          folder, "", "/dev/full");
        EXPECT_EQ(run.exitCode, 3) << format;
        EXPECT_NE(run.err.find("standard output: cannot be written: No space left on device"),
                  std::string::npos)
            << run.err;
    }
    // A page larger than the files this process may write: the disk is full for it.
    writeFile(folder / "page.html", "the page of an earlier run");
    const ProgramRun run =
        report("--html " + shellQuoted(folder / "page.html"), "ulimit -f 64; trap '' XFSZ; ");
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("page.html: cannot be written: File too large"), std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(folder / "page.html"), "the page of an earlier run");
    EXPECT_EQ(filesIn(folder), (std::vector<std::string>{"data", "page.html"}));
}
#endif

// The page's compact table shows what the table and the JSON show.
TEST_F(Report, ThePageTableHoldsTheTextsOfEveryMatch) {
    const ProgramRun run = report("--json --html " + shellQuoted(folder / "page.html"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto document = nlohmann::json::parse(run.out);
    const auto table = pageTable(readFile(folder / "page.html"));
    ASSERT_EQ(table.size(), document["matches"].size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const nlohmann::json& match = document["matches"][i];
        std::vector<std::string> expected = match["texts"]["cells"];
        EXPECT_EQ(expected.front(), std::to_string(table[i].first));
        expected.erase(expected.begin());
        expected.push_back(match["verdict"]);
        expected.push_back(match["reason"]);
        expected.push_back(match["texts"]["gameClosed"]);
        EXPECT_EQ(table[i].second, expected);
    }
}

TEST_F(Report, SummaryCsvHasARowPerMatch) {
    const ProgramRun run = report("--summary-csv " + shellQuoted(folder / "matches.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string text = readFile(folder / "matches.csv");
    EXPECT_EQ(text.rfind("\xEF\xBB\xBFMatch,File,Start,LengthSeconds,Rows,", 0), 0u)
        << "UTF-8 with its byte-order mark, as a spreadsheet on Windows needs";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_NE(text.find(",185.34.107.21:7811,13,34.00,"), std::string::npos) << text;
}

// Five matches of 30 s: 1 at 10:00:00 on 1.2.3.4, 2 at 10:01:40 on 5.6.7.8, 3 at
// 10:03:20 on 1.2.3.4, 4 at 10:05:00 on 2001:db8::9, 5 at 11:00:00 on 5.6.7.8 (port 7777).
class ReportFilter : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::pair<int, const char*> matches[] = {{0, "1.2.3.4"},
                                                       {100, "5.6.7.8"},
                                                       {200, "1.2.3.4"},
                                                       {300, "2001:db8::9"},
                                                       {3600, "5.6.7.8"}};
        std::vector<SampleRow> rows;
        for (const auto& [start, server] : matches) {
            const auto match = secondsOf(start, 30, [start = start, server = server](int s) {
                return SampleRow{.second = s, .guid = std::to_string(start), .serverIp = server};
            });
            rows.insert(rows.end(), match.begin(), match.end());
        }
        writeFile(csv, performanceCsv(rows));
    }

    ProgramRun report(const std::string& arguments) {
        return runReport(shellQuoted(csv) + " " + arguments, folder);
    }

    TempDir folder{"quorvel-report-filter"};
    std::filesystem::path csv = folder / "p-performance.csv";
};

// The first field of each line after the header.
std::vector<std::string> firstFields(const std::string& csv) {
    std::vector<std::string> fields;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        fields.push_back(line.substr(0, line.find(',')));
    }
    return fields;
}

TEST_F(ReportFilter, KeepsTheMatchesAskedForUnderTheirNumbersInEveryOutput) {
    struct Case {
        std::string options;
        std::vector<std::string> kept;
        std::string said = {};  // the options as the message quotes them, when not as given
    };
    const Case cases[] = {
        {"", {"1", "2", "3", "4", "5"}},
        {"--match 2", {"2"}},
        {"--match 4 --match 2", {"2", "4"}},
        {"--server 1.2.3.4", {"1", "3"}},
        {"--server 5.6.7.8:7777", {"2", "5"}},
        {"--server 5.6.7.8:7778", {}},
        {"--server 1.2.3.4 --server 2001:DB8:0::9", {"1", "3", "4"}},
        {"--server \"[2001:db8::9]:7777\"", {"4"}},
        {"--server \"[2001:db8::9]:7778\"", {}, "--server '[2001:db8::9]:7778'"},
        {"--server ::ffff:5.6.7.8", {"2", "5"}},
        {"--since \"2026-12-08 10:03:20\"", {"3", "4", "5"}},
        {"--until \"2026-12-08 10:03:20\"", {"1", "2"}},
        {"--since 2026-12-08 --until \"2026-12-08 11:00:00\"", {"1", "2", "3", "4"}},
        {"--since 2026-12-09", {}},
        {"--server 5.6.7.8 --since \"2026-12-08 10:30:00\"", {"5"}},
        {"--match 3 --server 1.2.3.4", {"3"}},
        {"--match 2 --server 1.2.3.4", {}},
    };
    for (const Case& c : cases) {
        const ProgramRun run =
            report(c.options + " --json --summary-csv " + shellQuoted(folder / "summary.csv") +
                   " --html " + shellQuoted(folder / "page.html"));
        if (c.kept.empty()) {
            EXPECT_EQ(run.exitCode, 2) << c.options;
            const std::string said = c.said.empty() ? c.options : c.said;
            EXPECT_NE(run.err.find("no match of the 5 read is kept by " + said), std::string::npos)
                << run.err;
            EXPECT_FALSE(std::filesystem::exists(folder / "summary.csv")) << c.options;
            continue;
        }
        ASSERT_EQ(run.exitCode, 0) << c.options << "\n" << run.err;
        std::vector<std::string> inJson;
        const auto document = nlohmann::json::parse(run.out);
        for (const auto& match : document["matches"]) {
            inJson.push_back(std::to_string(match["number"].get<int>()));
        }
        EXPECT_EQ(inJson, c.kept) << c.options;
        EXPECT_EQ(firstFields(readFile(folder / "summary.csv")), c.kept) << c.options;
        std::vector<std::string> onPage;
        for (const auto& [number, texts] : pageTable(readFile(folder / "page.html"))) {
            onPage.push_back(std::to_string(number));
        }
        EXPECT_EQ(onPage, c.kept) << c.options;
        std::filesystem::remove(folder / "summary.csv");
    }
}

TEST_F(ReportFilter, WrongValuesAreUsageErrorsNamingTheOption) {
    const std::pair<const char*, const char*> cases[] = {
        {"--match 0", "--match \"0\": not a match number"},
        {"--match -3", "--match \"-3\": not a match number"},
        {"--match 2x", "--match \"2x\": not a match number"},
        {"--match \"\"", "--match \"\": not a match number"},
        {"--server \"\"", "--server \"\": not a server"},
        {"--server \"1.2.3.4 5.6.7.8\"", "--server \"1.2.3.4 5.6.7.8\": not a server"},
        {"--server \"[2001:db8::9]x\"", "--server \"[2001:db8::9]x\": not a server"},
        {"--server \"[]:7777\"", "--server \"[]:7777\": not a server"},
        {"--since 2026-12-32", "--since \"2026-12-32\": not a time"},
        {"--since \"2026-12-08 10:00\"", "--since \"2026-12-08 10:00\": not a time"},
        {"--until yesterday", "--until \"yesterday\": not a time"},
        {"--since 2026-12-09 --until 2026-12-08", "--until \"2026-12-08\" is not after --since"},
        {"--since 2026-12-08 --until 2026-12-08", "--until \"2026-12-08\" is not after --since"},
    };
    for (const auto& [options, message] : cases) {
        const ProgramRun run =
            report(std::string(options) + " --html " + shellQuoted(folder / "page.html"));
        EXPECT_EQ(run.exitCode, 2) << options;
        EXPECT_NE(run.err.find(message), std::string::npos) << options << "\n" << run.err;
        EXPECT_EQ(run.out, "") << options;
        EXPECT_FALSE(std::filesystem::exists(folder / "page.html")) << options;
    }
}

TEST_F(ReportFilter, MatchNumbersBeyondTheLastAreNamed) {
    const ProgramRun run = report("--match 2 --match 9 --json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["matches"].size(), 1u);
    EXPECT_NE(run.err.find("--match 9: there are 5 matches"), std::string::npos) << run.err;
}

// Every text lands in the page as data, whole, whatever it holds.
TEST(ReportPage, TextsOfAnyLengthAndMarkupStayData) {
    TempDir folder("quorvel-report-texts");
    const std::string guid = "</script><b>" + std::string(200000, 'g') + "</td>";
    std::string row = csvRow({.second = 0});
    row.replace(row.find(",m,"), 3, ",\"" + guid + "\",");
    writeFile(folder / "p-performance.csv", performanceCsv({}) + row);
    const ProgramRun run = runReport(
        shellQuoted(folder / "p-performance.csv") + " --html " + shellQuoted(folder / "page.html"),
        folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string page = readFile(folder / "page.html");
    const auto charted = dataBlocks(page, Quorvel::Present::DataBlock::MatchData);
    ASSERT_EQ(charted.size(), 1u);
    EXPECT_EQ(charted[0]["report"]["matchGuid"], guid);
    EXPECT_EQ(page.find("<b>"), std::string::npos);
}

// Whatever a text of the file or the file's name holds, no data block of the page holds a
// raw "<": none can end its element or open another.
TEST(ReportPage, NoDataBlockHoldsARawLessThanWhateverAFieldHolds) {
    TempDir folder("quorvel-report-angles");
    const std::string hostile = "<!--</script><script>alert(1)</script><b>&lt;";
    std::string csv = performanceCsv({});
    for (int s = 0; s < 40; ++s) {
        std::string row = csvRow({.second = s, .lostIn = s == 10 ? 9 : 0});
        for (const std::string& field : {std::string(",id,"), std::string(",m,"),
                                         std::string(",1.2.3.4,"), std::string(",7777,")}) {
            const std::string quoted = "\"" + hostile + field.substr(1, field.size() - 2) + "\"";
            row.replace(row.find(field), field.size(), "," + quoted + ",");
        }
        csv += row;
    }
#ifdef _WIN32
    const auto input = folder / "x-performance.csv";  // Windows keeps "<" out of file names
#else
    const auto input = folder / "<x>-performance.csv";
#endif
    writeFile(input, csv);
    const auto page = folder / "page.html";
    const ProgramRun run = runReport(shellQuoted(input) + " --html " + shellQuoted(page), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string html = readFile(page);
    const std::string open = "<script type=\"application/json\"";
    std::size_t blocks = 0;
    for (std::size_t at = html.find(open); at != std::string::npos; at = html.find(open, at)) {
        at = html.find('>', at) + 1;
        const std::size_t end = html.find("</script>", at);
        const std::string data = html.substr(at, end - at);
        EXPECT_EQ(data.find('<'), std::string::npos) << data.substr(0, 300);
        EXPECT_NE(data.find("\\u003c"), std::string::npos) << "the texts are there, escaped";
        ++blocks;
    }
    EXPECT_EQ(blocks, 3u) << "the table's rows, the match's charts, the report";
    const auto charted = dataBlocks(html, Quorvel::Present::DataBlock::MatchData);
    ASSERT_EQ(charted.size(), 1u);
    EXPECT_EQ(charted[0]["report"]["matchGuid"], hostile + "m");
    EXPECT_EQ(charted[0]["report"]["server"], hostile + "1.2.3.4:" + hostile + "7777");
}

#if !defined(_WIN32)

// The days are UTC days whatever the computer's time zone: matches ten minutes before and
// five after midnight UTC are on two days, here 14 hours ahead of UTC and 10 behind.
TEST(ReportPage, DaysAreUtcDaysUnderAnyTimeZone) {
    TempDir folder("quorvel-report-zone");
    constexpr int kTenToMidnight = 13 * 3600 + 50 * 60;  // the rows count from 10:00 UTC
    const std::vector<SampleRow> before =
        secondsOf(kTenToMidnight, 600, [](int s) { return SampleRow{.second = s, .guid = "a"}; });
    const std::vector<SampleRow> after = secondsOf(kTenToMidnight + 900, 300, [](int s) {
        return SampleRow{.second = s, .guid = "b", .ping = 50};
    });
    std::vector<SampleRow> rows = before;
    rows.insert(rows.end(), after.begin(), after.end());
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(rows));
    for (const char* zone : {"TZ=XYZ-14", "TZ=ABC+10", "TZ=Pacific/Kiritimati", "TZ=UTC"}) {
        const std::string env = std::string("export ") + zone + "; ";
        const ProgramRun json = runReport(shellQuoted(csv) + " --json", folder, env);
        ASSERT_EQ(json.exitCode, 0) << zone << json.err;
        const auto document = nlohmann::json::parse(json.out);
        const auto& days = document["days"];
        ASSERT_EQ(days.size(), 2u) << zone;
        EXPECT_EQ(days[0]["day"], "2026-12-08") << zone;
        EXPECT_EQ(days[0]["secondsPlayed"], 600) << zone;
        EXPECT_EQ(days[1]["day"], "2026-12-09") << zone;
        EXPECT_EQ(days[1]["pingMedianMs"], 50) << zone;
        EXPECT_EQ(document["matches"][1]["start"], "2026-12-09 00:05:00") << zone;
        const ProgramRun table = runReport(shellQuoted(csv), folder, env);
        EXPECT_NE(table.out.find("2026-12-08 23:50:00"), std::string::npos) << zone << table.out;
        EXPECT_NE(table.out.find("\n2026-12-09       1       5:00"), std::string::npos)
            << zone << table.out;
    }
}

// A data folder whose history holds a journal the game left when it closed mid-match: the
// match is shown once, with its note, in the table, the JSON and the page.
TEST(ReportPage, AMatchTheGameClosedDuringIsShownOnceWithItsNote) {
    TempDir folder("quorvel-report-crash");
    const auto data = folder / "data";
    const std::string id = "Steam%7C7656%7C0";
    writeFile(data / (id + "-performance.csv"), performanceCsv(secondsOf(0, 120, [](int s) {
                  return SampleRow{.second = s, .guid = "earlier"};
              })));
    const std::vector<SampleRow> crashed = secondsOf(600, 390, [](int s) {
        return SampleRow{.second = s, .guid = "crashed", .lostIn = s >= 900 && s < 905 ? 12 : 0};
    });
    writeFile(data / "quorvel-history" / (id + "-20261208-101000-unfinished-performance.csv"),
              performanceCsv(crashed));
    const std::string note = "the game closed during this match; recorded until 6:30";
    const ProgramRun table = runReport(shellQuoted(data), folder);
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find("    " + note + "\n"), std::string::npos) << table.out;
    EXPECT_EQ(table.out.find(note), table.out.rfind(note)) << "once";

    const ProgramRun json = runReport(
        shellQuoted(data) + " --json --html " + shellQuoted(folder / "page.html"), folder);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto matches = nlohmann::json::parse(json.out)["matches"];
    ASSERT_EQ(matches.size(), 2u);
    EXPECT_FALSE(matches[0]["gameClosed"].get<bool>());
    EXPECT_TRUE(matches[1]["gameClosed"].get<bool>());
    EXPECT_EQ(matches[1]["texts"]["notes"], note);
    EXPECT_EQ(matches[1]["reason"],
              "connection: 1 loss burst, worst 5:00\u20135:05, 12 packets a second lost coming in");
    const auto table2 = pageTable(readFile(folder / "page.html"));
    ASSERT_EQ(table2.size(), 2u);
    EXPECT_EQ(table2[1].second.back(), note);
    EXPECT_EQ(table2[0].second.back(), "");
}

#endif

TEST_F(Report, HtmlPageDrawsEveryChartInAHeadlessBrowser) {
    const auto page = folder / "report.html";
    ASSERT_EQ(report("--html " + shellQuoted(page)).exitCode, 0);
    const std::string html = readFile(page);
    for (const char* fetch : {"<link", "src=\"", "src='", "import(", "fetch("}) {
        EXPECT_EQ(html.find(fetch), std::string::npos) << "the page loads nothing: " << fetch;
    }
    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    const std::string dom = drawnPage(page, folder);
    // Five charts a match and the servers' two, each with painted pixels on its canvas.
    EXPECT_NE(dom.find("data-charts-drawn=\"12\""), std::string::npos) << dom.substr(0, 600);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
    EXPECT_NE(dom.find("2 matches, 0 with problems, on 162.244.54.9, 185.34.107.21"),
              std::string::npos);
}

// Matches over two days: each day's row adds up its seconds (not its matches' figures),
// in the table, the JSON and the page, which draws a chart of the days.
TEST(ReportPage, DaysAddUpTheirSecondsInEveryOutput) {
    TempDir folder("quorvel-report-days");
    constexpr int kDay = 86400;
    std::vector<SampleRow> rows = secondsOf(0, 61, [](int s) { return SampleRow{.second = s}; });
    for (const SampleRow& row : secondsOf(7200, 59, [](int s) {
             return SampleRow{.second = s, .guid = "n", .fps = 100, .ping = 50};
         })) {
        rows.push_back(row);
    }
    for (const SampleRow& row : secondsOf(kDay, 60, [](int s) {
             return SampleRow{.second = s, .guid = "o", .fps = 60, .ping = 80, .lostIn = 6};
         })) {
        rows.push_back(row);
    }
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(rows));
    // Day one: 120 s, ping 30 for 61 of them and 50 for 59, FPS (61 x 144 + 59 x 100) / 120.
    const std::vector<std::string> dayOne = {"2026-12-08", "2",   "2:00",  "30/50",
                                             "0.0/0.0",    "122", "2 good"};
    const std::vector<std::string> dayTwo = {"2026-12-09", "1",  "1:00",        "80/80",
                                             "10.0/0.0",   "60", "1 connection"};
    const ProgramRun json = runReport(shellQuoted(csv) + " --json", folder);
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto days = nlohmann::json::parse(json.out)["days"];
    ASSERT_EQ(days.size(), 2u);
    EXPECT_EQ(days[0]["texts"]["cells"], dayOne);
    EXPECT_EQ(days[1]["texts"]["cells"], dayTwo);
    EXPECT_EQ(days[0]["pingMedianMs"], 30);
    EXPECT_NEAR(days[0]["fpsMean"].get<double>(), (61 * 144 + 59 * 100) / 120.0, 0.005);
    const ProgramRun table = runReport(shellQuoted(csv), folder);
    EXPECT_NE(table.out.find("day (UTC)"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("2026-12-09"), std::string::npos);

    const auto page = folder / "days.html";
    ASSERT_EQ(writePage(folder, csv, page), 0);
    const auto data = dataBlocks(readFile(page), Quorvel::Present::DataBlock::Report);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data[0]["days"], days);
    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    // Five charts for each of three matches, the servers' two and the days'.
    const std::string dom = drawnPage(page, folder);
    EXPECT_NE(dom.find("data-charts-drawn=\"18\""), std::string::npos) << dom.substr(0, 600);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
}

// How many bytes a match's row may take on the page: its number (5 digits here) and 13
// places in its block's texts (4 digits at most, the block being 4096 rows), each with
// its comma, and its brackets: 6 + 13 x 5 + 3; and its start, the one text of its own
// (22 bytes in the block's texts, with quotes and comma).
constexpr std::size_t kRowBytes = 6 + 13 * 5 + 3 + 22;

// Many one-second matches, every 50th losing packets (a problem), on 200 servers: the
// page holds every match's row, a page of them at a time, and charts for the latest 50
// with problems; beyond the page of the first match alone, it grows by a row a match
// and the charts of the others.
// A row of the page's table of servers, at most.
constexpr std::size_t kServerBytes = 400;

TEST(ReportPage, ManyMatchesMakeAPageOfBoundedSize) {
    constexpr int kMatches = 20000;
    // More servers than the page lists: the first 500 have a match more than the others.
    constexpr int kServers = 1500;
    TempDir folder("quorvel-report-many");
    const auto rows = secondsOf(0, kMatches, [](int i) {
        return SampleRow{.second = i * 40,
                         .guid = std::to_string(i),
                         .lostIn = i % 50 == 0 ? 6 : 0,
                         .serverIp = "10.0." + std::to_string(i % kServers / 250) + "." +
                                     std::to_string(i % kServers % 250)};
    });
    // The first match alone, in a file of the same name: the page's fixed part.
    writeFile(folder / "one" / "p-performance.csv", performanceCsv({rows.front()}));
    ASSERT_EQ(writePage(folder, folder / "one" / "p-performance.csv", folder / "one.html"), 0);
    writeFile(folder / "p-performance.csv", performanceCsv(rows));
    const auto page = folder / "page.html";
    ASSERT_EQ(writePage(folder, folder / "p-performance.csv", page), 0);

    const std::string one = readFile(folder / "one.html");
    const auto oneCharted = dataBlocks(one, Quorvel::Present::DataBlock::MatchData);
    ASSERT_EQ(oneCharted.size(), 1u);
    const std::size_t chartBytes = oneCharted[0].dump().size() + 64;  // longer numbers
    const std::string html = readFile(page);
    EXPECT_LE(html.size(), one.size() + (Quorvel::Present::kChartedMatches - 1) * chartBytes +
                               (kMatches - 1) * kRowBytes +
                               Quorvel::Present::kShownServers * kServerBytes);
    EXPECT_EQ(pageTable(html).size(), std::size_t{kMatches});
    const nlohmann::json report = dataBlocks(html, Quorvel::Present::DataBlock::Report).at(0);
    ASSERT_EQ(report["servers"].size(), Quorvel::Present::kShownServers);
    int mostPlayed = 0;
    for (const auto& server : report["servers"]) {
        mostPlayed += server["matches"] == kMatches / kServers + 1 ? 1 : 0;
    }
    EXPECT_EQ(mostPlayed, kMatches % kServers) << "every server played most is listed";
    EXPECT_EQ(report["serversNote"],
              "The 1,000 servers played most of 1,500; --json lists them all.");
    std::vector<int> charted, expected;
    for (const auto& block : dataBlocks(html, Quorvel::Present::DataBlock::MatchData)) {
        charted.push_back(block["report"]["number"]);
    }
    for (int i = kMatches - 50 * 50; i < kMatches; i += 50) {
        expected.push_back(i + 1);
    }
    EXPECT_EQ(charted, expected);

    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    const std::string dom = drawnPage(page, folder);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos) << dom.substr(0, 600);
    EXPECT_NE(dom.find("data-charts-drawn=\""), std::string::npos) << "the script ran to its end";
    EXPECT_NE(dom.find("Charts for 50 of 20,000 matches: "), std::string::npos);
    EXPECT_NE(dom.find("matches 1\u2013100 of 20,000"), std::string::npos);
    std::size_t shown = 0;
    for (std::size_t at = dom.find("<tr class=\"figures"); at != std::string::npos;
         at = dom.find("<tr class=\"figures", at + 1)) {
        ++shown;
    }
    EXPECT_EQ(shown, 100u) << "a page of the table at a time";
    EXPECT_NE(dom.find("id=\"match-" + std::to_string(expected.back()) + "\""), std::string::npos);
}

// The labels a chart drew (data-labels, as the page records them when checked): what
// is wrong with them, empty when each lies inside the plot and none covers another.
std::string misplacedLabels(const std::string& dom, const std::string& chart) {
    const std::string text = unescapedAttribute(
        attributeNear(dom, {.element = "data-chart=\"" + chart + "\"", .name = "data-labels"}));
    if (text.empty()) {
        return "no labels recorded";
    }
    const auto labels = nlohmann::json::parse(text);
    const auto plot = labels["plot"].get<std::vector<double>>();
    const auto boxes = labels["drawn"].get<std::vector<std::vector<double>>>();
    std::string wrong;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto& b = boxes[i];  // x, top, width, height
        if (b[0] < plot[0] || b[0] + b[2] > plot[0] + plot[2] + 1 || b[1] < plot[1] - 1) {
            wrong += " label " + std::to_string(i) + " leaves the plot;";
        }
        for (std::size_t j = 0; j < i; ++j) {
            const auto& o = boxes[j];
            if (b[0] < o[0] + o[2] && o[0] < b[0] + b[2] && b[1] < o[1] + o[3] &&
                o[1] < b[1] + b[3]) {
                wrong += " labels " + std::to_string(j) + " and " + std::to_string(i) + " overlap;";
            }
        }
    }
    return wrong;
}

TEST(ReportPage, LossBurstsAreBandsWhereTheBurstsAreAndTheVerdictNamesTheWorst) {
    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    TempDir folder("quorvel-report-bursts");
    const ProgramRun sim =
        runSim(shellQuoted(std::string(QUORVEL_SCENARIO_DIR) + "/loss-bursts.json") + " --data " +
                   shellQuoted(folder / "data"),
               folder);
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    const auto csv = folder / "data" / "Epic%7C0f3c9a%7Closs-performance.csv";
    const auto page = folder / "page.html";
    ASSERT_EQ(writePage(folder, csv, page), 0);

    const std::string dom = drawnPage(page, folder);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
    EXPECT_NE(dom.find("connection: 3 loss bursts, worst 0:00\u20130:05, 12 packets a second lost "
                       "coming in, 6 going out"),
              std::string::npos);
    // The bursts at 0:00, 0:30 and 1:00, five seconds each, left to right on the chart.
    std::istringstream bands(
        attributeNear(dom, {.element = "data-chart=\"loss\"", .name = "data-bands"}));
    std::vector<std::string> expected = {"lossBurst@0+5:", "lossBurst@30+5:", "lossBurst@60+5:"};
    int previousRight = 0;
    for (const std::string& prefix : expected) {
        std::string band;
        ASSERT_TRUE(bands >> band) << "missing " << prefix;
        ASSERT_EQ(band.rfind(prefix, 0), 0u) << band;
        const std::string span = band.substr(prefix.size());
        const int left = std::stoi(span.substr(0, span.find('-')));
        const int right = std::stoi(span.substr(span.find('-') + 1));
        EXPECT_LT(previousRight, left) << band;
        EXPECT_LT(left, right) << band;
        previousRight = right;
    }
    std::string extra;
    EXPECT_FALSE(bands >> extra) << extra;
    EXPECT_EQ(misplacedLabels(dom, "loss"), "") << "the burst at 0:00 is labelled inside the plot";
}

// Every kind of event has its band, on the chart of the statistic that shows it, with
// a label of its own kind; no label leaves its plot or covers another.
TEST(ReportPage, EveryKindOfEventIsABandOnItsChart) {
    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    TempDir folder("quorvel-report-kinds");
    MatchPlay play;
    play.troubles = {{TroubleKind::Stutter, 10, 90, 35, 45},
                     {TroubleKind::NothingIn, 120, 6},
                     {TroubleKind::ServerHiccup, 160, 20, 180, 220},
                     {TroubleKind::UnstablePing, 200, 60, 40, 110},
                     {TroubleKind::LossIn, 280, 3, 10, 12}};
    writeFile(folder / "p-performance.csv", performanceFile(play));
    const auto page = folder / "page.html";
    ASSERT_EQ(writePage(folder, folder / "p-performance.csv", page), 0);
    EXPECT_NE(readFile(page).find("<title>Quorvel report: your file</title>"), std::string::npos);
    const std::string dom = drawnPage(page, folder);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
    const std::pair<const char*, const char*> bands[] = {
        {"fps", "stutter@10+"},        {"fps", "fpsDrop@10+"},    {"packets", "nothingIn@120+"},
        {"ping", "serverHiccup@160+"}, {"ping", "unstablePing@"}, {"loss", "lossBurst@280+"}};
    for (const auto& [chart, band] : bands) {
        const std::string drawn = attributeNear(
            dom, {.element = std::string("data-chart=\"") + chart + "\"", .name = "data-bands"});
        EXPECT_NE(drawn.find(band), std::string::npos) << chart << ": " << drawn;
        EXPECT_EQ(misplacedLabels(dom, chart), "") << chart;
    }
    const auto blocks = dataBlocks(readFile(page), Quorvel::Present::DataBlock::MatchData);
    ASSERT_EQ(blocks.size(), 1u);
    for (const auto& event : blocks[0]["report"]["events"]) {
        if (event["kind"] != "notRecorded" && event["kind"] != "noValue") {
            EXPECT_NE(event["texts"]["band"], "not recorded") << event;
            EXPECT_NE(event["texts"]["worst"], "") << event;
        }
    }
}

}  // namespace
}  // namespace QuorvelTest
