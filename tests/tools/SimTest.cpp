// quorvel-sim end to end: each example session played through the built module, its
// CSV compared with a golden file column by column, by header name.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "CsvReader.h"
#include "PerformanceLog.h"
#include "RunProgram.h"

namespace QuorvelTest {
namespace {

ProgramRun runSim(const std::string& arguments, const TempDir& folder) {
    return runProgram(QUORVEL_SIM_PATH, arguments, folder);
}

std::vector<std::vector<std::string>> records(const std::string& text) {
    std::vector<std::vector<std::string>> all;
    Quorvel::Summary::CsvReader reader(text);
    Quorvel::Summary::CsvRecord record;
    while (reader.next(record)) {
        all.push_back(record.fields);
    }
    return all;
}

void expectMatchesGolden(const std::filesystem::path& actualFile, const std::string& golden) {
    const auto expected =
        records(readFile(std::filesystem::path(QUORVEL_GOLDEN_DIR) / (golden + ".csv")));
    const auto actual = records(readFile(actualFile));
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(actual.size(), expected.size()) << "rows";
    const auto& header = expected[0];
    ASSERT_EQ(actual[0], header);
    std::chrono::sys_seconds previous{};
    for (std::size_t row = 1; row < expected.size(); ++row) {
        ASSERT_EQ(actual[row].size(), header.size()) << "row " << row;
        for (std::size_t column = 0; column < header.size(); ++column) {
            if (header[column] == "Timestamp") {
                std::chrono::sys_seconds time;
                ASSERT_TRUE(Quorvel::Summary::parseTimestamp(actual[row][column], time))
                    << actual[row][column];
                EXPECT_GE(time, previous) << "row " << row;
                previous = time;
            } else {
                EXPECT_EQ(actual[row][column], expected[row][column])
                    << header[column] << ", row " << row;
            }
        }
    }
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, WritesTheGoldenRows) {
    TempDir folder("quorvel-sim-test");
    const std::string name = GetParam();
    const std::string scenario =
        name == "default" ? "" : "\"" + std::string(QUORVEL_SCENARIO_DIR) + "/" + name + ".json\" ";
    const ProgramRun run =
        runSim(scenario + "--data \"" + (folder / "data").string() + "\"", folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Quorvel: Loaded (using Launch.log)"), std::string::npos);
    std::filesystem::path csv;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
        csv = entry.path();
    }
    expectMatchesGolden(csv, name);
    EXPECT_NE(run.out.find("CSV file: " + csv.string()), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Examples, Scenario,
                         ::testing::Values("default", "loss-bursts", "graphs-missing",
                                           "unload-mid-match", "non-latin-documents"),
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
    };
    for (const Case& c : cases) {
        TempDir folder("quorvel-sim-bad");
        writeFile(folder / "bad.json", c.json);
        const ProgramRun run = runSim("\"" + (folder / "bad.json").string() + "\" --data \"" +
                                          (folder / "data").string() + "\"",
                                      folder);
        EXPECT_EQ(run.exitCode, 2) << c.json;
        EXPECT_NE(run.err.find((folder / "bad.json").string()), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data")) << "nothing is half-written";
    }
}

TEST(SimInput, MissingModuleIsAClearError) {
    TempDir folder("quorvel-sim-nomodule");
    const ProgramRun run = runSim("--module \"" + (folder / "absent.so").string() + "\" --data \"" +
                                      (folder / "data").string() + "\"",
                                  folder);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot load plugin module"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace QuorvelTest
