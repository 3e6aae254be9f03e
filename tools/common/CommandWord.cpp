#include "CommandWord.h"

#include <algorithm>
#include <cstring>

namespace Quorvel::Tools {

std::string shellWord(std::string_view text) {
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
               (byte >= 'A' && byte <= 'Z') || std::strchr("._-/:+%@,", c) != nullptr;
    });
    if (plain) {
        return std::string(text);
    }
    std::string word = "'";
    for (char c : text) {
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return word + "'";
}

}  // namespace Quorvel::Tools
