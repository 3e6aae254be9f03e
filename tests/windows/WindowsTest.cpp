// What only Windows has: text-mode line ends, drive-letter joins, code-page file names.

#include <gtest/gtest.h>

#include <windows.h>

#include <clocale>

#include "CsvFile.h"
#include "PerformanceFormat.h"
#include "PluginHarness.h"

namespace QuorvelTest {
namespace {

const std::string kHeader(Quorvel::Format::kHeaderLine);

// Restores the C runtime's locale on leaving the scope.
class LocaleScope {
  public:
    explicit LocaleScope(const char* locale) : previous(std::setlocale(LC_ALL, nullptr)) {
        active = std::setlocale(LC_ALL, locale) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, previous.c_str()); }
    bool active = false;

  private:
    std::string previous;
};

TEST(Windows, CsvOnDiskHasCrLfLineEndsAndNothingElse) {
    PluginHarness harness;
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\r\n");
    harness.load();
    harness.enterMatch();
    harness.ticks(2);
    harness.leaveMatch();
    harness.ticks(1);
    const std::string bytes = harness.csv();
    ASSERT_EQ(bytes.rfind(kHeader.substr(0, kHeader.size() - 1) + "\r\n", 0), 0u);
    std::size_t lineEnds = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(bytes[i - 1], '\r') << "at byte " << i;
            ++lineEnds;
        }
    }
    EXPECT_EQ(lineEnds, 3u);
    EXPECT_EQ(bytes.back(), '\n');
}

TEST(Windows, DataFolderJoinFollowsThePathRules) {
    const auto join = [](const wchar_t* folder) {
        return Quorvel::csvFilePath(folder, "p")->wstring();
    };
    EXPECT_EQ(join(L"C:"), L"C:p-performance.csv");
    EXPECT_EQ(join(L"C:\\"), L"C:\\p-performance.csv");
    EXPECT_EQ(join(L"C:\\data"), L"C:\\data\\p-performance.csv");
    EXPECT_EQ(join(L"C:\\data\\"), L"C:\\data\\p-performance.csv");
    EXPECT_EQ(join(L"C:/data/"), L"C:/data/p-performance.csv");
    EXPECT_EQ(join(L""), L"p-performance.csv");
}

// The suite runs twice: in a Western European prefix (ANSI code page 1252) and in a
// Japanese one (932, a double-byte code page in which some byte pairs are invalid).
TEST(Windows, FileNameUsesTheAnsiCodePageInTheCLocale) {
    if (GetACP() == 1252) {
        // The two UTF-8 bytes of "é" are two characters of code page 1252.
        EXPECT_EQ(Quorvel::csvFilePath(L"", "\xc3\xa9")->wstring(),
                  L"\u00c3\u00a9-performance.csv");
    } else if (GetACP() == 932) {
        EXPECT_EQ(Quorvel::csvFilePath(L"", "\x82\xa0")->wstring(), L"\u3042-performance.csv");
        EXPECT_FALSE(Quorvel::csvFilePath(L"", "bad\x81 ").has_value());
    } else {
        GTEST_SKIP() << "no expectation for ANSI code page " << GetACP();
    }
}

TEST(Windows, FileNameUsesUtf8UnderAUtf8Locale) {
    LocaleScope utf8(".UTF8");
    if (!utf8.active) {
        GTEST_SKIP() << "this C runtime has no UTF-8 locale";
    }
    EXPECT_EQ(Quorvel::csvFilePath(L"", "\xc3\xa9")->wstring(), L"\u00e9-performance.csv");
    EXPECT_FALSE(Quorvel::csvFilePath(L"", "bad\xff").has_value());
}

// An earlier session's name in the history converts as the file's own name does.
TEST(Windows, HistoryNameUsesTheFileNamesCodePage) {
    std::string id;
    std::wstring wideId;
    if (GetACP() == 1252) {
        id = "\xc3\xa9";
        wideId = L"\u00c3\u00a9";
    } else if (GetACP() == 932) {
        id = "\x82\xa0";
        wideId = L"\u3042";
    } else {
        GTEST_SKIP() << "no expectation for ANSI code page " << GetACP();
    }
    PluginHarness harness;
    harness.game().uniqueId = id;
    const std::string earlier =
        kHeader + "2026-12-08 18:00:20," + id + ",M,h,1,0,0,0,0,0,0,0,0,0,0\n";
    try {
        writeFile(harness.csvFile(), earlier);
    } catch (const std::exception&) {
        // Wine stores names in the Unix locale's encoding: the Japanese pass needs
        // ja_JP.UTF-8 installed on the build machine.
        GTEST_SKIP() << "this machine cannot store the name " << harness.csvFile().string();
    }
    harness.load();
    EXPECT_EQ(readFile(harness.dataFolder / L"quorvel-history" /
                       (wideId + L"-20261208-180020-performance.csv")),
              earlier);
}

TEST(Windows, UnconvertibleFileNameKeepsTheRowsAndSaysSo) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "needs a code page with invalid bytes; runs in the code page 932 pass";
    }
    PluginHarness harness;
    harness.game().uniqueId = "bad\x81 ";
    harness.writeLaunchLog("GameURL=\"10.0.0.1:7777\"\n");
    ASSERT_NO_THROW(harness.load());
    harness.enterMatch();
    harness.ticks(2);
    harness.leaveMatch();
    ASSERT_NO_THROW(harness.ticks(2));
    EXPECT_TRUE(harness.plugin().hasPendingRows);
    std::size_t reports = 0;
    for (const std::string& line : harness.consoleTexts()) {
        reports += line.rfind("Quorvel: Could not write performance data to ", 0) == 0 ? 1u : 0u;
    }
    EXPECT_EQ(reports, 1u);
    EXPECT_EQ(harness.consoleCount("Quorvel: Loaded (using Launch.log)"), 1u);
}

}  // namespace
}  // namespace QuorvelTest
