#include "ScratchFolder.h"

#include <system_error>

#include "SystemPath.h"
#include "TemporaryName.h"

namespace Quorvel::Sim {

ScratchFolder::~ScratchFolder() {
    if (!folder.empty()) {
        std::error_code ignored;  // a folder that cannot go is left, never an error at the end
        std::filesystem::remove_all(Tools::systemPath(folder), ignored);
    }
}

const std::filesystem::path& ScratchFolder::path() {
    if (!folder.empty()) {
        return folder;
    }
    const auto temporary = std::filesystem::temp_directory_path();
    std::error_code error;
    for (int attempt = 0; attempt < 16 && !error; ++attempt) {
        const auto candidate = temporary / Tools::temporaryName("quorvel-sim");
        // Made here, exclusively: a folder another session holds is never shared.
        if (std::filesystem::create_directory(Tools::systemPath(candidate), error)) {
            folder = candidate;
            return folder;
        }
    }
    // Not made: the session's own creating of its folders says why, naming this one.
    folder = temporary / Tools::temporaryName("quorvel-sim");
    return folder;
}

}  // namespace Quorvel::Sim
