// quorvel-sim end to end: each example session played through the built module, its
// CSV compared with a golden file column by column, by header name.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "CsvStream.h"
#include "InputFile.h"
#include "OtherFileSystem.h"
#include "RunProgram.h"
#include "ToolTestSupport.h"
#include "UtcTimestamp.h"

namespace QuorvelTest {
namespace {

// The file of the simulator's default player.
const char* const kDefaultPlayersFile = "Steam%7C76561190000000000%7C0-performance.csv";

// The golden files' sessions begin here; without --start a session begins now.
const std::string kGoldenStart = "--start \"2026-12-08 18:00:00\" ";

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
    const std::string& name = GetParam();
    const std::string scenario =
        name == "default"
            ? ""
            : shellQuoted(std::filesystem::path(QUORVEL_SCENARIO_DIR) / (name + ".json")) + " ";
    const ProgramRun run =
        runSim(kGoldenStart + scenario + "--data " + shellQuoted(folder / "data"), folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Quorvel: Loaded (using Launch.log)"), std::string::npos);
    std::filesystem::path csv;
    for (const auto& entry : std::filesystem::directory_iterator(folder / "data")) {
        if (entry.is_regular_file()) {  // beside it: the history, the match journal's folder
            csv = entry.path();
        }
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
        {"{\"seconds\": 10, \"phases\": [], \"events\": [{\"at\": 1, \"action\": \"quit\"}]}",
         "/events/0/action: expected \"unload\", \"load\" or \"crash\""},
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
        // A field given twice: neither value is taken silently.
        {"{\"seconds\": 10, \"phases\": [], \"seconds\": 604800}",
         "/seconds: expected each field once (this one is given twice)"},
        {"{\"seconds\": 10, \"phases\": [{\"from\": 0, \"to\": 5}, " + phase +
             "\"ping\": 20, \"fps\": 60, \"ping\": 900}]}",
         "/phases/1/ping: expected each field once"},
        {"{\"seconds\": 10, \"phases\": [], \"events\": [{\"at\": 1, \"action\": \"unload\"}, "
         "{\"at\": 2, \"at\": 3, \"action\": \"load\"}]}",
         "/events/1/at: expected each field once"},
        {"{\"seconds\": 10, \"phases\": [" + phase +
             "\"fps\": {\"noise\": {\"mean\": 1, \"mean\": 2}}}]}",
         "/phases/0/fps/noise/mean: expected each field once"},
        {std::string(200, '[') + std::string(200, ']'),
         "/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0/0: expected at most 32 "
         "levels of nesting"},
        // Starts whose seconds the module's clock cannot hold (it would wrap around).
        {"{\"seconds\": 10, \"start\": \"9999-12-31 23:59:00\", \"phases\": []}",
         "/start: expected a time from 1677-09-21 00:12:44 to 2262-04-11 23:47:05: the "
         "session's last second (start + 10) must be one the calendar clock holds, up to "
         "2262-04-11 23:47:15"},
        {"{\"seconds\": 11, \"start\": \"2262-04-11 23:47:05\", \"phases\": []}",
         "/start: expected a time from 1677-09-21 00:12:44 to 2262-04-11 23:47:04"},
        {"{\"seconds\": 10, \"start\": \"1677-09-21 00:12:43\", \"phases\": []}",
         "/start: expected a time from 1677-09-21 00:12:44"},
        {"{\"seconds\": 10, \"start\": \"0000-01-01 00:00:00\", \"phases\": []}",
         "/start: expected a time from 1677-09-21 00:12:44"},
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

// Terminal control sequences in a scenario (its description, a Launch.log line the game
// writes, a field's name) reach the terminal escaped, in the summary and in errors.
TEST(SimInput, TextFromTheScenarioIsShownEscaped) {
    const std::string control = "\\u001b]0;owned\\u0007\\u009b2J";
    TempDir folder("quorvel-sim-text");
    writeFile(folder / "bad.json", "{\"seconds\": 10, \"phases\": [], \"" + control + "\": 1}");
    writeFile(folder / "good.json",
              "{\"seconds\": 3, \"description\": \"" + control +
                  "\", \"phases\": [{\"from\": 0, \"to\": 3, \"inOnlineGame\": true}], "
                  "\"events\": [{\"at\": 0, \"launchLog\": \"GameURL=\\\"" +
                  control + "\\\"\"}]}");
    for (const char* scenario : {"bad.json", "good.json"}) {
        const ProgramRun run = runSim(
            shellQuoted(folder / scenario) + " --data " + shellQuoted(folder / "data"), folder);
        EXPECT_NE(run.out.find("owned") + run.err.find("owned"), 2 * std::string::npos) << scenario;
        for (const std::string& text : {run.out, run.err}) {
            EXPECT_EQ(text.find('\x1b'), std::string::npos) << scenario << "\n" << text;
            EXPECT_EQ(text.find('\x07'), std::string::npos) << scenario;
            EXPECT_EQ(text.find("\xc2\x9b"), std::string::npos) << scenario;
        }
    }
}

// A match over the whole session; its rows' timestamps count from `start`.
std::string matchFrom(const std::string& start, int seconds) {
    return "{\"seconds\": " + std::to_string(seconds) + ", \"start\": \"" + start +
           "\", \"phases\": [{\"from\": 0, \"to\": " + std::to_string(seconds) +
           ", \"inOnlineGame\": true}], \"events\": [{\"at\": 0, \"launchLog\": "
           "\"GameURL=\\\"192.0.2.1:7777\\\"\"}]}";
}

TEST(SimInput, SessionsAtTheEdgesOfTheCalendarClockWriteTheirOwnDates) {
    struct Case {
        std::string start;
        int seconds;
        std::string firstRow, lastRow;
    };
    const Case cases[] = {
        {"1677-09-21 00:12:44", 10, "1677-09-21 00:12:44", "1677-09-21 00:12:53"},
        {"2262-04-11 23:47:05", 10, "2262-04-11 23:47:05", "2262-04-11 23:47:14"},
        {"1969-12-31 23:59:55", 10, "1969-12-31 23:59:55", "1970-01-01 00:00:04"},
    };
    for (const Case& c : cases) {
        TempDir folder("quorvel-sim-edge");
        writeFile(folder / "edge.json", matchFrom(c.start, c.seconds));
        const ProgramRun run = runSim(
            shellQuoted(folder / "edge.json") + " --data " + shellQuoted(folder / "data"), folder);
        ASSERT_EQ(run.exitCode, 0) << c.start << "\n" << run.err;
        const auto rows =
            records(folder / "data" / "Steam%7C76561190000000000%7C0-performance.csv");
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(c.seconds) + 1) << c.start;
        EXPECT_EQ(rows[1][0], c.firstRow);
        EXPECT_EQ(rows.back()[0], c.lastRow);
    }
}

TEST(SimInput, AScenarioFileIsReadUpTo16MBAndRefusedBeyond) {
    constexpr std::size_t kLimit = std::size_t{16} * 1024 * 1024;
    const std::string scenario = matchFrom("2026-12-08 18:00:00", 3);
    for (const std::size_t size : {kLimit, kLimit + 1}) {
        TempDir folder("quorvel-sim-large");
        // Spaces after the scenario: valid JSON of exactly `size` bytes.
        writeFile(folder / "large.json", scenario + std::string(size - scenario.size(), ' '));
        const ProgramRun run = runSim(
            shellQuoted(folder / "large.json") + " --data " + shellQuoted(folder / "data"), folder);
        if (size == kLimit) {
            EXPECT_EQ(run.exitCode, 0) << run.err;
            continue;
        }
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(utf8(folder / "large.json") +
                               ": larger than 16 MB (16777216 bytes), the most a scenario file "
                               "may hold"),
                  std::string::npos)
            << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    }
}

#if !defined(_WIN32)  // a device with no end and no size
TEST(SimInput, AnEndlessScenarioIsRefusedAfter16MB) {
    TempDir folder("quorvel-sim-endless");
    const ProgramRun run = runSim("/dev/zero --data " + shellQuoted(folder / "data"), folder);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("/dev/zero: larger than 16 MB"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "data"));
}
#endif

TEST(SimInput, PaceIsAPlainDecimalNumberOfSecondsInItsRange) {
    for (const char* pace : {"nan", "1e300", "-1", "inf", "61", "fast", "0x10", "1e1", ".5", "5.",
                             "+1", "1,5", "60.001", "1.2.3", "\"\"", "\" 1\""}) {
        TempDir folder("quorvel-sim-pace");
        const ProgramRun run = runSim(
            std::string("--pace ") + pace + " --data " + shellQuoted(folder / "data"), folder);
        EXPECT_EQ(run.exitCode, 2) << pace;
        EXPECT_NE(run.err.find("--pace takes a number of seconds from 0 to 60"), std::string::npos)
            << run.err;
        EXPECT_LT(run.err.size(), 400u) << run.err;
        EXPECT_FALSE(std::filesystem::exists(folder / "data"));
    }
    // Taken: the run goes on to load the module, which is not there.
    for (const char* pace : {"0", "0.5", "60", "60.0", "007.250"}) {
        TempDir folder("quorvel-sim-pace");
        const ProgramRun run = runSim(std::string("--pace ") + pace + " --module " +
                                          shellQuoted(folder / "absent.so") + " --data " +
                                          shellQuoted(folder / "data"),
                                      folder);
        EXPECT_EQ(run.exitCode, 1) << pace << "\n" << run.err;
        EXPECT_NE(run.err.find("cannot load plugin module"), std::string::npos) << run.err;
    }
}

// Without --start a session begins now, so that runs on other days make a history of
// other days; --start fixes it, over the scenario's own, within the clock's range.
TEST(SimInput, ASessionBeginsNowOrAtItsStart) {
    TempDir folder("quorvel-sim-start");
    using namespace std::chrono;
    const auto before = floor<seconds>(system_clock::now());
    const ProgramRun now = runSim("--data " + shellQuoted(folder / "now"), folder);
    const auto after = floor<seconds>(system_clock::now());
    ASSERT_EQ(now.exitCode, 0) << now.err;
    const auto rows = records(folder / "now" / kDefaultPlayersFile);
    ASSERT_GT(rows.size(), 1u);
    const auto first = Quorvel::Format::parseUtcTimestamp(rows[1][0]);
    ASSERT_TRUE(first.has_value()) << rows[1][0];
    EXPECT_GE(*first, before);
    EXPECT_LE(*first, after + minutes(6)) << "second 0 is now; the first row comes 20 s later";

    struct Case {
        std::string start;
        int exitCode;
        std::string firstRowOrMessage;
    };
    const std::vector<Case> cases = {
        {"\"2031-02-03 04:05:06\"", 0, "2031-02-03 04:05:26"},
        {"\"2026-13-01 00:00:00\"", 2, "--start takes a time in UTC written"},
        {"2026-12-08", 2, "--start takes a time in UTC written"},
        {"\"2262-04-11 23:45:00\"", 2, "--start: expected a time from 1677-09-21 00:12:44 to"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.start);
        const auto data = folder / "fixed";
        std::filesystem::remove_all(data);
        const ProgramRun run =
            runSim("--start " + c.start + " --data " + shellQuoted(data), folder);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        if (c.exitCode == 0) {
            EXPECT_EQ(records(data / kDefaultPlayersFile).at(1).at(0), c.firstRowOrMessage);
        } else {
            EXPECT_NE(run.err.find(c.firstRowOrMessage), std::string::npos) << run.err;
            EXPECT_FALSE(std::filesystem::exists(data)) << "nothing written";
        }
    }
}

// A line of the game's log that cannot be written: the session is not what the scenario
// says, and the exit status says so.
TEST(SimOutput, AGameLogThatCannotBeWrittenEndsTheSessionWithItsStatus) {
    TempDir folder("quorvel-sim-log");
    const auto documents = folder / "Documents";
    std::filesystem::create_directories(documents / "My Games" / "Brimvale" / "TAGame" / "Logs" /
                                        "Launch.log");
    const ProgramRun run = runSim(kGoldenStart + "--data " + shellQuoted(folder / "data") +
                                      " --documents " + shellQuoted(documents),
                                  folder);
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_NE(run.err.find("could not be played as scripted"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("cannot write the game's log"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("This run wrote 0 rows"), std::string::npos) << run.out;
}

TEST(SimOutput, TheSummaryListsOnlyTheFilesThisRunWrote) {
    TempDir folder("quorvel-sim-reused");
    const std::string others = "Epic%7Cother%7C1-performance.csv";
    writeFile(folder / "data" / others, performanceCsv({SampleRow{}}));
    for (int run = 1; run <= 2; ++run) {  // the second finds the first's file there too
        const ProgramRun sim = runSim("--data " + shellQuoted(folder / "data"), folder);
        ASSERT_EQ(sim.exitCode, 0) << sim.err;
        const std::string own = "CSV file: " + utf8(folder / "data" / kDefaultPlayersFile);
        EXPECT_NE(sim.out.find(own), std::string::npos) << "run " << run << ": " << sim.out;
        EXPECT_EQ(sim.out.find("CSV file:"), sim.out.rfind("CSV file:")) << "one file only";
        EXPECT_EQ(sim.out.find(others), std::string::npos) << "run " << run << ": " << sim.out;
    }
}

// Files in `folder` (not below it) named like performance files.
std::vector<std::filesystem::path> performanceFilesIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (utf8(entry.path().filename()).ends_with("-performance.csv")) {
            files.push_back(entry.path());
        }
    }
    return files;
}

// An example scenario as it is, or a day later with other matches: the game started again.
// An example scenario on a fixed day: 2026-12-08, or a day later with other match ids.
std::string exampleScenario(const std::string& name, const TempDir& folder, bool dayLater) {
    const auto file = std::filesystem::path(QUORVEL_SCENARIO_DIR) / (name + ".json");
    auto scenario = nlohmann::json::parse(readFile(file));
    scenario["start"] = dayLater ? "2026-12-09 18:00:00" : "2026-12-08 18:00:00";
    for (auto& phase : scenario["phases"]) {
        if (dayLater && phase.contains("matchGuid")) {
            phase["matchGuid"] = phase["matchGuid"].get<std::string>() + "-LATER";
        }
    }
    const auto copy = folder / (name + (dayLater ? "-later.json" : "-first.json"));
    writeFile(copy, scenario.dump());
    return shellQuoted(copy);
}

// The plugin reloaded 55 rows into a match keeps them in the history and the 26 after
// in its file; a second start of the game keeps the first's; the summary counts what
// each run wrote, and the report of the data folder shows every row.
TEST(SimOutput, AReloadInAMatchAndANewGameStartKeepEveryRow) {
    TempDir folder("quorvel-sim-reload");
    const auto data = folder / "data";
    for (const bool second : {false, true}) {
        const std::string scenario = exampleScenario("reload-mid-match", folder, second);
        const ProgramRun sim = runSim(scenario + " --data " + shellQuoted(data), folder);
        ASSERT_EQ(sim.exitCode, 0) << sim.err;
        EXPECT_NE(sim.out.find("26 rows in 1 match"), std::string::npos) << sim.out;
        EXPECT_NE(sim.out.find("55 rows in 1 match"), std::string::npos) << sim.out;
        EXPECT_NE(sim.out.find("This run wrote 81 rows, in 2 files."), std::string::npos);
        // The first run's reload, then its file and the second run's reload.
        ASSERT_EQ(performanceFilesIn(data / "quorvel-history").size(), second ? 3u : 1u);
    }
    EXPECT_EQ(records(data / "Epic%7C0f3c9a%7Closs-performance.csv").size(), 1u + 26);
    const ProgramRun report = runReport(shellQuoted(data) + " --json", folder);
    ASSERT_EQ(report.exitCode, 0) << report.err;
    const auto document = nlohmann::json::parse(report.out);
    std::size_t rows = 0;
    for (const auto& file : document["files"]) {
        rows += file["rows"].get<std::size_t>();
    }
    EXPECT_EQ(rows, 2u * 81) << report.out.substr(0, 400);
    ASSERT_EQ(document["matches"].size(), 2u) << "each run's match, joined from its two parts";
    for (const auto& match : document["matches"]) {
        EXPECT_EQ(match["rows"], 81);
        EXPECT_EQ(match["sources"].size(), 2u) << match["sources"];
    }
    EXPECT_EQ(document["days"].size(), 2u);
}

// A crash 1:44 into a match: the rows up to the journal's last write stay in the data
// folder, the summary says what was lost; the next start keeps them as an unfinished
// session, and the report of the folder counts the match once.
TEST(SimOutput, ACrashInAMatchLosesOnlyItsLastSecondsAndTheNextStartKeepsTheRest) {
    TempDir folder("quorvel-sim-crash");
    const auto data = folder / "data";
    const auto history = data / "quorvel-history";
    for (const bool second : {false, true}) {
        const std::string scenario = exampleScenario("crash-mid-match", folder, second);
        const ProgramRun sim = runSim(scenario + " --data " + shellQuoted(data), folder);
        ASSERT_EQ(sim.exitCode, 0) << sim.err;
        EXPECT_NE(sim.out.find("the game crashes"), std::string::npos) << sim.out;
        EXPECT_NE(sim.out.find("This run wrote 100 rows, in 2 files."), std::string::npos);
        EXPECT_NE(sim.out.find("of the 104 rows it had taken, 100 are in the files above and 4 "
                               "were lost."),
                  std::string::npos)
            << sim.out;
        EXPECT_EQ(
            sim.out.find("Quorvel: Kept 100 rows of an unfinished match in ") != std::string::npos,
            second)
            << sim.out;
        EXPECT_EQ(
            records(history / "Steam%7C76561190000000003%7C0-unfinished-performance.csv").size(),
            1u + 100);
    }
    EXPECT_EQ(performanceFilesIn(history).size(), 2u) << "the kept session and the new journal";
    // The player's file holds only its header after a crash: no fault in a folder.
    const ProgramRun report = runReport(shellQuoted(data) + " --json", folder);
    ASSERT_EQ(report.exitCode, 0) << report.err;
    const auto matches = nlohmann::json::parse(report.out)["matches"];
    ASSERT_EQ(matches.size(), 2u) << "one a run";
    EXPECT_TRUE(matches[1]["gameClosed"].get<bool>()) << matches[1].dump();
}

#if defined(__linux__)

// The history on another file system: the earlier session is copied there, and the
// summary counts only what this run wrote.
TEST(SimOutput, AnEarlierSessionCopiedIntoTheHistoryIsNotCountedAsThisRunsRows) {
    TempDir folder("quorvel-sim-copy");
    if (!FolderElsewhere::availableBeside(folder.path())) {
        GTEST_SKIP() << "/dev/shm is not another file system here";
    }
    FolderElsewhere elsewhere;
    std::filesystem::create_directories(folder / "data");
    std::filesystem::create_directory_symlink(elsewhere.root, folder / "data" / "quorvel-history");
    for (const bool second : {false, true}) {
        const ProgramRun run = runSim(exampleScenario("four-servers", folder, second) + " --data " +
                                          shellQuoted(folder / "data"),
                                      folder);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find("This run wrote 480 rows, in 1 file."), std::string::npos)
            << run.out;
    }
    EXPECT_EQ(performanceFilesIn(elsewhere.root).size(), 1u);
}

