#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "CommandLine.h"
#include "DisplayText.h"
#include "Failure.h"
#include "SystemPath.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Quorvel::Tools {

namespace {

std::string systemError() {
    return plainReasonOfErrno(errno);
}

// Opens a new file for writing, failing when the name is taken.
std::FILE* createNew(const std::filesystem::path& file) {
#if defined(_WIN32)
    const int fd =
        _wopen(systemPath(file).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, 0666);
    return fd < 0 ? nullptr : _fdopen(fd, "wb");
#else
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return fd < 0 ? nullptr : fdopen(fd, "wb");
#endif
}

bool flushToDisk(std::FILE* stream) {
#if defined(_WIN32)
    return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)))) != 0;
#else
    return ::fsync(fileno(stream)) == 0;
#endif
}

// Links are followed to the file they lead to, which may not exist yet. Nothing when they
// cannot be followed as names (a loop, a link into /proc, whose targets are a process's
// open files rather than paths): the target is then written straight, as it is named.
std::optional<std::filesystem::path> followLinks(const std::filesystem::path& target) {
    std::filesystem::path path = target;
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(systemPath(path), error)) {
            return path.lexically_normal();
        }
        const std::filesystem::path next = std::filesystem::read_symlink(systemPath(path), error);
        if (error) {
            return std::nullopt;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
        if (path.lexically_normal().native().starts_with(
                std::filesystem::path("/proc/").native())) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : targetPath(std::move(target)) {
    std::error_code error;
    const auto status = fileStatus(targetPath, error);
    if (std::filesystem::is_directory(status)) {
        throw Failure(FailureKind::Output,
                      displayPath(targetPath) + ": is a folder; name a file to write");
    }
    const std::optional<std::filesystem::path> followed = followLinks(targetPath);
    if (!followed ||
        (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))) {
        // A device or a pipe (/dev/stdout, a named pipe): it cannot be replaced, so it is
        // written straight, failures still reported.
#if defined(_WIN32)
        stream = _wfopen(systemPath(targetPath).c_str(), L"wb");
#else
        stream = std::fopen(targetPath.c_str(), "wb");
#endif
        if (stream == nullptr) {
            throw cannotWrite(systemError());
        }
        return;
    }
    writtenPath = *followed;
    const std::filesystem::path folder =
        writtenPath.has_parent_path() ? writtenPath.parent_path() : std::filesystem::path(".");
    std::filesystem::path name = writtenPath.filename();
    for (int attempt = 0; attempt < 100 && stream == nullptr; ++attempt) {
        std::string temporaryName(1, '.');
        temporaryName.append(displayPath(name)).append(".").append(std::to_string(attempt));
        temporaryPath = folder / pathFromUtf8(temporaryName + ".tmp");
        stream = createNew(temporaryPath);
        if (stream == nullptr && errno != EEXIST) {
            break;
        }
    }
    if (stream == nullptr) {
        throw cannotWrite(systemError());
    }
}

Failure AtomicFile::cannotWrite(const std::string& why) const {
    return Failure(FailureKind::Output, displayPath(targetPath) + ": cannot be written: " + why);
}

void AtomicFile::putInPlace() const {
#if defined(_WIN32)
    if (!MoveFileExW(systemPath(temporaryPath).c_str(), systemPath(writtenPath).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        throw cannotWrite(std::system_category().message(static_cast<int>(GetLastError())));
    }
#else
    if (std::rename(temporaryPath.c_str(), writtenPath.c_str()) != 0) {
        throw cannotWrite(systemError());
    }
#endif
}

AtomicFile::~AtomicFile() {
    discard();
}

void AtomicFile::write(std::string_view text) {
    if (writeFailure || stream == nullptr || text.empty()) {
        return;
    }
    if (std::fwrite(text.data(), 1, text.size(), stream) != text.size()) {
        writeFailure = cannotWrite(systemError());
    }
}

void AtomicFile::commit() {
    if (stream == nullptr) {
        throw cannotWrite("already closed");
    }
    if (!writeFailure &&
        (std::fflush(stream) != 0 || (!temporaryPath.empty() && !flushToDisk(stream)))) {
        writeFailure = cannotWrite(systemError());
    }
    if (std::fclose(stream) != 0 && !writeFailure) {
        writeFailure = cannotWrite(systemError());
    }
    stream = nullptr;
    try {
        if (writeFailure) {
            throw *writeFailure;
        }
        if (!temporaryPath.empty()) {
            putInPlace();
        }
    } catch (const Failure&) {
        std::error_code ignored;
        if (!temporaryPath.empty()) {
            std::filesystem::remove(systemPath(temporaryPath), ignored);
        }
        throw;
    }
}

void AtomicFile::discard() {
    if (stream != nullptr) {
        std::fclose(stream);
        stream = nullptr;
        std::error_code ignored;
        if (!temporaryPath.empty()) {
            std::filesystem::remove(systemPath(temporaryPath), ignored);
        }
    }
}

}  // namespace Quorvel::Tools
