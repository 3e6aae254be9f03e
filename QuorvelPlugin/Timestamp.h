#pragma once

#include <chrono>
#include <string>

namespace Quorvel {

// "%Y-%m-%d %H:%M:%S" of the whole second containing `time`, in UTC.
std::string formatUtcTimestamp(std::chrono::system_clock::time_point time);

}  // namespace Quorvel
