#pragma once

#include <cstddef>
#include <cstdint>

namespace Quorvel {

// How much of the history folder is kept: the newest sessions, up to whichever
// limit is reached first.
struct HistoryLimit {
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
};

inline constexpr HistoryLimit kHistoryLimit{500, std::uintmax_t{200} * 1024 * 1024};

}  // namespace Quorvel
