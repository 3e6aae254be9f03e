// What players on Windows do: names beyond the ANSI code page, a file dropped on the
// program in Explorer. Run on Linux and, under Wine, on Windows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "PageTestSupport.h"
#include "RunProgram.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

// Sets an environment variable for this process and the programs it starts, given as
// the shell writes it: "NAME=value".
class ScopedVariable {
  public:
    explicit ScopedVariable(const std::string& assignment)
        : name(assignment.substr(0, assignment.find('='))) {
        const std::string value = assignment.substr(name.size() + 1);
#if defined(_WIN32)
        _putenv_s(name.c_str(), value.c_str());
#else
        setenv(name.c_str(), value.c_str(), 1);
#endif
    }
    ~ScopedVariable() {
#if defined(_WIN32)
        _putenv_s(name.c_str(), "");
#else
        unsetenv(name.c_str());
#endif
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    std::string name;
};

// "Док文書", "Данные データ", "отчёт レポート": Cyrillic and Japanese, outside code page 1252.
const char* const kFolder = "\xd0\x94\xd0\xbe\xd0\xba\xe6\x96\x87\xe6\x9b\xb8";
const std::u8string kData = u8"\u0414\u0430\u043d\u043d\u044b\u0435 \u30c7\u30fc\u30bf";
const std::u8string kPage = u8"\u043e\u0442\u0447\u0451\u0442 \u30ec\u30dd\u30fc\u30c8.html";

TEST(WindowsHabits, NamesBeyondTheCodePageReachBothToolsIntact) {
    TempDir folder(kFolder);
    const auto data = folder / kData;
    const ProgramRun sim = runSim("--data " + shellQuoted(data), folder);
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_NE(sim.out.find("Data folder: " + utf8(data)), std::string::npos) << sim.out;
    const auto csv = data / "Steam%7C76561190000000000%7C0-performance.csv";
    ASSERT_TRUE(std::filesystem::exists(csv));

    const ProgramRun report =
        runReport(shellQuoted(data) + " --json --html " + shellQuoted(folder / kPage), folder);
    ASSERT_EQ(report.exitCode, 0) << report.err;
    const auto document = nlohmann::json::parse(report.out);
    EXPECT_EQ(document["files"][0]["file"], utf8(csv));
    EXPECT_EQ(document["matches"].size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(folder / kPage));
    EXPECT_NE(report.err.find("wrote " + utf8(folder / kPage)), std::string::npos) << report.err;
}

// What Explorer does with a drop: the paths as the only arguments, a console of the
// program's own.
struct Dropped {
    const char* what;
    std::vector<std::filesystem::path> dropped;  // under the drop folder
    int exitCode;
    std::filesystem::path page;     // under the drop folder; empty: none written
    std::vector<std::string> said;  // on standard error
};

TEST(WindowsHabits, WhateverIsDroppedOnTheReportGetsAPageOrAPlainSentence) {
    TempDir folder(kFolder);
    const std::filesystem::path dataName(kData);
    const auto data = folder / dataName;
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(folder / "empty");
    const auto oneMatch = [](const std::string& guid) {
        return performanceCsv(
            secondsOf(0, 30, [&guid](int s) { return SampleRow{.second = s, .guid = guid}; }));
    };
    writeFile(data / "p-performance.csv", oneMatch("m"));
    writeFile(data / "q-performance.csv", oneMatch("n"));
    writeFile(data / "p-performance.html", "<!DOCTYPE html>");
    const std::string whatToDrop = "Drop a <player>-performance.csv file, or the folder";
    const std::filesystem::path dataPage = kData + u8".html";
    const Dropped drops[] = {
        {"one file",
         {dataName / "p-performance.csv"},
         0,
         dataName / "p-performance.html",
         {"opening"}},
        {"a folder", {dataName}, 0, dataPage, {"opening"}},
        {"two files: a page of its own, not the first file's",
         {dataName / "q-performance.csv", dataName / "p-performance.csv"},
         0,
         dataName / "q-performance-and-1-more.html",
         {"opening"}},
        {"an empty folder", {"empty"}, 1, {}, {"holds no *-performance.csv file", whatToDrop}},
        {"a page",
         {dataName / "p-performance.html"},
         2,
         {},
         {"is a page, not a performance", whatToDrop}},
        {"nothing (a double click)", {}, 2, {}, {"quorvel-report shows how", whatToDrop}},
    };
    const ScopedVariable ownConsole("QUORVEL_OWN_CONSOLE=1");
    const ScopedVariable noBrowser("QUORVEL_NO_BROWSER=1");
    for (const Dropped& drop : drops) {
        SCOPED_TRACE(drop.what);
        std::filesystem::remove(folder / dataPage);
        std::filesystem::remove(data / "q-performance-and-1-more.html");
        std::string arguments;
        for (const auto& path : drop.dropped) {
            arguments += " " + shellQuoted(folder / path);
        }
        const ProgramRun run = runReport(arguments, folder);
        EXPECT_EQ(run.exitCode, drop.exitCode) << run.err;
        for (const std::string& text : drop.said) {
            EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
        }
        if (!drop.page.empty()) {
            EXPECT_NE(run.err.find("opening " + utf8(folder / drop.page) + " in the browser"),
                      std::string::npos)
                << run.err;
            EXPECT_NE(run.out.find("good: no problem found"), std::string::npos) << run.out;
            // The page covers each file dropped, by a label rather than its name.
            const std::string page = readFile(folder / drop.page);
            const auto report = dataBlocks(page, Quorvel::Present::DataBlock::Report);
            ASSERT_EQ(report.size(), 1u);
            std::size_t csvFiles = 0;
            for (const auto& path : drop.dropped) {
                if (path.extension() == ".csv") {
                    ++csvFiles;
                    EXPECT_EQ(page.find(utf8(path.filename())), std::string::npos);
                }
            }
            if (csvFiles > 0) {
                EXPECT_EQ(report[0]["files"].size(), csvFiles);
            }
        }
    }
}

TEST(WindowsHabits, OpenFromATerminalNamesThePageAsADropDoes) {
    TempDir folder("quorvel-open");
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    writeFile(folder / "q-performance.csv", readFile(csv));
    const ScopedVariable noBrowser("QUORVEL_NO_BROWSER=1");
    const ProgramRun two = runProgram(
        QUORVEL_REPORT_PATH,
        shellQuoted(csv) + " " + shellQuoted(folder / "q-performance.csv") + " --open", folder);
    EXPECT_EQ(two.exitCode, 0) << two.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "p-performance-and-1-more.html"));
}

