#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <vector>

namespace Quorvel::Sim {

// The performance files of a folder as they are when taken (each one's size and last
// write time), so that after a session the files it wrote or changed can be told from
// those that were there before it: earlier runs, other players.
class FolderSnapshot {
  public:
    // Throws a Failure (Input) when the folder cannot be listed.
    explicit FolderSnapshot(const std::filesystem::path& folder);

    // The performance files in the folder now that are new, or differ in size or last
    // write time from the snapshot; sorted.
    std::vector<std::filesystem::path> newOrChanged() const;

  private:
    struct State {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type lastWrite;
        bool operator==(const State&) const = default;
    };
    static std::map<std::filesystem::path, State> take(const std::filesystem::path& folder);

    std::filesystem::path folder;
    std::map<std::filesystem::path, State> before;
};

}  // namespace Quorvel::Sim
