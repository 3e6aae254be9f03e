#include "FolderSnapshot.h"

#include "PerformanceFiles.h"

namespace Quorvel::Sim {

FolderSnapshot::FolderSnapshot(const std::filesystem::path& watched)
    : folder(watched), before(take(watched)) {}

std::map<std::filesystem::path, FolderSnapshot::State> FolderSnapshot::take(
    const std::filesystem::path& folder) {
    std::map<std::filesystem::path, State> files;
    for (const std::filesystem::path& file : Read::performanceFilesIn(folder).files) {
        // One whose size or time cannot be read has the empty state: if it still cannot
        // be after the session, it is not taken for one the session wrote.
        std::error_code sizeError, timeError;
        const State state{std::filesystem::file_size(file, sizeError),
                          std::filesystem::last_write_time(file, timeError)};
        files[file] = sizeError || timeError ? State{} : state;
    }
    return files;
}

std::vector<std::filesystem::path> FolderSnapshot::newOrChanged() const {
    std::vector<std::filesystem::path> changed;
    for (const auto& [file, state] : take(folder)) {
        const auto earlier = before.find(file);
        if (earlier == before.end() || !(earlier->second == state)) {
            changed.push_back(file);
        }
    }
    return changed;
}

}  // namespace Quorvel::Sim
