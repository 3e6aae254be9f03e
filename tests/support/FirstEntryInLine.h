#pragma once

#include <optional>
#include <string_view>

namespace QuorvelTest {

// The value of the first GameURL="..." entry in one line (without its line feed), read
// forward: a second statement of the rule the backward scan follows. The leftmost
// GameURL=" decides the line: a later one's own quote would close the leftmost one's
// value, so if the leftmost has no closing quote, none has.
inline std::optional<std::string_view> firstEntryInLine(std::string_view line) {
    constexpr std::string_view kOpening = "GameURL=\"";
    const std::size_t opening = line.find(kOpening);
    if (opening == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t valueStart = opening + kOpening.size();
    const std::size_t closing = line.find('"', valueStart);
    if (closing == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(valueStart, closing - valueStart);
}

}  // namespace QuorvelTest
