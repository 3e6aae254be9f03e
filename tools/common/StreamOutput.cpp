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
        failure = cannotWrite(errno != 0 ? std::strerror(errno) : "the console refused it");
    }
}

void StreamOutput::finish() {
    if (!failure && (std::fflush(stream) != 0 || std::ferror(stream))) {
        failure = cannotWrite(std::strerror(errno));
    }
    if (failure) {
        throw *failure;
    }
}

Failure StreamOutput::cannotWrite(const std::string& why) const {
    return Failure(FailureKind::Output, streamName + ": cannot be written: " + why);
}

}  // namespace Quorvel::Tools
