#pragma once

#include <filesystem>
#include <vector>

namespace Quorvel::Read {

// The performance files a folder holds (names ending in "-performance.csv"), sorted.
// Throws a Failure (Input) when the folder cannot be listed.
std::vector<std::filesystem::path> performanceFilesIn(const std::filesystem::path& folder);

}  // namespace Quorvel::Read
