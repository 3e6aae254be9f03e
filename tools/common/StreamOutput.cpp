#include "StreamOutput.h"

#include <cerrno>
#include <cstring>

#include "Failure.h"

namespace Quorvel::Tools {

StreamOutput::StreamOutput(std::FILE* output, std::string name)
    : stream(output), streamName(std::move(name)) {}

void StreamOutput::write(std::string_view text) {
    if (failure || text.empty()) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        failure = std::strerror(errno);
    }
}

void StreamOutput::finish() {
    if (!failure && (std::fflush(stream) != 0 || std::ferror(stream))) {
        failure = std::strerror(errno);
    }
    if (failure) {
        throw Failure(FailureKind::Output, streamName + ": cannot be written: " + *failure);
    }
}

}  // namespace Quorvel::Tools
