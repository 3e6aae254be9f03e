#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace Quorvel::Read {

// What a folder holds of performance files: the regular files whose names end in
// "-performance.csv", sorted, and a note for each entry named like one that is not
// (a link that leads nowhere or in a loop, a pipe, a folder), skipped.
struct FolderListing {
    std::vector<std::filesystem::path> files;
    std::vector<std::string> skipped;  // "PATH: is a loop of links, skipped"
};

// Throws a Failure (Input) when the folder cannot be listed.
FolderListing performanceFilesIn(const std::filesystem::path& folder);

}  // namespace Quorvel::Read