#endif

// Where the history cannot be made, the plugin appends after the earlier rows: the
// summary tells them from this run's.
TEST(SimOutput, RowsAppendedAfterAnEarlierSessionAreNotCountedAsThisRunsOwn) {
    TempDir folder("quorvel-sim-append");
    writeFile(folder / "data" / "quorvel-history", "a file where the history folder would be");
    for (const bool second : {false, true}) {
        const std::string scenario = exampleScenario("loss-bursts", folder, second);
        const ProgramRun sim = runSim(scenario + " --data " + shellQuoted(folder / "data"), folder);
        EXPECT_EQ(sim.exitCode, 0) << sim.err;
        if (second) {
            EXPECT_NE(sim.out.find("Quorvel: Could not keep the earlier rows of "),
                      std::string::npos);
            EXPECT_NE(sim.out.find("180 rows in 2 matches, 90 of them from before this run"),
                      std::string::npos)
                << sim.out;
            EXPECT_NE(sim.out.find("This run wrote 90 rows, in 1 file."), std::string::npos);
        }
    }
}

TEST(SimOutput, RowsThatDoNotReachTheFileEndTheRunWithItsOwnStatus) {
    TempDir folder("quorvel-sim-unwritable");
    // The plugin's file name is taken by a folder, so neither the header nor a row can
    // be written.
    std::filesystem::create_directories(folder / "data" / kDefaultPlayersFile);
    const ProgramRun run = runSim("--data " + shellQuoted(folder / "data"), folder);
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.out.find("Quorvel: Could not write performance data"), std::string::npos);
    EXPECT_NE(run.err.find("rows it collected did not reach the file"), std::string::npos)
        << run.err;
}

