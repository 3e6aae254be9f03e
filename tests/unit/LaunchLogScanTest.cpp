// The log scan against the regular expression it replaces, and its memory between scans.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <regex>

#include "FirstEntryInLine.h"
#include "LaunchLogScan.h"
#include "ServerAddress.h"
#include "TempDir.h"

namespace QuorvelTest {
namespace {

using Quorvel::LaunchLogScanner;

// The rule, literally: every line searched with the pattern, the last match wins.
std::optional<std::string> referenceLastEntry(const std::string& text) {
    static const std::regex pattern("GameURL=\"([^\"]*)\"", std::regex::ECMAScript);
    std::optional<std::string> last;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        if (lastLine) {
            end = text.size();
        }
        std::smatch match;
        const std::string line = text.substr(start, end - start);
        if (std::regex_search(line, match, pattern)) {
            last = match[1].str();
        }
        if (lastLine) {
            break;
        }
        start = end + 1;
    }
    return last;
}

std::optional<std::string> scanInMemory(const std::string& text, std::size_t blockSize) {
    const Quorvel::ReadBytes read = [&text](std::uint64_t offset, char* out, std::size_t length) {
        if (offset + length > text.size()) {
            return false;
        }
        std::memcpy(out, text.data() + offset, length);
        return true;
    };
    return Quorvel::scanRegionBackward(read, 0, text.size(), blockSize).lastValue;
}

std::string randomLog(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "GameURL=\"",         "\"", "\n",        "x",        ":",   "GameURL=", "\r",
        std::string(1, '\0'), "G",  "1.2.3.4:7", "\xff\xfe", "=\"", "ameURL=\""};
    std::uniform_int_distribution<std::size_t> count(0, 24);
    std::uniform_int_distribution<std::size_t> piece(0, pieces.size() - 1);
    std::string text;
    for (std::size_t n = count(random); n > 0; --n) {
        text += pieces[piece(random)];
    }
    return text;
}

TEST(LaunchLogScan, MatchesTheRegularExpressionOnRandomLogs) {
    std::mt19937 random(20261208);
    for (int round = 0; round < 20000; ++round) {
        const std::string text = randomLog(random);
        const auto expected = referenceLastEntry(text);
        for (std::size_t blockSize : {1u, 2u, 5u, 9u, 64u}) {
            ASSERT_EQ(scanInMemory(text, blockSize), expected)
                << "block " << blockSize << " log [" << text << "]";
        }
        if (text.find('\n') == std::string::npos) {
            const auto first = firstEntryInLine(text);
            ASSERT_EQ(first ? std::optional<std::string>(std::string(*first)) : std::nullopt,
                      expected);
        }
    }
}

