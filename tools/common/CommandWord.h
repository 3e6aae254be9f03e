#pragma once

#include <string>
#include <string_view>

namespace Quorvel::Tools {

// `text` as one word of a command a person pastes into a shell: as it is when it holds
// only plain path characters, else in single quotes (a quote inside written '\''), so
// that nothing in it ($(...), backticks, $VAR, a semicolon) is run or expanded.
std::string shellWord(std::string_view text);

}  // namespace Quorvel::Tools