#if !defined(_WIN32)  // signals and pipes: POSIX
TEST(SimOutput, StopSignalsEndTheSessionAsTheGameClosingDoesAndKeepTheRows) {
    struct Case {
        int signal;
        int exitCode;
    };
    // Ctrl-C, the terminal closed, a plain kill.
    for (const Case c : {Case{SIGINT, 130}, Case{SIGHUP, 129}, Case{SIGTERM, 143}}) {
        TempDir folder("quorvel-sim-interrupt");
        BackgroundProgram sim(QUORVEL_SIM_PATH,
                              "--pace 0.02 --data " + shellQuoted(folder / "data"), folder);
        ASSERT_TRUE(sim.waitForOutput("Quorvel: Captured server", std::chrono::seconds{20}));
        std::this_thread::sleep_for(std::chrono::milliseconds{300});  // some rows into the match
        const ProgramRun run = sim.stop(c.signal);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE(run.out.find("(signal " + std::to_string(c.signal) +
                               "): the game closes and unloads the plugin"),
                  std::string::npos)
            << run.out;
        const auto rows = records(folder / "data" / kDefaultPlayersFile);
        EXPECT_GT(rows.size(), 2u) << "the rows of the match cut short are in the file";
        EXPECT_NE(run.out.find("1 match\n"), std::string::npos) << "and summarized: " << run.out;
    }
}

