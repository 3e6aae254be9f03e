// Text for a console window: UTF-8 decoded a write at a time, and on Windows written to
// a real console buffer and read back.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "ConsoleText.h"
#include "RunProgram.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace QuorvelTest {
namespace {

using Quorvel::Tools::Utf8ToUtf16;

// "Игрок — 😀 x": two-, three- and four-byte sequences.
const std::string kText =
    "\xd0\x98\xd0\xb3\xd1\x80\xd0\xbe\xd0\xba \xe2\x80\x94 \xf0\x9f\x98\x80 x";
const std::u16string kWide = u"\u0418\u0433\u0440\u043e\u043a \u2014 \U0001F600 x";

TEST(ConsoleText, TextCutAnywhereComesOutWhole) {
    EXPECT_EQ(Utf8ToUtf16().convert(kText), kWide);
    for (std::size_t cut = 1; cut < kText.size(); ++cut) {
        Utf8ToUtf16 decoder;
        std::u16string out = decoder.convert(kText.substr(0, cut));
        out += decoder.convert(kText.substr(cut));
        EXPECT_EQ(out, kWide) << "cut at byte " << cut;
    }
}

TEST(ConsoleText, BytesThatAreNotUtf8BecomeReplacementCharacters) {
    struct Case {
        const char* what;
        std::string first, second;
        std::u16string expected;
    };
    const Case cases[] = {
        {"a byte that starts nothing", "a\xff", "b", u"a\uFFFDb"},
        {"a sequence cut by plain text", "\xd0", "x", u"\uFFFDx"},
        {"a sequence cut by a new one", "\xe2\x80", "\xd0\x98", u"\uFFFD\u0418"},
        {"an overlong slash", "\xc0\xaf", "", u"\uFFFD\uFFFD"},
        {"a surrogate", "\xed\xa0\x80", "", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xf4\x90\x80\x80", "", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"the last of U+10FFFF", "\xf4\x8f\xbf", "\xbf", u"\U0010FFFF"},
    };
    for (const Case& c : cases) {
        Utf8ToUtf16 decoder;
        std::u16string out = decoder.convert(c.first);
        out += decoder.convert(c.second);
        EXPECT_EQ(out, c.expected) << c.what;
    }
}

#if defined(_WIN32)
// A console screen buffer of the test's own; INVALID_HANDLE_VALUE where none can be made
// (Wine gives one only when it runs in a terminal).
HANDLE consoleBuffer() {
    const auto newBuffer = [] {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};  // a child may write to it
        return CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                         CONSOLE_TEXTMODE_BUFFER, nullptr);
    };
    HANDLE buffer = newBuffer();
    if (buffer == INVALID_HANDLE_VALUE && AllocConsole()) {
        buffer = newBuffer();
    }
    return buffer;
}

// What the console buffer shows, its lines joined.
std::wstring shownOn(HANDLE buffer) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(buffer, &info);
    const auto cells =
        static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwCursorPosition.Y + 1);
    std::wstring shown(cells, L'\0');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(buffer, shown.data(), cells, COORD{0, 0}, &read);
    shown.resize(read);
    return shown;
}

// Skipped where no console can be had, unless the run asks for the console's tests
// (the build runs them once more in a terminal, where they must not be skipped).
#define NEED_CONSOLE(buffer)                                                                   \
    if ((buffer) == INVALID_HANDLE_VALUE) {                                                    \
        if (std::getenv("QUORVEL_CONSOLE_TESTS") != nullptr) {                                 \
            FAIL() << "no console buffer (error " << GetLastError() << ")";                    \
        }                                                                                      \
        GTEST_SKIP() << "no console here: run in a terminal (error " << GetLastError() << ")"; \
    }

TEST(ConsoleText, AConsoleShowsTheTextInWideCharacters) {
    const HANDLE buffer = consoleBuffer();
    NEED_CONSOLE(buffer);
    Quorvel::Tools::ConsoleWriter writer(buffer);
    // "Игрок — ok", cut inside "р" and inside the dash, as writes of a stream may cut them.
    const std::string text = kText.substr(0, 15) + "ok";
    ASSERT_TRUE(writer.write(text.substr(0, 5))) << GetLastError();
    ASSERT_TRUE(writer.write(text.substr(5, 8)));
    ASSERT_TRUE(writer.write(text.substr(13)));
    EXPECT_EQ(shownOn(buffer).substr(0, 10), L"\u0418\u0433\u0440\u043e\u043a \u2014 ok");
    CloseHandle(buffer);
}

// The report run as from a terminal, on the test's console: its message naming a
// folder in Cyrillic shows as written, whatever the console's code page.
TEST(ConsoleText, TheReportsMessagesShowRightOnAConsole) {
    const HANDLE buffer = consoleBuffer();
    NEED_CONSOLE(buffer);
    TempDir folder("quorvel-console");
    const auto empty = folder / std::filesystem::path(u8"\u0418\u0433\u0440\u043e\u043a");
    std::filesystem::create_directories(empty);
    SetConsoleOutputCP(1252);
    std::wstring command = L"\"" + std::filesystem::path(QUORVEL_REPORT_PATH).wstring() + L"\" \"" +
                           empty.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = buffer;
    startup.hStdError = buffer;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    ASSERT_TRUE(started) << GetLastError();
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    const std::wstring shown = shownOn(buffer);
    EXPECT_NE(shown.find(L"\u0418\u0433\u0440\u043e\u043a: holds no *-performance.csv file"),
              std::wstring::npos)
        << "the console shows: " << utf8(std::filesystem::path(shown));
    CloseHandle(buffer);
}
#endif

}  // namespace
}  // namespace QuorvelTest
