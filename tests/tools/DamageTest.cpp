// The report on damaged files, strange folders and many inputs: damage costs only what
// it touches, what is not a file is named and skipped, the same file or match is read
// once, and text from a file stays data.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "InputFile.h"
#include "PluginHarness.h"
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

TEST(Folders, WhatIsNotARegularFileIsNamedAndSkipped) {
    TempDir folder("quorvel-folder");
    const auto data = folder / "data";
    std::filesystem::create_directories(data / "dir-performance.csv");
    writeFile(data / "good-performance.csv",
              performanceCsv(secondsOf(0, 60, [](int s) { return SampleRow{.second = s}; })));
    std::filesystem::create_symlink("loop-performance.csv", data / "loop-performance.csv");
    std::filesystem::create_symlink("gone", data / "dangling-performance.csv");
    ASSERT_EQ(::mkfifo((data / "fifo-performance.csv").c_str(), 0600), 0);
    const ProgramRun run = runReport(shellQuoted(data), folder);
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
    const ProgramRun run =
        runReport(shellQuoted(folder.path()) + " --json", folder, "ulimit -n 40; ");
    ASSERT_EQ(run.exitCode, 0) << run.err.substr(0, 500);
    EXPECT_EQ(nlohmann::json::parse(run.out)["matches"].size(), 300u);

    const auto file = folder / "p7-performance.csv";
    // Named three times, in two spellings: read once, with one note for all its names.
    const auto other = folder / "." / "p7-performance.csv";
    const ProgramRun thrice = runReport(
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
    const ProgramRun run = runReport(shellQuoted(folder / "p-performance.csv") + " --html " +
                                         shellQuoted(folder / "same.out") + " --summary-csv " +
                                         shellQuoted(folder / "." / "same.out"),
                                     folder);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--html and --summary-csv name the same file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "same.out"));
    // A new file, named relative to the current folder in two spellings.
    const ProgramRun relative = runReport(
        shellQuoted(folder / "p-performance.csv") + " --html same.out --summary-csv ./same.out",
        folder);
    EXPECT_EQ(relative.exitCode, 2) << relative.err;
    EXPECT_NE(relative.err.find("--html and --summary-csv name the same file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "same.out"));
}

#endif

// An output named by a link is written through it: the file it leads to gets the text,
// the link stays a link; an empty name is refused before anything is read.
TEST(Outputs, LinksAreWrittenThroughAndEmptyNamesRefused) {
    TempDir folder("quorvel-outputs-links");
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    for (const char* option : {"--html", "--summary-csv"}) {
        SCOPED_TRACE(option);
        const ProgramRun empty = runReport(shellQuoted(csv) + " " + option + " \"\"", folder);
        EXPECT_EQ(empty.exitCode, 2);
        EXPECT_NE(empty.err.find(std::string(option) + " takes a file name"), std::string::npos)
            << empty.err;
        EXPECT_EQ(empty.out, "");
#if !defined(_WIN32)  // symbolic links need no privilege here
        writeFile(folder / "real.out", "before");
        std::filesystem::remove(folder / "link.out");
        std::filesystem::create_symlink("real.out", folder / "link.out");
        std::filesystem::create_symlink("missing.out", folder / "dangling.out");
        for (const char* name : {"link.out", "dangling.out"}) {
            const ProgramRun run = runReport(shellQuoted(csv) + " " + option + " " + name, folder);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_TRUE(std::filesystem::is_symlink(folder / name)) << name;
        }
        EXPECT_NE(readFile(folder / "real.out"), "before");
        EXPECT_GT(std::filesystem::file_size(folder / "missing.out"), 100u);
        std::filesystem::remove(folder / "dangling.out");
        std::filesystem::remove(folder / "missing.out");
#endif
    }
}

#if !defined(_WIN32)
// Binary data is told within the first megabytes, not read to its end: an endless device,
// 2 GB of zeros (sparse: no disk used) with or without a header, binary lines after one.
// A CPU limit ends a reader that would go on.
TEST(BinaryData, IsToldWithoutReadingItAll) {
    TempDir folder("quorvel-binary");
    const std::string header(Quorvel::Format::kHeaderLine);
    std::string lines = header;
    while (lines.size() < (std::size_t{9} << 20)) {
        lines += std::string("\x00\x00\x01\x02\n", 5);
    }
    writeFile(folder / "lines-performance.csv", lines);
    writeFile(folder / "zeros-performance.csv", "");
    std::filesystem::resize_file(folder / "zeros-performance.csv", std::uintmax_t{2} << 30);
    writeFile(folder / "header-performance.csv", header);
    std::filesystem::resize_file(folder / "header-performance.csv", std::uintmax_t{2} << 30);
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", "/dev/zero: holds binary data, not a performance file"},
        {"zeros-performance.csv", "zeros-performance.csv: holds binary data, not a performance"},
        {"header-performance.csv",
         "header-performance.csv: holds binary data after its header (its first 8 MB hold no "
         "row)"},
        {"lines-performance.csv", "lines-performance.csv: holds binary data after its header"},
    };
    for (const auto& [input, said] : cases) {
        const ProgramRun run = runReport(input, folder, "ulimit -t 30; ");
        EXPECT_EQ(run.exitCode, 1) << input << "\n" << run.err;
        EXPECT_EQ(run.err.rfind("quorvel-report: " + said, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << "one sentence";
    }
}
#endif

// A file cut while it is read (the game starting afresh, another program) has lost rows
// to it: reading gives every byte up to the cut, then says so, naming the file.
TEST(ChangingFile, ACutWhileItIsReadIsAFailureNamingIt) {
    TempDir folder("quorvel-changing");
    const auto file = folder / "p-performance.csv";
    writeFile(file, std::string(std::size_t{3} << 20, 'r'));
    Quorvel::Read::InputFile input(file);
    std::vector<char> buffer(std::size_t{1} << 20);
    ASSERT_EQ(input.read(buffer.data(), buffer.size()), buffer.size());
    std::filesystem::resize_file(file, (std::size_t{3} << 19));  // 1.5 MB: cut in the middle
    std::size_t after = 0;
    try {
        for (std::size_t count; (count = input.read(buffer.data(), buffer.size())) > 0;) {
            after += count;
        }
        ADD_FAILURE() << "the cut went unnoticed";
    } catch (const Quorvel::Tools::Failure& failure) {
        EXPECT_EQ(std::string(failure.what()), utf8(file) +
                                                   ": changed while it was read: it ends at byte "
                                                   "1572864 of the 3145728 it had, so the rows "
                                                   "after that are not in this report");
    }
    EXPECT_EQ(after, std::size_t{1} << 19) << "every byte up to the cut";
}

// A file a spreadsheet saved again (its own separator, its own way with times) is said
// to be one in a sentence, with what to report instead; a few damaged times among rows
// are damage, named by line.
TEST(SavedBySpreadsheet, IsSaidInOneSentence) {
    TempDir folder("quorvel-spreadsheet");
    const std::string csv =
        performanceCsv(secondsOf(0, 40, [](int s) { return SampleRow{.second = s}; }));
    const auto lines = splitLines(csv);
    const auto rewrite = [&lines](std::size_t rows, const auto& change) {
        std::string text = lines[0] + "\n";
        for (std::size_t i = 1; i <= rows; ++i) {
            text += change(lines[i]) + "\n";
        }
        return text;
    };
    const auto separatedBy = [](char separator) {
        return [separator](std::string line) {
            std::replace(line.begin(), line.end(), ',', separator);
            return line;
        };
    };
    // "2026-12-08 10:00:05,..." as "08/12/2026 10:00,..." and as "2026-12-08 10:00,...".
    const auto dayFirst = [](const std::string& line) {
        return line.substr(8, 2) + "/" + line.substr(5, 2) + "/" + line.substr(0, 4) +
               line.substr(10, 6) + line.substr(19);
    };
    const auto noSeconds = [](const std::string& line) {
        return line.substr(0, 16) + line.substr(19);
    };
    struct Case {
        const char* what;
        std::string text;
        std::string said;  // empty: not a spreadsheet's
    };
    std::string semicolons;
    for (const std::string& line : lines) {
        semicolons += separatedBy(';')(line) + "\n";
    }
    std::string tabs;
    for (const std::string& line : lines) {
        tabs += separatedBy('\t')(line) + "\n";
    }
    std::string damaged = csv;
    damaged.replace(damaged.find('\n') + 1, 19, "08/12/2026 10:00:00");
    const Case cases[] = {
        {"semicolons", semicolons, "which separated its columns by ';'"},
        {"tabs", tabs, "which separated its columns by tabs"},
        {"day first", rewrite(40, dayFirst), "which wrote its times its own way (\""},
        {"no seconds", rewrite(40, noSeconds), "which wrote its times its own way (\""},
        {"three rows, no seconds", rewrite(3, noSeconds), "which wrote its times its own way"},
        {"one damaged time among rows", damaged, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(folder / "p-performance.csv", c.text);
        const ProgramRun run = runReport(shellQuoted(folder / "p-performance.csv"), folder);
        if (c.said.empty()) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.err.find("line 2: Timestamp is not a time"), std::string::npos)
                << run.err;
            continue;
        }
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("p-performance.csv: looks saved again by a spreadsheet, " + c.said),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("report the file as the plugin wrote it instead"),
                  std::string::npos);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    }
}

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
        runReport(shellQuoted(csv) + " --summary-csv " + shellQuoted(folder / "s.csv"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.out.find('\x07'), std::string::npos);
    EXPECT_NE(run.out.find("\\x1B]0;owned\\x07\\xFF"), std::string::npos) << run.out;
    const std::string summary = readFile(folder / "s.csv");
    EXPECT_NE(summary.find(",\"'=HYPERLINK(\"\"x\"\")\","), std::string::npos) << summary;
}

#if !defined(_WIN32)  // Windows names cannot hold a line feed
// A name is printed within its line: a line feed in it cannot print a line of its own.
TEST(FileText, ANameCannotStartALineOfItsOwn) {
    TempDir folder("quorvel-text-names");
    const auto data = folder / "a\nOverall: the server's fault";
    std::filesystem::create_directories(data);
    writeFile(data / "p\nOverall: the server's fault-performance.csv",
              performanceCsv(secondsOf(0, 40, [](int s) { return SampleRow{.second = s}; })));
    writeFile(data / "q-performance.csv",
              performanceCsv(secondsOf(100, 140, [](int s) { return SampleRow{.second = s}; })));
    const ProgramRun run = runReport(shellQuoted(data), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& line : splitLines(run.out + run.err)) {
        EXPECT_NE(line.rfind("Overall: the server", 0), 0u) << run.out;
    }
    EXPECT_NE(run.out.find("\\x0AOverall: the server's fault"), std::string::npos) << run.out;
}
#endif

}  // namespace
}  // namespace QuorvelTest
