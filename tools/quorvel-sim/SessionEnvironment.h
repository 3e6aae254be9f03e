#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "tarvik/loader/PluginModule.h"

namespace Quorvel::Sim {

// What the loaded module reads of its surroundings, made the session's: the user's
// Documents folder, and the calendar clock, which then follows the session's virtual
// time (`start` plus the virtual seconds so far), so a session played in milliseconds
// still writes rows one second apart, the same every run. The module is unchanged and
// loaded as the host loads it, and nothing outside this process is touched:
// - on Linux the Documents folder is the process's XDG_DOCUMENTS_DIR, and the program
//   provides the C library's clock_gettime for CLOCK_REALTIME (the dynamic linker binds
//   the module's clock to the program's definition first);
// - on Windows the module's imports of SHGetFolderPathW, GetSystemTimeAsFileTime and
//   GetProcAddress (through which the C runtime finds the precise clock) are pointed at
//   this program's, which answer for the session and pass everything else on.
// It owns what it changes and gives all of it back when destroyed (the real clock, the
// import slots, the environment variable as it was); the module must still be loaded
// then. One lives at a time: a second one throws std::logic_error.
class SessionEnvironment {
  public:
    // Without `start`, the module reads the real clock.
    SessionEnvironment(const Tarvik::Loader::PluginModule& module,
                       const std::filesystem::path& documentsFolder,
                       std::optional<std::chrono::sys_seconds> start,
                       std::function<double()> virtualSeconds);
    ~SessionEnvironment();
    SessionEnvironment(const SessionEnvironment&) = delete;
    SessionEnvironment& operator=(const SessionEnvironment&) = delete;

  private:
    void* moduleHandle;
#if !defined(_WIN32)
    std::optional<std::string> previousDocumentsVariable;
#endif
};

}  // namespace Quorvel::Sim
