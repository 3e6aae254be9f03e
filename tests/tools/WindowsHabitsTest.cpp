// What players on Windows do: names beyond the ANSI code page, a file dropped on the
// program in Explorer. Run on Linux and, under Wine, on Windows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "RunProgram.h"
#include "ToolTestSupport.h"

namespace QuorvelTest {
namespace {

// Sets an environment variable for this process and the programs it starts.
class ScopedVariable {
  public:
    ScopedVariable(const char* variableName, const char* value) : name(variableName) {
#if defined(_WIN32)
        _putenv_s(name, value);
#else
        setenv(name, value, 1);
#endif
    }
    ~ScopedVariable() {
#if defined(_WIN32)
        _putenv_s(name, "");
#else
        unsetenv(name);
#endif
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name;
};

// "Док文書", "Данные データ", "отчёт レポート": Cyrillic and Japanese, outside code page 1252.
const char* const kFolder = "\xd0\x94\xd0\xbe\xd0\xba\xe6\x96\x87\xe6\x9b\xb8";
const std::u8string kData = u8"\u0414\u0430\u043d\u043d\u044b\u0435 \u30c7\u30fc\u30bf";
const std::u8string kPage = u8"\u043e\u0442\u0447\u0451\u0442 \u30ec\u30dd\u30fc\u30c8.html";

TEST(WindowsHabits, NamesBeyondTheCodePageReachBothToolsIntact) {
    TempDir folder(kFolder);
    const auto data = folder / kData;
    const ProgramRun sim = runProgram(QUORVEL_SIM_PATH, "--data " + shellQuoted(data), folder);
    ASSERT_EQ(sim.exitCode, 0) << sim.err;
    EXPECT_NE(sim.out.find("Data folder: " + utf8(data)), std::string::npos) << sim.out;
    const auto csv = data / "Steam%7C76561190000000000%7C0-performance.csv";
    ASSERT_TRUE(std::filesystem::exists(csv));

    const ProgramRun report =
        runProgram(QUORVEL_REPORT_PATH,
                   shellQuoted(data) + " --json --html " + shellQuoted(folder / kPage), folder);
    ASSERT_EQ(report.exitCode, 0) << report.err;
    const auto document = nlohmann::json::parse(report.out);
    EXPECT_EQ(document["files"][0]["file"], utf8(csv));
    EXPECT_EQ(document["matches"].size(), 2u);
    EXPECT_TRUE(std::filesystem::exists(folder / kPage));
    EXPECT_NE(report.err.find("wrote " + utf8(folder / kPage)), std::string::npos) << report.err;
}

TEST(WindowsHabits, AFileDroppedOnTheReportGetsItsPageBesideIt) {
    TempDir folder(kFolder);
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    const ScopedVariable ownConsole("QUORVEL_OWN_CONSOLE", "1");
    const ScopedVariable noBrowser("QUORVEL_NO_BROWSER", "1");
    const ProgramRun run = runProgram(QUORVEL_REPORT_PATH, shellQuoted(csv), folder);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::filesystem::exists(folder / "p-performance.html"));
    EXPECT_NE(run.err.find("opening " + utf8(folder / "p-performance.html") + " in the browser"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("good: no problem found"), std::string::npos) << run.out;
}

TEST(WindowsHabits, OpenWritesThePageBesideTheFileFromATerminalToo) {
    TempDir folder("quorvel-open");
    const auto csv = folder / "p-performance.csv";
    writeFile(csv, performanceCsv(secondsOf(0, 30, [](int s) { return SampleRow{.second = s}; })));
    const ScopedVariable noBrowser("QUORVEL_NO_BROWSER", "1");
    EXPECT_EQ(runProgram(QUORVEL_REPORT_PATH, shellQuoted(csv) + " --open", folder).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "p-performance.html"));
    writeFile(folder / "q-performance.csv", readFile(csv));
    const ProgramRun two = runProgram(
        QUORVEL_REPORT_PATH,
        shellQuoted(csv) + " " + shellQuoted(folder / "q-performance.csv") + " --open", folder);
    EXPECT_EQ(two.exitCode, 2);
    EXPECT_NE(two.err.find("--open with several inputs needs --html"), std::string::npos);
}

}  // namespace
}  // namespace QuorvelTest
