#include "CsvText.h"

#include <array>
#include <charconv>

namespace Quorvel::Format {

bool needsQuoting(std::string_view text) {
    return text.find_first_of(",\"\r\n") != std::string_view::npos;
}

void appendCsvField(std::string& out, std::string_view text) {
    if (!needsQuoting(text)) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"') {
            out.push_back('"');
        }
        out.push_back(c);
    }
    out.push_back('"');
}

void appendInteger(std::string& out, std::int64_t value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out.append(digits.data(), result.ptr);
}

}  // namespace Quorvel::Format