TEST(WindowsHabits, BothProgramsGiveHelpForTheWindowsQuestionMark) {
    TempDir folder("quorvel-help");
    for (const char* program : {QUORVEL_REPORT_PATH, QUORVEL_SIM_PATH}) {
        for (const char* asking : {"/?", "-?"}) {
            SCOPED_TRACE(std::string(program) + " " + asking);
            const ProgramRun run = runProgram(program, asking, folder);
            EXPECT_EQ(run.exitCode, 0) << run.err;
            EXPECT_NE(run.out.find("Exit status:"), std::string::npos) << run.out;
        }
    }
}

// The system's temporary folder, pointed at `folder` for the programs started.
struct TemporaryFolderAt {
    explicit TemporaryFolderAt(const TempDir& folder)
        : tmp("TMP=" + utf8(folder.path())),
          temp("TEMP=" + utf8(folder.path())),
          tmpdir("TMPDIR=" + utf8(folder.path())) {}
    ScopedVariable tmp, temp, tmpdir;
};

std::vector<std::string> entriesOf(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(utf8(entry.path().filename()));
    }
    return names;
}

TEST(WindowsHabits, TheSimulatorStartedOnItsOwnSaysWhatItIsAndPlaysItsSession) {
    TempDir folder("quorvel-sim-alone");
    TempDir temporary("quorvel-sim-tmp");
    const TemporaryFolderAt tmp(temporary);
    const ScopedVariable ownConsole("QUORVEL_OWN_CONSOLE=1");
    const ProgramRun run = runSim("", folder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.rfind("quorvel-sim plays a game session", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("This run wrote 270 rows, in 1 file."), std::string::npos) << run.out;
    const auto data = folder / "quorvel-sim-data";
    EXPECT_NE(run.out.find("Data folder: " + utf8(data)), std::string::npos) << run.out;
    EXPECT_TRUE(std::filesystem::exists(data / "Steam%7C76561190000000000%7C0-performance.csv"));
    EXPECT_EQ(entriesOf(temporary.path()), std::vector<std::string>{}) << "nothing left behind";
}

TEST(WindowsHabits, TheSimulatorLeavesNoTemporaryFolderHoweverItEnds) {
    TempDir folder("quorvel-sim-ends");
    TempDir temporary("quorvel-sim-tmp");
    const TemporaryFolderAt tmp(temporary);
    const std::pair<const char*, int> runs[] = {{"--data data", 0},
                                                {"--data data --module nowhere.dll", 1}};
    for (const auto& [arguments, exitCode] : runs) {
        const ProgramRun run = runSim(arguments, folder);
        EXPECT_EQ(run.exitCode, exitCode) << arguments << "\n" << run.err;
        EXPECT_NE(run.out.find("Documents folder: " + utf8(temporary.path())), std::string::npos)
            << "the Documents folder was a temporary one: " << run.out;
        EXPECT_EQ(entriesOf(temporary.path()), std::vector<std::string>{}) << arguments;
    }
}

// Paths past the 260 characters of Windows' plain calls: a folder of folders 50
// characters long each.
std::filesystem::path longFolderIn(const TempDir& folder) {
    std::filesystem::path path = folder.path();
    while (path.native().size() < 300) {
        path /= std::string(50, 'f');
    }
    return path;
}

TEST(WindowsHabits, FoldersAndFilesOfAnyLengthReachBothTools) {
    TempDir folder("quorvel-long");
    const auto data = longFolderIn(folder) / "data";
    const ProgramRun sim = runSim("--data " + shellQuoted(data), folder);
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_NE(sim.out.find("This run wrote 270 rows, in 1 file."), std::string::npos) << sim.out;
    const auto page = data / "page.html";
    const ProgramRun report = runReport(shellQuoted(data) + " --html " + shellQuoted(page), folder);
    ASSERT_EQ(report.exitCode, 0) << report.err;
    EXPECT_NE(report.out.find("185.34.107.21:7811"), std::string::npos) << report.out;
    EXPECT_NE(readFile(page).find("</html>"), std::string::npos);
}

#if defined(_WIN32)
TEST(WindowsHabits, ADocumentsFolderTooLongForTheModuleIsRefusedBeforeTheSession) {
    TempDir folder("quorvel-long-documents");
    const auto documents = longFolderIn(folder);
    const ProgramRun sim = runSim("--data data --documents " + shellQuoted(documents), folder);
    EXPECT_EQ(sim.exitCode, 1) << sim.out;
    EXPECT_NE(sim.err.find("is too long: the game's log in it would take"), std::string::npos)
        << sim.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "data")) << "nothing written";
}
#endif

}  // namespace
}  // namespace QuorvelTest