TEST(SimOutput, AClosedOutputPipeEndsTheSessionAsTheGameClosingDoesAndKeepsTheRows) {
    TempDir folder("quorvel-sim-pipe");
    // A 100-second match with a line of the game's log each second, so that each tick
    // writes to the pipe; paced, so `head` is gone long before the end.
    std::string scenario =
        "{\"seconds\": 100, \"phases\": [{\"from\": 0, \"to\": 100, \"inOnlineGame\": true}], "
        "\"events\": [";
    for (int second = 0; second < 100; ++second) {
        scenario += (second == 0 ? "{\"at\": " : ", {\"at\": ") + std::to_string(second) +
                    ", \"launchLog\": \"GameURL=\\\"192.0.2.1:7777\\\"\"}";
    }
    writeFile(folder / "chatty.json", scenario + "]}");
    const std::string sim = shellQuoted(QUORVEL_SIM_PATH) + " " +
                            shellQuoted(folder / "chatty.json") + " --pace 0.05 --data " +
                            shellQuoted(folder / "data") + " 2>" +
                            shellQuoted(folder / "stderr.txt");
    const std::string command = "{ " + sim + "; echo $? >" + shellQuoted(folder / "status") +
                                "; } | head -3 >" + shellQuoted(folder / "head.txt");
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readFile(folder / "status"), "141\n") << readFile(folder / "stderr.txt");
    EXPECT_NE(readFile(folder / "stderr.txt").find("standard output cannot be written"),
              std::string::npos);
    const auto rows = records(folder / "data" / kDefaultPlayersFile);
    EXPECT_GT(rows.size(), 1u) << "the rows taken before the end are in the file";
    EXPECT_LT(rows.size(), 101u) << "the session ended before the match did";
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
