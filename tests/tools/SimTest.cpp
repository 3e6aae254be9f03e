// quorvel-sim end to end: each example session played through the built module, its
// CSV compared with a golden file column by column, by header name.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

#include "CsvStream.h"
#include "InputFile.h"
#include "RunProgram.h"

namespace QuorvelTest {
namespace {

ProgramRun runSim(const std::string& arguments, const TempDir& folder) {
    return runProgram(QUORVEL_SIM_PATH, arguments, folder);
}

std::vector<std::vector<std::string>> records(const std::filesystem::path& file) {
    std::vector<std::vector<std::string>> all;
    Quorvel::Read::InputFile input(file);
    Quorvel::Read::CsvStream reader(input);
    Quorvel::Read::CsvRecord record;
    while (reader.next(record)) {
        const auto& fields = record.splitFields();
        all.emplace_back(fields.begin(), fields.end());
    }
    return all;
}

// Every field of every row, the Timestamp included: the simulator's clock follows the
// session's virtual time from the scenario's start.
void expectMatchesGolden(const std::filesystem::path& actualFile, const std::string& golden) {
    const auto expected = records(std::filesystem::path(QUORVEL_GOLDEN_DIR) / (golden + ".csv"));
    const auto actual = records(actualFile);
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(actual.size(), expected.size()) << "rows";
    const auto& header = expected[0];
    ASSERT_EQ(actual[0], header);
    for (std::size_t row = 1; row < expected.size(); ++row) {
        ASSERT_EQ(actual[row].size(), header.size()) << "row " << row;
        for (std::size_t column = 0; column < header.size(); ++column) {
            EXPECT_EQ(actual[row][column], expected[row][column])
                << header[column] << ", row " << row;
        }
    }
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, WritesTheGoldenRows) {
    TempDir folder("quorvel-sim-test");
    const std::string name = GetParam();
    const std::string scenario =
        name == "default"
            ? ""
            : shellQuoted(std::filesystem::path(QUORVEL_SCENARIO_DIR) / (name + ".json")) + " ";
    const ProgramRun run = runSim(scenario + "--data " + shellQuoted(folder / "data"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Quorvel: Loaded (using Launch.log)"), std::string::npos);
    std::filesystem::path csv;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
        csv = entry.path();
    }
    expectMatchesGolden(csv, name);
    EXPECT_NE(run.out.find("CSV file: " + utf8(csv)), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Examples, Scenario,
                         ::testing::Values("default", "four-servers", "loss-bursts",
                                           "graphs-missing", "unload-mid-match",
                                           "non-latin-documents"),
                         [](const auto& param) {
                             std::string name = param.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

TEST(SimInput, MalformedScenariosAreRejectedWithWhereAndWhatAndNothingWritten) {
    struct Case {
        std::string json;
        std::string message;
    };
    const std::string phase = "{\"from\": 0, \"to\": 5, ";
    const Case cases[] = {
        {"{\"seconds\": 10, \"phases\": [", "not valid JSON"},
        {"{\"seconds\": 10, \"phases\": [{\"from\": 0, \"to\": 5, \"ping\": \"fast\"}]}",
         "/phases/0/ping: expected a number or an object with one of constant, ramp, noise, "
         "bursts"},
        {"{\"seconds\": 10, \"phases\": [], \"evnts\": []}", "/evnts: expected no such field"},
        {"{\"seconds\": 10, \"phases\": [{\"from\": 4, \"to\": 2}]}",
         "/phases/0/to: expected a whole number from 5 to 10"},
        {"{\"seconds\": 10, \"phases\": [], \"events\": [{\"at\": 1, \"action\": \"crash\"}]}",
         "/events/0/action: expected \"unload\" or \"load\""},
        // Required fields.
        {"{\"phases\": []}", "/seconds: expected a value here (the field is required)"},
        {"{\"seconds\": 10}", "/phases: expected a value here"},
        {"{\"seconds\": 10, \"phases\": [{\"to\": 5}]}", "/phases/0/from: expected a value here"},
        {"{\"seconds\": 10, \"phases\": [" + phase + "\"fps\": {\"bursts\": {\"every\": 3}}}]}",
         "/phases/0/fps/bursts/value: expected a value here"},
        {"{\"seconds\": 10, \"phases\": [" + phase + "\"fps\": {\"noise\": {\"spread\": 3}}}]}",
         "/phases/0/fps/noise/mean: expected a value here"},
        // Numbers out of range.
        {"{\"seconds\": 10, \"phases\": [" + phase + "\"playlistId\": 18446744073709551615}]}",
         "/phases/0/playlistId: expected a whole number from -2147483648 to 2147483647"},
        {"{\"seconds\": 10, \"phases\": [" + phase + "\"playlistId\": 2147483648}]}",
         "/phases/0/playlistId: expected a whole number"},
        {"{\"seconds\": 1e999, \"phases\": []}", "not valid JSON: number overflow"},
        {"[1, 2]", "/: expected an object"},
    };
    for (const Case& c : cases) {
        TempDir folder("quorvel-sim-bad");
        writeFile(folder / "bad.json", c.json);
        const ProgramRun run = runSim(
            shellQuoted(folder / "bad.json") + " --data " + shellQuoted(folder / "data"), folder);
        EXPECT_EQ(run.exitCode, 2) << c.json;
        EXPECT_NE(run.err.find(utf8(folder / "bad.json")), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.json << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data")) << "nothing is half-written";
    }
}

TEST(SimInput, PaceIsAFiniteNumberOfSecondsInItsRange) {
    for (const char* pace : {"nan", "1e300", "-1", "inf", "61", "fast"}) {
        TempDir folder("quorvel-sim-pace");
        const ProgramRun run = runSim(
            std::string("--pace ") + pace + " --data " + shellQuoted(folder / "data"), folder);
        EXPECT_EQ(run.exitCode, 2) << pace;
        EXPECT_NE(run.err.find("--pace takes a number of seconds from 0 to 60"), std::string::npos)
            << run.err;
        EXPECT_LT(run.err.size(), 400u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    }
}

TEST(SimOutput, RowsThatDoNotReachTheFileEndTheRunWithItsOwnStatus) {
    TempDir folder("quorvel-sim-unwritable");
    // The plugin's file name is taken by a folder, so neither the header nor a row can
    // be written.
    std::filesystem::create_directories(folder / "data" /
                                        "Steam%7C76561190000000000%7C0-performance.csv");
    const ProgramRun run = runSim("--data " + shellQuoted(folder / "data"), folder);
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.out.find("Quorvel: Could not write performance data"), std::string::npos);
    EXPECT_NE(run.err.find("rows it collected did not reach the file"), std::string::npos)
        << run.err;
}

#if !defined(_WIN32)  // a signal to another process: POSIX
TEST(SimOutput, CtrlCEndsTheSessionAsTheGameClosingDoesAndKeepsTheRows) {
    TempDir folder("quorvel-sim-interrupt");
    BackgroundProgram sim(QUORVEL_SIM_PATH, "--pace 0.02 --data " + shellQuoted(folder / "data"),
                          folder);
    ASSERT_TRUE(sim.waitForOutput("Quorvel: Captured server", std::chrono::seconds{20}));
    std::this_thread::sleep_for(std::chrono::milliseconds{300});  // some rows into the match
    const ProgramRun run = sim.stop(SIGINT);
    EXPECT_EQ(run.exitCode, 130) << run.err;
    EXPECT_NE(run.out.find("(signal 2): the game closes and unloads the plugin"), std::string::npos)
        << run.out;
    const auto rows = records(folder / "data" / "Steam%7C76561190000000000%7C0-performance.csv");
    EXPECT_GT(rows.size(), 2u) << "the rows of the match cut short are in the file";
    EXPECT_NE(run.out.find("1 match\n"), std::string::npos) << "and summarized: " << run.out;
}
#endif

TEST(SimInput, MissingModuleIsAClearError) {
    TempDir folder("quorvel-sim-nomodule");
    const ProgramRun run = runSim(
        "--module " + shellQuoted(folder / "absent.so") + " --data " + shellQuoted(folder / "data"),
        folder);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot load plugin module"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace QuorvelTest
