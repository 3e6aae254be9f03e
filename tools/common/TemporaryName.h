#pragma once

#include <string>
#include <string_view>

namespace Quorvel::Tools {

// A name for something new in the system's temporary folder, which every process of the
// user shares: "<prefix>-<process id>-<clock>-<count>", so that two programs started in
// the same instant, or two calls in one program, never pick the same one. Whoever makes
// the file or folder still makes it exclusively and asks again when it exists (a name
// left behind by an ended process).
std::string temporaryName(std::string_view prefix);

}  // namespace Quorvel::Tools
