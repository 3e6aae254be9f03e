// The simulator's hold on the process: what it changes for a session it gives back,
// only one session holds it at a time, and sessions side by side keep apart.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "ScratchFolder.h"
#include "SessionEnvironment.h"
#include "TempDir.h"
#include "tarvik/loader/PluginModule.h"

namespace QuorvelTest {
namespace {

using namespace std::chrono;

TEST(SessionEnvironment, GivesBackWhatItChangedAndHoldsTheProcessAlone) {
    const Tarvik::Loader::PluginModule module(QUORVEL_MODULE_PATH);
    TempDir documents("quorvel-session-documents");
    const sys_seconds start = sys_days{2001y / January / 1};
    double virtualSeconds = 12.5;
#if !defined(_WIN32)
    setenv("XDG_DOCUMENTS_DIR", "/before/the/session", 1);
#endif
    {
        const Quorvel::Sim::SessionEnvironment session(module, documents.path(), start,
                                                       [&] { return virtualSeconds; });
        EXPECT_THROW(
            Quorvel::Sim::SessionEnvironment(module, documents.path(), start, [] { return 0.0; }),
            std::logic_error);
#if !defined(_WIN32)
        // This process's own clock follows the session too: it is the program's.
        EXPECT_EQ(floor<seconds>(system_clock::now()), start + seconds{12});
        virtualSeconds = 70.0;
        EXPECT_EQ(floor<seconds>(system_clock::now()), start + seconds{70});
        EXPECT_EQ(std::string(std::getenv("XDG_DOCUMENTS_DIR")), documents.path().string());
#endif
    }
#if !defined(_WIN32)
    EXPECT_GT(system_clock::now(), sys_seconds{sys_days{2020y / January / 1}});
    EXPECT_EQ(std::string(std::getenv("XDG_DOCUMENTS_DIR")), "/before/the/session");
    unsetenv("XDG_DOCUMENTS_DIR");
    {
        const Quorvel::Sim::SessionEnvironment again(module, documents.path(), std::nullopt,
                                                     [] { return 0.0; });
        EXPECT_GT(system_clock::now(), sys_seconds{sys_days{2020y / January / 1}})
            << "without a start, the real clock";
    }
    EXPECT_EQ(std::getenv("XDG_DOCUMENTS_DIR"), nullptr);
#endif
}

// Sessions started in the same instant (two simulators, tests side by side) each keep
// the game's log in a folder of their own, which goes with its session and no other.
TEST(SessionEnvironment, EachSessionHasAScratchFolderOfItsOwn) {
    std::filesystem::path first;
    std::filesystem::path second;
    {
        Quorvel::Sim::ScratchFolder one;
        {
            Quorvel::Sim::ScratchFolder other;
            first = one.path();
            second = other.path();
            ASSERT_NE(first, second);
            EXPECT_TRUE(std::filesystem::is_directory(first));
            writeFile(second / "Launch.log", "a line of the other session\n");
        }
        EXPECT_FALSE(std::filesystem::exists(second));
        EXPECT_TRUE(std::filesystem::is_directory(first)) << "the first session's stays";
    }
    EXPECT_FALSE(std::filesystem::exists(first));
}

}  // namespace
}  // namespace QuorvelTest
