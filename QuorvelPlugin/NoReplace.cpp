#include "NoReplace.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "SharedLogFile.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace Quorvel {

namespace {

constexpr std::size_t kCopyChunk = std::size_t{1} << 20;

#if defined(_WIN32)

using Handle = HANDLE;
const Handle kNoHandle = INVALID_HANDLE_VALUE;

Handle createNew(const std::filesystem::path& file, Placement& failure) {
    const Handle handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        failure = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Placement::NameTaken
                                                                              : Placement::Failed;
    }
    return handle;
}

bool writeAll(Handle handle, const char* data, std::size_t length) {
    while (length > 0) {
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(length, 0x40000000u));
        DWORD written = 0;
        if (!WriteFile(handle, data, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        data += written;
        length -= written;
    }
    return true;
}

bool flushAndClose(Handle handle) {
    const bool flushed = FlushFileBuffers(handle) != 0;
    return CloseHandle(handle) != 0 && flushed;
}

#else

using Handle = int;
constexpr Handle kNoHandle = -1;

Handle createNew(const std::filesystem::path& file, Placement& failure) {
    const Handle descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        failure = errno == EEXIST ? Placement::NameTaken : Placement::Failed;
    }
    return descriptor;
}

bool writeAll(Handle descriptor, const char* data, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(descriptor, data, length);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        data += written;
        length -= static_cast<std::size_t>(written);
    }
    return true;
}

bool flushAndClose(Handle descriptor) {
    const bool flushed = ::fsync(descriptor) == 0;
    return ::close(descriptor) == 0 && flushed;
}

#endif

bool copyContents(const SharedLogFile& source, Handle destination, char* buffer) {
    for (std::uint64_t at = 0; at < source.size();) {
        const auto length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kCopyChunk, source.size() - at));
        if (!source.read(at, buffer, length) || !writeAll(destination, buffer, length)) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace

#if defined(_WIN32)

Placement renameWithoutReplacing(const FileMove& move) {
    const auto& [from, to] = move;
    // Without MOVEFILE_REPLACE_EXISTING an existing target is an error, and without
    // MOVEFILE_COPY_ALLOWED a move between volumes is one too.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return Placement::Done;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? Placement::NameTaken
                                                                       : Placement::Failed;
}

#else

Placement renameWithoutReplacing(const FileMove& move) {
    const auto& [from, to] = move;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return Placement::Done;
    }
    if (errno == EEXIST) {
        return Placement::NameTaken;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return Placement::Failed;  // EXDEV between file systems, permissions...
    }
    // A file system without the no-replace rename: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? Placement::NameTaken : Placement::Failed;
    }
    if (::unlink(from.c_str()) != 0) {
        // Two names for one file: emptying `from` would empty the history too.
        ::unlink(to.c_str());
        return Placement::Failed;
    }
    return Placement::Done;
}

#endif

Placement copyWithoutReplacing(const FileMove& move) {
    const auto& [from, to] = move;
    const std::optional<SharedLogFile> source = SharedLogFile::open(from);
    if (!source) {
        return Placement::Failed;
    }
    // Allocated first: nothing between creating the copy and closing it throws.
    const auto buffer = std::make_unique<char[]>(kCopyChunk);
    Placement failure = Placement::Failed;
    const Handle destination = createNew(to, failure);
    if (destination == kNoHandle) {
        return failure;
    }
    const bool copied = copyContents(*source, destination, buffer.get());
    if (flushAndClose(destination) && copied) {
        return Placement::Done;
    }
    std::error_code ignored;
    std::filesystem::remove(to, ignored);
    return Placement::Failed;
}

}  // namespace Quorvel
