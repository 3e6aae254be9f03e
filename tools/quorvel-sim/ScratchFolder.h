#pragma once

#include <filesystem>

namespace Quorvel::Sim {

// A folder of the session's own in the system's temporary folder, for what the game
// would keep in the user's Documents (its log). Made when first asked for; removed with
// all it holds when the owner goes, however the session ended (a module that would not
// load, a stop, an error).
class ScratchFolder {
  public:
    ScratchFolder() = default;
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder's path, made afresh ("quorvel-sim-<process>-<clock>-<count>", never one
    // that exists) on the first call.
    const std::filesystem::path& path();

  private:
    std::filesystem::path folder;
};

}  // namespace Quorvel::Sim
