#include "Spool.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "Failure.h"
#include "TemporaryName.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace Quorvel::Tools {

namespace {

// A new file in the temporary folder that nobody else can open by name and that goes
// when it is closed: removed at once on POSIX, deleted on close on Windows.
std::FILE* anonymousTemporaryFile() {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) {
        return nullptr;
    }
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::filesystem::path file = folder / (temporaryName("quorvel-spool") + ".tmp");
#if defined(_WIN32)
        const int fd =
            _wopen(file.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_TEMPORARY, 0600);
        if (fd >= 0) {
            return _fdopen(fd, "w+b");
        }
#else
        const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::unlink(file.c_str());
            return fdopen(fd, "w+b");
        }
#endif
        if (errno != EEXIST) {
            return nullptr;
        }
    }
    return nullptr;
}

// The spool's text could not be kept: the report cannot be written whole.
Failure cannotSpool(const std::string& why) {
    return Failure(FailureKind::Output, "the report's text: " + why);
}

}  // namespace

Spool::~Spool() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

void Spool::spill() {
    file = anonymousTemporaryFile();
    if (file == nullptr) {
        failure =
            cannotSpool(std::string("a temporary file cannot be made: ") + std::strerror(errno));
        return;
    }
    if (std::fwrite(memory.data(), 1, memory.size(), file) != memory.size()) {
        failure = cannotSpool(std::strerror(errno));
    }
    memory.clear();
    memory.shrink_to_fit();
}

void Spool::write(std::string_view text) {
    if (failure) {
        return;
    }
    if (file == nullptr) {
        memory.append(text);
        if (memory.size() > kMemoryBytes) {
            spill();
        }
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) {
        failure = cannotSpool(std::strerror(errno));
    }
}

void Spool::moveTo(TextOutput& out) {
    if (!failure && file != nullptr &&
        (std::fflush(file) != 0 || std::fseek(file, 0, SEEK_SET) != 0)) {
        failure = cannotSpool(std::strerror(errno));
    }
    if (failure) {
        throw *failure;
    }
    out.write(memory);
    memory.clear();
    if (file == nullptr) {
        return;
    }
    std::vector<char> chunk(std::size_t{1} << 20);
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), file)) > 0;) {
        out.write({chunk.data(), n});
    }
    const bool readFailed = std::ferror(file) != 0;
    std::fclose(file);
    file = nullptr;
    if (readFailed) {
        throw Failure(FailureKind::Output, "the report's text: its temporary file cannot be read");
    }
}

}  // namespace Quorvel::Tools
