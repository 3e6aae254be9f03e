#pragma once

#include <filesystem>

#include "HistoryLimit.h"

namespace Quorvel {

// Removes the oldest sessions from the history `folder` until the rest are within
// `limit`: oldest by the time in the name, then its sequence, then the name. Only
// files named as Format::historyFileName names them count or are removed, and the
// session `justKept` (a file name in `folder`) stays whatever its time and size. A
// file that cannot be removed stays and the next oldest goes. Throws nothing but
// std::bad_alloc.
void pruneHistory(const std::filesystem::path& folder, HistoryLimit limit,
                  const std::filesystem::path& justKept);

}  // namespace Quorvel
