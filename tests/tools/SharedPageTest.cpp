// The report's page as players share it: it gives away neither their id nor their
// folders; its first screen tells a week of play at a glance, on a laptop's screen; its
// clock times are the viewer's.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "HistoryFileName.h"
#include "PageTestSupport.h"
#include "PerformanceFormat.h"
#include "RealisticPlay.h"
#include "RunProgram.h"
#include "WeekOfPlay.h"

namespace QuorvelTest {
namespace {

// `text` as a URL writes it: every byte but letters, digits and -._~ as %XX, in the case
// given.
std::string percentEncoded(const std::string& text, bool upper) {
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::string_view("-._~").find(c) != std::string_view::npos) {
            encoded.push_back(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, upper ? "%%%02X" : "%%%02x", byte);
            encoded += hex;
        }
    }
    return encoded;
}

// Every form in which a page could hold `text`: as it is, JSON-escaped, percent-encoded
// (either case), HTML-escaped, and as the plugin writes an id into a file name.
std::vector<std::string> formsOf(const std::string& text) {
    const std::string json = nlohmann::json(text).dump();
    std::string html;
    for (const char c : text) {
        html += c == '&' ? "&amp;" : c == '\'' ? "&#39;" : c == '"' ? "&quot;" : std::string(1, c);
    }
    return {text,
            json.substr(1, json.size() - 2),
            nlohmann::json(text).dump(-1, ' ', true).substr(1),  // \u escapes, less the quote
            percentEncoded(text, true),
            percentEncoded(text, false),
            html,
            Quorvel::Format::fileNameSafeId(text)};
}

// A player's data folder under a home folder that names them, with the player's file, a
// session kept in the history and a match the game closed in.
struct PlayersFolder {
    std::filesystem::path home;
    std::filesystem::path data;
    std::string userId = "Steam|76561190000000042|0";
};

PlayersFolder playersFolder(const TempDir& folder) {
    PlayersFolder f;
    f.home = folder / "Users" / "J\xC3\xB6rg O'Brien & Co";
    f.data = f.home / "AppData" / "Roaming" / "data";
    MatchPlay play;
    play.userId = f.userId;
    play.troubles = {{TroubleKind::ServerHiccup, 100, 30, 180, 240}};
    const auto history = f.data / std::string(Quorvel::Format::kHistoryFolderName);
    using namespace std::chrono;
    const sys_seconds first = sys_days{year{2026} / December / 8} + hours{18};
    writeFile(history / Quorvel::Format::historyFileName(f.userId, first, 1),
              performanceFile(play));
    play.startSecond = 600;
    play.matchGuid = "B";
    writeFile(history / Quorvel::Format::historyFileName(f.userId, first + seconds{600}, 1,
                                                         Quorvel::Format::SessionEnd::Unfinished),
              performanceFile(play));
    play.startSecond = 1200;
    play.matchGuid = "C";
    play.serverIp = "198.51.100.7";
    writeFile(f.data / Quorvel::Format::performanceFileName(f.userId), performanceFile(play));
    return f;
}

TEST(SharedPage, HoldsNeitherTheIdNorAFolderPathInAnyForm) {
    TempDir folder("quorvel-shared-page");
    const PlayersFolder player = playersFolder(folder);
    const auto page = folder / "page.html";
    const ProgramRun run =
        runReport(shellQuoted(player.data) + " --json --html " + shellQuoted(page) +
                      " --summary-csv " + shellQuoted(folder / "summary.csv"),
                  folder);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string html = readFile(page);
    // The id, its distinctive part, and every folder on the way to the files.
    std::vector<std::string> secrets = {player.userId,         "76561190000000042",
                                        utf8(player.home),     utf8(player.data),
                                        "J\xC3\xB6rg O'Brien", utf8(folder.path())};
    for (const std::string& secret : secrets) {
        for (const std::string& form : formsOf(secret)) {
            EXPECT_EQ(html.find(form), std::string::npos) << "the page holds " << form;
        }
    }
    // What a server's host needs stays; the player is "you", the files have labels.
    const auto report = dataBlocks(html, Quorvel::Present::DataBlock::Report);
    ASSERT_EQ(report.size(), 1u);
    EXPECT_EQ(report[0]["title"],
              "Quorvel report: your file, history, 2026-12-08 18:00, "
              "unfinished match, 2026-12-08 18:10 (you)");
    EXPECT_NE(html.find("198.51.100.7"), std::string::npos);
    EXPECT_NE(html.find("5F1A0C2E9B7D4E3A"), std::string::npos) << "the match ids stay";
    // The table, the JSON and the summary CSV stay on the player's machine, in full.
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["matches"][0]["userId"], player.userId);
    EXPECT_NE(json["files"][0]["file"].get<std::string>().find(utf8(player.data)),
              std::string::npos);
    EXPECT_NE(readFile(folder / "summary.csv").find(utf8(player.data)), std::string::npos);
}

