// The backward Launch.log scan on arbitrary bytes and block sizes, checked against the
// rule applied literally: every line searched with the regular expression, the last
// match wins. The first byte picks the block size.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <regex>
#include <string>

#include "LaunchLogScan.h"

namespace {

std::optional<std::string> literalRule(const std::string& text) {
    static const std::regex pattern("GameURL=\"([^\"]*)\"");
    std::optional<std::string> last;
    std::size_t start = 0;
    while (true) {
        std::size_t end = text.find('\n', start);
        const bool lastLine = end == std::string::npos;
        const std::string line = text.substr(start, (lastLine ? text.size() : end) - start);
        std::smatch match;
        if (std::regex_search(line, match, pattern)) {
            last = match[1].str();
        }
        if (lastLine) {
            return last;
        }
        start = end + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0 || size > 4096) {
        return 0;  // the regex reference recurses per character: keep inputs small
    }
    const std::size_t blockSize = 1 + data[0] % 64;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const Quorvel::ReadBytes read = [&text](std::uint64_t offset, char* out, std::size_t length) {
        if (offset + length > text.size()) {
            return false;
        }
        std::memcpy(out, text.data() + offset, length);
        return true;
    };
    const auto scanned = Quorvel::scanRegionBackward(read, 0, text.size(), blockSize);
    if (scanned.readFailed || scanned.lastValue != literalRule(text)) {
        std::abort();
    }
    return 0;
}