TEST(LaunchLogScan, CasesOfTheRule) {
    struct Case {
        std::string log;
        std::optional<std::string> entry;
    };
    const Case cases[] = {
        {"a GameURL=\"10.0.0.1:700\" b\nc\nGameURL=\"10.0.0.2:701\"\nd\n", "10.0.0.2:701"},
        {"GameURL=\"first:1\" GameURL=\"second:2\"\n", "first:1"},
        {"x\nGameURL=\"no-trailing-line-feed:9\"", "no-trailing-line-feed:9"},
        {"GameURL=\"10.0.0.1:700\"\nGameURL=\"\"\n", ""},
        {"GameURL=\"10.0.0.1:700\"\nGameURL=\"unterminated\n", "10.0.0.1:700"},
        {"GameURL=\"a\r\nGameURL=\"b:1\"\r\n", "b:1"},
        {std::string("GameURL=\"nul\0byte:1\"\n", 21), std::string("nul\0byte:1", 10)},
        {"no entry at all\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanInMemory(c.log, 4096), c.entry) << c.log;
        EXPECT_EQ(referenceLastEntry(c.log), c.entry) << "the reference itself: " << c.log;
    }
}

// The first colon splits every form but a bracketed IPv6 address, which keeps its own.
TEST(LaunchLogScan, SplitsAtTheFirstColonOrAfterTheBrackets) {
    struct Case {
        const char* address;
        const char* split;   // ip|port
        const char* joined;  // as the console names it
    };
    const std::vector<Case> cases = {
        {"10.0.0.2:701", "10.0.0.2|701", "10.0.0.2:701"},
        {"host:700?x=1:2", "host|700?x=1:2", "host:700?x=1:2"},
        {"nocolon", "nocolon|", "nocolon:"},
        {":700", "|700", ":700"},
        {"[2001:db8::1]:7777", "2001:db8::1|7777", "[2001:db8::1]:7777"},
        {"[2001:db8::1]", "2001:db8::1|", "[2001:db8::1]:"},
        {"[::1]:7777:8", "::1|7777:8", "[::1]:7777:8"},
        {"[]:7777", "|7777", ":7777"},
        // Not the bracketed form: the first colon, exactly as for any other text.
        {"[2001:db8::1]x:7777", "[2001|db8::1]x:7777", "[2001:db8::1]x:7777"},
        {"[2001:db8::1", "[2001|db8::1", "[2001:db8::1"},
        {"x[::1]:7", "x[|:1]:7", "x[::1]:7"},
    };
    for (const Case& c : cases) {
        std::string ip, port;
        Quorvel::splitHostPort(c.address, ip, port);
        EXPECT_EQ(Quorvel::joinHostPort(ip, port), c.joined) << c.address;
        EXPECT_EQ(ip.append("|").append(port), c.split) << c.address;
    }
}

class LaunchLogFile : public ::testing::Test {
  protected:
    TempDir folder{"quorvel-log"};
    std::filesystem::path log = folder / "Launch.log";
    LaunchLogScanner scanner{16};  // small blocks put entries across block edges
};

TEST_F(LaunchLogFile, ValueOfSixteenMegabytesIsReadWithoutRecursion) {
    const std::string value(16 << 20, 'v');
    writeFile(log, "start\nGameURL=\"" + value + "\" end\n");
    LaunchLogScanner scanner64k;
    const auto entry = scanner64k.lastEntry(log);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(*entry, value);
    writeFile(log, "GameURL=\"" + value);
    EXPECT_EQ(LaunchLogScanner().lastEntry(log), std::nullopt);
}

TEST_F(LaunchLogFile, AppendedEntryWinsAndAppendedNoiseKeepsTheLast) {
    writeFile(log, "GameURL=\"10.0.0.1:1\"\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.1:1");
    appendFile(log, "noise line\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.1:1");
    appendFile(log, "GameURL=\"10.0.0.2:2\"\nmore\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.2:2");
    appendFile(log, "GameURL=\"\"\n");
    EXPECT_EQ(scanner.lastEntry(log), "");
}

TEST_F(LaunchLogFile, LineGrowingAcrossScansIsReadWhole) {
    writeFile(log, "GameURL=\"10.0.0.1:1\"\nGameURL=\"10.0.");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.1:1");
    appendFile(log, "0.2:2");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.1:1");
    appendFile(log, "\" tail");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.2:2");
    appendFile(log, " GameURL=\"later-in-line\"\nplain\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.2:2");
}

TEST_F(LaunchLogFile, ShrunkOrRewrittenLogIsReadAfresh) {
    writeFile(log, "header line one\nGameURL=\"10.0.0.1:1\"\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.1:1");
    writeFile(log, "short\n");
    EXPECT_EQ(scanner.lastEntry(log), std::nullopt);
    writeFile(log, "other header 123\nGameURL=\"10.0.0.5:5\"\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.5:5");
    // Same size, different bytes.
    writeFile(log, "other header 123\nGameURL=\"10.0.0.6:6\"\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.6:6");
    // Larger, with the old bytes changed.
    writeFile(log, "other header 124\nGameURL=\"10.0.0.7:7\"\nno entry here\n");
    EXPECT_EQ(scanner.lastEntry(log), "10.0.0.7:7");
}

// A log that was replaced or rewritten is read afresh, each way of telling on its own:
// the changed entry lies between the fingerprint's sampled blocks, so only the file's
// identity, or only its last write, or only the fingerprint can see the change.
TEST_F(LaunchLogFile, AReplacedOrRewrittenLogIsReadAfreshByEachTell) {
    // 1 MiB of lines; the entry sits halfway between the first two sampled blocks.
    constexpr std::size_t kSize = std::size_t{1} << 20;
    constexpr std::size_t kEntryAt = 4096 + (kSize - 4096) / 14;
    const auto logWith = [&](const std::string& address, std::size_t size) {
        std::string text;
        while (text.size() < size) {
            if (text.size() >= kEntryAt && text.size() < kEntryAt + 100) {
                text += "LogNet: Browse: GameURL=\"" + address + "\" Options\n";
            }
            text += "LogInit: a line of start-up noise, nothing to find here\n";
        }
        text.resize(size - 1);
        return text + "\n";
    };
    const auto sameWriteTime = [&](const std::filesystem::path& file,
                                   std::filesystem::file_time_type time) {
        std::filesystem::last_write_time(file, time);
    };
    struct Case {
        const char* tell;
        std::function<void(const std::filesystem::file_time_type&)> replace;
    };
    const Case cases[] = {
        {"identity: another file, same size, bytes and last write",
         [&](const std::filesystem::file_time_type& written) {
             std::filesystem::rename(log,
                                     folder / "Launch-backup.log");  // keeps its identity alive
             writeFile(log, logWith("10.0.0.2:7000", kSize));
             sameWriteTime(log, written);
         }},
        {"last write: rewritten in place at the same size",
         [&](const std::filesystem::file_time_type& written) {
             writeFile(log, logWith("10.0.0.2:7000", kSize));
             sameWriteTime(log, written + std::chrono::seconds{2});
         }},
        {"fingerprint: rewritten larger, a start-up line changed",
         [&](const std::filesystem::file_time_type&) {
             std::string text = logWith("10.0.0.2:7000", kSize);
             text.replace(0, 7, "LogBoot");
             writeFile(log, text + "appended noise\n");
         }},
    };
    for (const Case& c : cases) {
        LaunchLogScanner fresh;
        writeFile(log, logWith("10.0.0.1:7000", kSize));
        ASSERT_EQ(fresh.lastEntry(log), "10.0.0.1:7000") << c.tell;
        const auto written = std::filesystem::last_write_time(log);
        c.replace(written);
        EXPECT_EQ(fresh.lastEntry(log), "10.0.0.2:7000") << c.tell;
        std::filesystem::remove(folder / "Launch-backup.log");
    }
}

TEST_F(LaunchLogFile, MissingOrUnreadableLogGivesNothing) {
    EXPECT_EQ(scanner.lastEntry(log), std::nullopt);
    std::filesystem::create_directories(log);
    EXPECT_EQ(scanner.lastEntry(log), std::nullopt);
}

}  // namespace
}  // namespace QuorvelTest
