// The simulator's hold on the process: what it changes for a session it gives back,
// and only one session holds it at a time.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>

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

}  // namespace
}  // namespace QuorvelTest
