#include "PerformanceFormat.h"

namespace Quorvel::Format {

namespace {

constexpr bool headerLineJoinsTheNames() {
    std::size_t at = 0;
    for (std::size_t i = 0; i < kColumnCount; ++i) {
        const std::string_view name = kColumnNames[i];
        if (kHeaderLine.substr(at, name.size()) != name) {
            return false;
        }
        at += name.size();
        if (kHeaderLine[at] != (i + 1 == kColumnCount ? '\n' : ',')) {
            return false;
        }
        ++at;
    }
    return at == kHeaderLine.size();
}
static_assert(headerLineJoinsTheNames());

bool mustEscape(unsigned char byte) {
    return byte < 0x20 ||
           std::string_view("<>:\"/\\|?*%").find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::string fileNameSafeId(std::string_view userId) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    safe.reserve(userId.size());
    for (char c : userId) {
        const auto byte = static_cast<unsigned char>(c);
        if (mustEscape(byte)) {
            safe.push_back('%');
            safe.push_back(kHex[byte >> 4]);
            safe.push_back(kHex[byte & 0xF]);
        } else {
            safe.push_back(c);
        }
    }
    return safe;
}

std::string performanceFileName(std::string_view userId) {
    return fileNameSafeId(userId).append(kFileNameSuffix);
}

}  // namespace Quorvel::Format
