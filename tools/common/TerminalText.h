#pragma once

#include <string>
#include <string_view>

namespace Quorvel::Tools {

// Text from a file made safe to print on a terminal as part of one line: it stays data,
// never control, and never starts a line of its own. Control characters (C0, the line
// feed included, DEL, C1), the characters that reorder text
// (bidirectional overrides and isolates) and bytes that are not UTF-8 are written as
// escapes ("\x1B", "\u202E"); every other character is kept as it is.
std::string terminalSafe(std::string_view text);

}  // namespace Quorvel::Tools
