#include "StandardOutput.h"

#include <cerrno>
#include <cstring>

namespace Quorvel::Tools {

StreamOutput::StreamOutput(std::FILE* output, std::string name)
    : stream(output), streamName(std::move(name)) {}

void StreamOutput::write(std::string_view text) {
    if (failure || text.empty()) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        failure = streamName + ": cannot be written: " + std::strerror(errno);
    }
}

std::optional<std::string> StreamOutput::finish() {
    if (!failure && (std::fflush(stream) != 0 || std::ferror(stream))) {
        failure = streamName + ": cannot be written: " + std::strerror(errno);
    }
    return failure;
}

}  // namespace Quorvel::Tools
