#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

#include "HistoryLimit.h"

namespace Quorvel {

struct RemovedSession {
    std::filesystem::path file;
    std::uintmax_t size = 0;
};

// Keeps `userId`'s sessions in the history `folder` within `limit`; other players'
// sessions, journals and files of other names are neither counted nor removed. The
// sessions in `justKept` (this load's, the only copies of their rows) always stay; a
// session among them larger than the whole byte limit counts for nothing, so it never
// pushes the others out. The others are kept newest first (by the time in the name,
// then its sequence) while they fit beside those kept; the rest are removed, oldest
// first. A file that cannot be removed stays. Gives the removed sessions larger than
// the byte limit on their own, which the caller names. Throws nothing but
// std::bad_alloc.
std::vector<RemovedSession> pruneHistory(const std::filesystem::path& folder, HistoryLimit limit,
                                         std::string_view userId,
                                         const std::vector<std::filesystem::path>& justKept);

}  // namespace Quorvel
