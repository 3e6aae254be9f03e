#include "SessionCalendar.h"

#include <cmath>
#include <cstdint>
#include <mutex>

#if defined(__linux__)
#include <dlfcn.h>
#include <time.h>
#endif

namespace QuorvelSim {

namespace {

struct Calendar {
    std::mutex lock;
    bool active = false;
    std::int64_t startSeconds = 0;
    std::function<double()> virtualSeconds;
};

Calendar& calendar() {
    static Calendar instance;
    return instance;
}

// The session's time as whole seconds and nanoseconds since the epoch; false when no
// session clock is installed.
bool sessionTime(std::int64_t& seconds, std::int64_t& nanoseconds) {
    Calendar& c = calendar();
    std::lock_guard<std::mutex> guard(c.lock);
    if (!c.active) {
        return false;
    }
    const double elapsed = c.virtualSeconds();
    const double whole = std::floor(elapsed);
    seconds = c.startSeconds + static_cast<std::int64_t>(whole);
    nanoseconds = static_cast<std::int64_t>((elapsed - whole) * 1e9);
    return true;
}

}  // namespace

SessionCalendar::SessionCalendar(const Tarvik::Loader::PluginModule&,
                                 std::chrono::sys_seconds start,
                                 std::function<double()> virtualSeconds) {
    Calendar& c = calendar();
    std::lock_guard<std::mutex> guard(c.lock);
    c.startSeconds = start.time_since_epoch().count();
    c.virtualSeconds = std::move(virtualSeconds);
    c.active = true;
}

SessionCalendar::~SessionCalendar() {
    Calendar& c = calendar();
    std::lock_guard<std::mutex> guard(c.lock);
    c.active = false;
    c.virtualSeconds = nullptr;
}

}  // namespace QuorvelSim

#if defined(__linux__)
// The program's own clock_gettime, exported (the build hides symbols by default): the
// dynamic linker binds every loaded library's calls to it (the program comes first in
// the lookup order), the C++ library's system_clock among them. Other clocks, and
// times outside a session, are the C library's.
extern "C" __attribute__((visibility("default"))) int clock_gettime(clockid_t clock,
                                                                    struct timespec* time) {
    if (clock == CLOCK_REALTIME) {
        std::int64_t seconds = 0, nanoseconds = 0;
        if (QuorvelSim::sessionTime(seconds, nanoseconds)) {
            time->tv_sec = static_cast<time_t>(seconds);
            time->tv_nsec = static_cast<long>(nanoseconds);
            return 0;
        }
    }
    using ClockGettime = int (*)(clockid_t, struct timespec*);
    static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real(clock, time);
}
#endif
