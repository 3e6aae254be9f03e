#include "ScratchFolder.h"

#include <chrono>
#include <string>
#include <system_error>

#include "SystemPath.h"

namespace Quorvel::Sim {

ScratchFolder::~ScratchFolder() {
    if (!folder.empty()) {
        std::error_code ignored;  // a folder that cannot go is left, never an error at the end
        std::filesystem::remove_all(Tools::systemPath(folder), ignored);
    }
}

const std::filesystem::path& ScratchFolder::path() {
    if (folder.empty()) {
        const auto stamp =
            std::chrono::system_clock::now().time_since_epoch() / std::chrono::milliseconds(1);
        folder = std::filesystem::temp_directory_path() / ("quorvel-sim-" + std::to_string(stamp));
    }
    return folder;
}

}  // namespace Quorvel::Sim
