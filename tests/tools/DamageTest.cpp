// The report on damaged files, strange folders and many inputs: damage costs only what
// it touches, what is not a file is named and skipped, the same file or match is read
// once, and text from a file stays data.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RunProgram.h"
#include "ToolTestSupport.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace QuorvelTest {
namespace {

std::string quietRows(int first, int count, const std::string& guid = "m") {
    std::string rows;
    for (int s = first; s < first + count; ++s) {
        rows += csvRow({.second = s, .guid = guid});
    }
    return rows;
}

struct DamageCase {
    const char* what;
    std::string file;
    std::size_t rows;     // read
    std::size_t skipped;  // lines lost
    std::string lines;    // which, as the note says them
    std::string refusal;  // empty: usable
};

TEST(Damage, CostsOnlyTheLinesItTouches) {
    const std::string header(Quorvel::Format::kHeaderLine);
    std::string strayQuote = header + quietRows(0, 1);
    std::string third = csvRow({.second = 1});
    third.insert(third.find(",id,") + 1, "\"");  // a quote opened in the second field
    strayQuote += third + quietRows(2, 100);
    std::string lastInCr = header + quietRows(0, 10);
    lastInCr.back() = '\r';
    const DamageCase cases[] = {
        {"a tail of NUL bytes after a crash", header + quietRows(0, 300) + std::string(4096, '\0'),
         300, 1, "302", ""},
        {"a stray quote in line 3", strayQuote, 101, 1, "3", ""},
        {"a line of NUL bytes, then good rows (a crash, then a new session appending)",
         header + quietRows(0, 100) + std::string(512, '\0') + "\n" + quietRows(100, 100), 200, 1,
         "102", ""},
        {"NUL bytes glued before a good row",
         header + quietRows(0, 50) + std::string(64, '\0') + quietRows(50, 1) + quietRows(51, 49),
         99, 1, "52", ""},
        {"the last row ending in CR alone", lastInCr, 10, 0, "", ""},
        {"binary through and through", std::string(std::size_t{100} * 1024, '\0'), 0, 0, "",
         "p-performance.csv: holds binary data, not a performance file"},
        {"a header, then binary", header + std::string(8192, '\0') + "\n" + std::string(10, '\0'),
         0, 2, "2\u20133", "p-performance.csv: holds binary data, not a performance file"},
    };
    for (const DamageCase& c : cases) {
        const Analyzed a = analyze(c.file);
        const auto& input = a.result.inputs.at(0);
        EXPECT_EQ(input.rows, c.rows) << c.what;
        EXPECT_EQ(input.skipped.count(), c.skipped) << c.what;
        EXPECT_EQ(input.skipped.lineRanges(), c.lines) << c.what;
        EXPECT_EQ(input.refused ? std::string(input.refused->what()) : "", c.refusal) << c.what;
    }
}

TEST(Damage, RepeatedSecondsAreNoted) {
    std::string twice = std::string(Quorvel::Format::kHeaderLine);
    for (int s = 0; s < 60; ++s) {
        twice += csvRow({.second = s}) + csvRow({.second = s});
    }
    const Analyzed a = analyze(twice);
    ASSERT_EQ(a.matches.size(), 1u);
    EXPECT_EQ(a.matches[0].figures.repeatedSeconds, 60u);
    EXPECT_EQ(a.matches[0].figures.lengthSeconds, 60);
}

TEST(Damage, TheSameMatchInTwoFilesIsCountedOnce) {
    const std::string csv = performanceCsv(
        secondsOf(0, 60, [](int s) { return SampleRow{.second = s, .guid = "G1"}; }));
    const Analyzed a = analyzeInputs({Quorvel::Read::Input::bytes("a-performance.csv", csv),
                                      Quorvel::Read::Input::bytes("b-performance.csv", csv)});
    EXPECT_EQ(a.matches.size(), 1u);
    EXPECT_EQ(a.result.inputs[1].matchesAlreadyRead, 1u);
    EXPECT_EQ(a.result.inputs[1].alreadyReadIn, "a-performance.csv");
}

#if !defined(_WIN32)

ProgramRun report(const std::string& arguments, const TempDir& folder,
                  const std::string& before = "") {
    return runProgram(QUORVEL_REPORT_PATH, arguments, folder, before);
}

TEST(Folders, WhatIsNotARegularFileIsNamedAndSkipped) {
    TempDir folder("quorvel-folder");
    const auto data = folder / "data";
    std::filesystem::create_directories(data / "dir-performance.csv");
    writeFile(data / "good-performance.csv",
              performanceCsv(secondsOf(0, 60, [](int s) { return SampleRow{.second = s}; })));
    std::filesystem::create_symlink("loop-performance.csv", data / "loop-performance.csv");
    std::filesystem::create_symlink("gone", data / "dangling-performance.csv");
    ASSERT_EQ(::mkfifo((data / "fifo-performance.csv").c_str(), 0600), 0);
    const ProgramRun run = report(shellQuoted(data), folder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* note :
         {"loop-performance.csv: is a loop of links, skipped",
          "dangling-performance.csv: is a link that leads nowhere, skipped",
          "fifo-performance.csv: is not a regular file (a pipe or a device), skipped",
          "dir-performance.csv: is a folder, skipped"}) {
        EXPECT_NE(run.err.find(note), std::string::npos) << note << "\n" << run.err;
    }
    EXPECT_NE(run.out.find("1.2.3.4:7777"), std::string::npos);
}

TEST(Folders, ManyFilesAreReadWithFewOpenAndAFileNamedOftenOnce) {
    TempDir folder("quorvel-many");
    for (int i = 0; i < 300; ++i) {
        const std::string number = std::to_string(i);
        writeFile(folder / ("p" + number + "-performance.csv"),
                  performanceCsv(secondsOf(i * 100, 40, [&number](int s) {
                      return SampleRow{.second = s, .guid = "M" + number};
                  })));
    }
    // Fewer descriptors than files: at most a few inputs are open at once.
    const ProgramRun run = report(shellQuoted(folder.path()) + " --json", folder, "ulimit -n 40; ");
    ASSERT_EQ(run.exitCode, 0) << run.err.substr(0, 500);
    EXPECT_EQ(nlohmann::json::parse(run.out)["matches"].size(), 300u);

    const auto file = folder / "p7-performance.csv";
    // Named three times, in two spellings: read once, with one note for all its names.
    const auto other = folder / "." / "p7-performance.csv";
    const ProgramRun thrice = report(
        shellQuoted(file) + " " + shellQuoted(other) + " " + shellQuoted(file) + " --json", folder);
    EXPECT_EQ(thrice.exitCode, 0) << thrice.err;
    EXPECT_EQ(nlohmann::json::parse(thrice.out)["matches"].size(), 1u);
    EXPECT_NE(
        thrice.err.find(utf8(file) + ": named 3 times (also as " + utf8(other) + "), read once\n"),
        std::string::npos)
        << thrice.err;
    EXPECT_EQ(thrice.err.find("read once"), thrice.err.rfind("read once")) << thrice.err;
}

TEST(Outputs, OneFileNamedForTwoOutputsInAnySpellingIsRefused) {
    TempDir folder("quorvel-outputs");
    writeFile(folder / "p-performance.csv",
              performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    const ProgramRun run = report(shellQuoted(folder / "p-performance.csv") + " --html " +
                                      shellQuoted(folder / "same.out") + " --summary-csv " +
                                      shellQuoted(folder / "." / "same.out"),
                                  folder);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--html and --summary-csv name the same file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "same.out"));
}

#endif

// What a file holds is shown as text: control characters and bytes that are not UTF-8
// come out escaped on the terminal, and a text that a spreadsheet would run as a
// formula stays text in the summary CSV.
TEST(FileText, IsDataNeverControl) {
    TempDir folder("quorvel-text");
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(secondsOf(0, 40, [](int s) {
                  return SampleRow{
                      .second = s, .guid = "=HYPERLINK(\"x\")", .serverIp = "\x1b]0;owned\x07\xff"};
              })));
    const ProgramRun run =
        runProgram(QUORVEL_REPORT_PATH,
                   shellQuoted(csv) + " --summary-csv " + shellQuoted(folder / "s.csv"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.out.find('\x07'), std::string::npos);
    EXPECT_NE(run.out.find("\\x1B]0;owned\\x07\\xFF"), std::string::npos) << run.out;
    const std::string summary = readFile(folder / "s.csv");
    EXPECT_NE(summary.find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos) << summary;
}

}  // namespace
}  // namespace QuorvelTest
