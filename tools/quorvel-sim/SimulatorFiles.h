#pragma once

// Where the simulator finds its own test build of the plugin module and the stand-in
// host library. The players' package keeps the two in a folder of their own beside the
// programs (QUORVEL_SIMULATOR_FOLDER), so that nobody takes them for the plugin to
// install; the build tree has them beside the program.

#include <filesystem>

namespace Quorvel::Sim {

// The folder holding the module and the stand-in host for the program file `program`.
std::filesystem::path simulatorFolder(const std::filesystem::path& program);

// The module played when none is named.
std::filesystem::path defaultModule(const std::filesystem::path& program);

// Makes the stand-in host in `folder` the one the program and every module it loads
// use. On Windows the program imports the library late (delay loading), so this load
// picks its file, and a module's import of it binds to this same loaded instance. On
// Linux the dynamic linker has loaded it already, from the program's run path. Throws
// a Failure (Input) naming the file when it cannot be loaded.
void useStandInHost(const std::filesystem::path& folder);

}  // namespace Quorvel::Sim
