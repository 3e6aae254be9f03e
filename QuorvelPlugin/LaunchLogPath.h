#pragma once

#include <filesystem>

namespace Quorvel {

// The current user's Documents folder, empty when it cannot be found. On Windows the
// shell's personal folder; elsewhere XDG_DOCUMENTS_DIR from the environment or from
// the user-dirs file, else $HOME/Documents.
std::filesystem::path documentsFolder();

// The game's own log under the Documents folder, as a native (wide on Windows) path
// so that any user name works; empty when the Documents folder cannot be found.
std::filesystem::path launchLogPath();

}  // namespace Quorvel
