#include "SharedLogFile.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace Quorvel {

bool SharedLogFile::takeFacts(Platform::NativeFile file) {
    const std::optional<Platform::OpenFileFacts> facts = Platform::openFileFacts(file);
    if (!facts || !facts->regular) {
        return false;
    }
    fileSize = facts->size;
    fileIdentity = facts->identity;
    lastWriteTime = facts->lastWrite;
    return true;
}

#if defined(_WIN32)

std::optional<SharedLogFile> SharedLogFile::open(const std::filesystem::path& file) {
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    SharedLogFile opened;
    opened.handle = handle;
    if (!opened.takeFacts(handle)) {
        return std::nullopt;
    }
    return opened;
}

SharedLogFile::SharedLogFile(SharedLogFile&& other) noexcept
    : handle(other.handle),
      fileSize(other.fileSize),
      fileIdentity(other.fileIdentity),
      lastWriteTime(other.lastWriteTime) {
    other.handle = nullptr;
}

SharedLogFile::~SharedLogFile() {
    if (handle != nullptr) {
        CloseHandle(handle);
    }
}

bool SharedLogFile::read(std::uint64_t offset, char* destination, std::size_t length) const {
    while (length > 0) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        const auto chunk = static_cast<DWORD>(length < 0x40000000u ? length : 0x40000000u);
        DWORD count = 0;
        if (!ReadFile(handle, destination, chunk, &count, &at) || count == 0) {
            return false;
        }
        offset += count;
        destination += count;
        length -= count;
    }
    return true;
}

#else

std::optional<SharedLogFile> SharedLogFile::open(const std::filesystem::path& file) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer: forever, on the game's thread.
    // It changes nothing for a regular file, the only kind read here.
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return std::nullopt;
    }
    SharedLogFile opened;
    opened.descriptor = descriptor;
    if (!opened.takeFacts(descriptor)) {
        return std::nullopt;
    }
    return opened;
}

SharedLogFile::SharedLogFile(SharedLogFile&& other) noexcept
    : descriptor(other.descriptor),
      fileSize(other.fileSize),
      fileIdentity(other.fileIdentity),
      lastWriteTime(other.lastWriteTime) {
    other.descriptor = -1;
}

SharedLogFile::~SharedLogFile() {
    if (descriptor >= 0) {
        ::close(descriptor);
    }
}

bool SharedLogFile::read(std::uint64_t offset, char* destination, std::size_t length) const {
    while (length > 0) {
        const ssize_t count = ::pread(descriptor, destination, length, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return false;
        }
        offset += static_cast<std::uint64_t>(count);
        destination += count;
        length -= static_cast<std::size_t>(count);
    }
    return true;
}

#endif

}  // namespace Quorvel
