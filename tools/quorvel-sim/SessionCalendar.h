#pragma once

#include <chrono>
#include <functional>

#include "tarvik/loader/PluginModule.h"

namespace QuorvelSim {

// Makes the calendar clock the loaded module reads follow the session's virtual time:
// `start` plus the virtual seconds so far, so a session played in milliseconds still
// writes rows one second apart, the same every run. The module itself is unchanged
// and loaded as the host loads it: on Linux the program provides the C library's
// clock_gettime for CLOCK_REALTIME (the dynamic linker binds the module's clock to
// the program's definition first); on Windows the module's imports of the system
// time functions are pointed at this program's. While one exists, the process's
// calendar clock is the session's; destruction gives the real one back.
class SessionCalendar {
  public:
    SessionCalendar(const Tarvik::Loader::PluginModule& module, std::chrono::sys_seconds start,
                    std::function<double()> virtualSeconds);
    ~SessionCalendar();
    SessionCalendar(const SessionCalendar&) = delete;
    SessionCalendar& operator=(const SessionCalendar&) = delete;
};

}  // namespace QuorvelSim