// Where the page's first screen put things, as it recorded them when checked.
struct FirstScreen {
    int answer = 0;  // where the answer (with what may help) ends
    int strip = 0;   // where the strip of matches ends
    int height = 0;  // the window's
    int width = 0;
    int scrollWidth = 0;
};

FirstScreen firstScreenOf(const std::string& dom) {
    const auto j = nlohmann::json::parse(unescapedAttribute(
        attributeNear(dom, {.element = "data-first-screen=", .name = "data-first-screen"})));
    return {j["answer"], j["strip"], j["height"], j["width"], j["scrollWidth"]};
}

// The first screen's labels that lie on one another.
std::string overlappingLabels(const std::string& dom) {
    const auto boxes = nlohmann::json::parse(
        unescapedAttribute(attributeNear(dom, {.element = "data-labels=", .name = "data-labels"})));
    std::string wrong;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            const auto& a = boxes[i];
            const auto& b = boxes[j];
            if (a[0] < b[0].get<int>() + b[2].get<int>() &&
                b[0] < a[0].get<int>() + a[2].get<int>() &&
                a[1] < b[1].get<int>() + b[3].get<int>() &&
                b[1] < a[1].get<int>() + a[3].get<int>()) {
                wrong += " " + a.dump() + " on " + b.dump() + ";";
            }
        }
    }
    return wrong;
}

