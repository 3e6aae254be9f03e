#include "TemporaryName.h"

#include <atomic>
#include <chrono>

#if defined(_WIN32)
#include <process.h>
#else
#include <unistd.h>
#endif

namespace Quorvel::Tools {

std::string temporaryName(std::string_view prefix) {
    static std::atomic<unsigned> counter{0};
#if defined(_WIN32)
    const auto process = _getpid();
#else
    const auto process = getpid();
#endif
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string name(prefix);
    name.append("-").append(std::to_string(process)).append("-").append(std::to_string(stamp));
    return name.append("-").append(std::to_string(counter++));
}

}  // namespace Quorvel::Tools
