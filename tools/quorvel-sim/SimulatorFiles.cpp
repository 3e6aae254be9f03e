#include "SimulatorFiles.h"

#include <string>
#include <system_error>

#include "DisplayText.h"
#include "Failure.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace Quorvel::Sim {

std::filesystem::path simulatorFolder(const std::filesystem::path& program) {
    const std::filesystem::path beside = program.parent_path();
    const std::filesystem::path own = beside / QUORVEL_SIMULATOR_FOLDER;
    std::error_code error;
    return std::filesystem::is_directory(own, error) ? own : beside;
}

std::filesystem::path defaultModule(const std::filesystem::path& program) {
    return simulatorFolder(program) / QUORVEL_SIMULATOR_MODULE_FILE;
}

void useStandInHost([[maybe_unused]] const std::filesystem::path& folder) {
#if defined(_WIN32)
    const std::filesystem::path library = folder / QUORVEL_SIMULATOR_HOST_FILE;
    // Loaded once for the whole run: never freed.
    if (LoadLibraryW(library.c_str()) == nullptr) {
        const DWORD error = GetLastError();
        throw Tools::Failure(Tools::FailureKind::Input,
                             "cannot load the stand-in host " + Tools::displayPath(library) +
                                 ": LoadLibrary failed with error " + std::to_string(error));
    }
#endif
}

}  // namespace Quorvel::Sim
