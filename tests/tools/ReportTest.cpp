// quorvel-report end to end on a simulated session: JSON figures, bad input, and the
// HTML page drawn by a headless browser.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "RunProgram.h"

namespace QuorvelTest {
namespace {

class Report : public ::testing::Test {
  protected:
    void SetUp() override {
        const ProgramRun sim =
            runProgram(QUORVEL_SIM_PATH, "--data \"" + (folder / "data").string() + "\"", folder);
        ASSERT_EQ(sim.exitCode, 0) << sim.err;
        for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
            csv = entry.path();
        }
    }

    ProgramRun report(const std::string& arguments) {
        return runProgram(QUORVEL_REPORT_PATH, "\"" + csv.string() + "\" " + arguments, folder);
    }

    TempDir folder{"quorvel-report-test"};
    std::filesystem::path csv;
};

TEST_F(Report, JsonHasOneSummaryPerMatchOfTheSession) {
    const ProgramRun run = report("--json");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto summaries = nlohmann::json::parse(run.out);
    ASSERT_EQ(summaries.size(), 2u);
    EXPECT_EQ(summaries[0]["durationSeconds"], 130);
    EXPECT_EQ(summaries[0]["server"], "185.34.107.21:7811");
    EXPECT_EQ(summaries[0]["playlist"], 13);
    EXPECT_EQ(summaries[1]["durationSeconds"], 140);
    EXPECT_EQ(summaries[1]["server"], "162.244.54.9:7795");
    // The second match's ping ramps from 40 to 95 ms.
    EXPECT_EQ(summaries[1]["pingMs"]["max"], 95.0);
    EXPECT_EQ(summaries[1]["pingMs"]["median"], 67.5);
    EXPECT_TRUE(run.err.empty()) << run.err;
}

TEST_F(Report, BadRowsAreNamedAndSkipped) {
    appendFile(csv, "2026-12-08 10:00:00,x\nnot a row at all\n");
    const ProgramRun run = report("");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.err.find(": line 272: expected 15 fields, found 2 (skipped)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find(": line 273: expected 15 fields, found 1 (skipped)"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("185.34.107.21:7811"), std::string::npos);
}

TEST_F(Report, HtmlPageDrawsEveryChartInAHeadlessBrowser) {
    const auto page = folder / "report.html";
    ASSERT_EQ(report("--html \"" + page.string() + "\"").exitCode, 0);
    const std::string html = readFile(page);
    for (const char* fetch : {"<link", "src=\"", "src='", "import(", "fetch("}) {
        EXPECT_EQ(html.find(fetch), std::string::npos) << "the page loads nothing: " << fetch;
    }

    if (!std::filesystem::exists("/usr/bin/chromium")) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it)";
    }
    const std::string flags =
        "--headless --no-sandbox --disable-gpu --disable-quic --no-first-run "
        "--disable-background-networking "
        "--disable-component-update --disable-sync --virtual-time-budget=5000 --user-data-dir=\"" +
        (folder / "profile").string() + "\"";
    const ProgramRun dom = runProgram(
        "/usr/bin/chromium", flags + " --dump-dom \"file://" + page.string() + "\"", folder);
    ASSERT_EQ(dom.exitCode, 0) << dom.err;
    // Four charts a match, each with painted pixels on its canvas.
    EXPECT_NE(dom.out.find("data-charts-drawn=\"8\""), std::string::npos) << dom.out.substr(0, 400);
}

}  // namespace
}  // namespace QuorvelTest
