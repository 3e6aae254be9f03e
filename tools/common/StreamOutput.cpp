#include "StreamOutput.h"

#include <cerrno>
#include <cstring>

#include "ConsoleText.h"
#include "Failure.h"

namespace Quorvel::Tools {

StreamOutput::StreamOutput(std::FILE* output, std::string name)
    : stream(output), streamName(std::move(name)) {}

void StreamOutput::write(std::string_view text) {
    if (failure || text.empty()) {
        return;
    }
    errno = 0;
    if (!writeText(stream, text)) {
        failure = errno != 0 ? std::strerror(errno) : "the console refused it";
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