// A week of evenings, one bad server: the answer blames it and says what may help, the
// strip holds every match by verdict, the servers are compared on latency above ping,
// where the bad one stands out; on a laptop's screen the answer and the strip need no
// scrolling, no label lies on another and every link of the strip shows its match.
TEST(SharedPage, FirstScreenOfAWeekWithOneBadServer) {
    TempDir folder("quorvel-week");
    const WeekOfPlay week = weekOfPlay();
    const auto csv = folder / Quorvel::Format::performanceFileName(week.userId);
    writeFile(csv, week.csv);
    const auto page = folder / "week.html";
    ASSERT_EQ(runReport(shellQuoted(csv) + " --html " + shellQuoted(page), folder).exitCode, 0);
    const auto report = dataBlocks(readFile(page), Quorvel::Present::DataBlock::Report);
    ASSERT_EQ(report.size(), 1u);
    const auto& answer = report[0]["conclusions"][0];
    EXPECT_EQ(answer["side"], "server");
    EXPECT_EQ(answer["serverIp"], week.badServer);
    EXPECT_EQ(answer["whatToTry"][0]["key"], "otherServer");
    EXPECT_NE(answer["forHost"].get<std::string>().find("Server " + week.badServer),
              std::string::npos);
    const auto& screen = report[0]["firstScreen"];
    EXPECT_EQ(screen["strip"].size(), static_cast<std::size_t>(week.matches));
    EXPECT_NE(screen["comparisonTitle"].get<std::string>().find("latency above ping"),
              std::string::npos);
    // The bad server stands out: its figure is several times any other's.
    double bad = 0, othersWorst = 0;
    for (const auto& server : screen["servers"]) {
        const bool isBad = server["serverIp"] == week.badServer;
        EXPECT_EQ(server["blamed"], isBad) << server;
        (isBad ? bad : othersWorst) =
            std::max(isBad ? bad : othersWorst, server["value"].get<double>());
    }
    EXPECT_GT(bad, 3 * othersWorst) << screen["servers"];

    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    const std::string dom = drawnPage(page, folder, "#check-links", kLaptopWindow);
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
    const FirstScreen shown = firstScreenOf(dom);
    EXPECT_LE(shown.answer, shown.height) << "the answer fits the first screen";
    EXPECT_LE(shown.strip, shown.height) << "the strip fits the first screen";
    EXPECT_LE(shown.scrollWidth, shown.width) << "nothing runs off to the right";
    EXPECT_EQ(overlappingLabels(dom), "");
    const std::string all = std::to_string(week.matches);
    EXPECT_EQ(attributeNear(dom, {.element = "data-strip-links=", .name = "data-strip-links"}),
              all + "/" + all);

    const auto png = folder / "week.png";
    screenshot(page, png, folder, kLaptopWindow);
    const std::string image = readFile(png);
    ASSERT_GE(image.size(), 24u);
    EXPECT_EQ(image.substr(1, 3), "PNG");
    const auto bigEndian = [&image](std::size_t at) {
        return (static_cast<unsigned char>(image[at]) << 24) |
               (static_cast<unsigned char>(image[at + 1]) << 16) |
               (static_cast<unsigned char>(image[at + 2]) << 8) |
               static_cast<unsigned char>(image[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), static_cast<unsigned>(kLaptopWindow.width));
    EXPECT_EQ(bigEndian(20), static_cast<unsigned>(kLaptopWindow.height));
    // QUORVEL_WEEK_PAGE_TO=FOLDER keeps the page and its first screen there, to look at.
    if (const char* keep = std::getenv("QUORVEL_WEEK_PAGE_TO")) {
        std::filesystem::copy_file(page, std::filesystem::path(keep) / "week.html",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(png, std::filesystem::path(keep) / "week.png",
                                   std::filesystem::copy_options::overwrite_existing);
    }
}

// The page shows clock times in the viewer's zone and says which; UTC is a hover away.
// The file's 18:00 UTC is 03:00 the next day in Tokyo.
TEST(SharedPage, ClockTimesAreTheViewersWithUtcOnHover) {
    if (!chromiumInstalled()) {
        GTEST_SKIP() << "chromium is not installed (scripts/test.sh installs it on Linux)";
    }
    TempDir folder("quorvel-zone-page");
    MatchPlay play;
    play.troubles = {{TroubleKind::LossIn, 30, 3, 10, 12}};
    writeFile(folder / "p-performance.csv", performanceFile(play));
    const auto page = folder / "page.html";
    ASSERT_EQ(runReport(shellQuoted(folder / "p-performance.csv") + " --html " + shellQuoted(page),
                        folder)
                  .exitCode,
              0);
    const std::string dom = drawnPage(page, folder, "#check", {}, "export TZ=Asia/Tokyo; ");
    EXPECT_NE(dom.find("data-errors=\"0\""), std::string::npos);
    // One match is too few for an answer: nothing to try, no note for a host, and no
    // empty place where they would be.
    const std::size_t answer = dom.find("<div id=\"answer\">");
    ASSERT_NE(answer, std::string::npos);
    EXPECT_EQ(dom.substr(answer, dom.find("</div>", answer) - answer).find("null"),
              std::string::npos);
    const std::string start =
        "<time datetime=\"2026-12-08T18:00:00Z\" title=\"2026-12-08 18:00:00 UTC\">"
        "2026-12-09 03:00:00</time>";
    EXPECT_NE(dom.find(start), std::string::npos) << "the table's start and the match's title";
    EXPECT_NE(dom.find("start (Asia/Tokyo (UTC+9))"), std::string::npos);
    EXPECT_NE(dom.find("Clock times are in your time zone, Asia/Tokyo (UTC+9)"), std::string::npos);
    // The event at 0:30 on the events' table.
    EXPECT_NE(dom.find("title=\"2026-12-08 18:00:30 UTC\">2026-12-09 03:00:30</time>"),
              std::string::npos);
}

}  // namespace
}  // namespace QuorvelTest
