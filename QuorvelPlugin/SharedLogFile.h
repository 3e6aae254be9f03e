#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

#include "FileIdentity.h"

namespace Quorvel {

using Platform::FileIdentity;

// A file opened for reading without any sharing restriction (the game keeps writing
// its log meanwhile), read by offset. What it reports of the file (size, identity,
// last write) is taken once, when it is opened. The handle is closed on destruction.
class SharedLogFile {
  public:
    // nullopt when the path cannot be opened or is not a regular file.
    static std::optional<SharedLogFile> open(const std::filesystem::path& file);

    SharedLogFile(SharedLogFile&& other) noexcept;
    SharedLogFile& operator=(SharedLogFile&&) = delete;
    SharedLogFile(const SharedLogFile&) = delete;
    SharedLogFile& operator=(const SharedLogFile&) = delete;
    ~SharedLogFile();

    std::uint64_t size() const { return fileSize; }
    FileIdentity identity() const { return fileIdentity; }
    // The last write, in the platform's finest unit (nanoseconds on Linux, 100 ns on
    // Windows); only ever compared with another reading of the same file.
    std::int64_t lastWrite() const { return lastWriteTime; }

    // Exactly `length` bytes at `offset`; false when they cannot all be read.
    bool read(std::uint64_t offset, char* destination, std::size_t length) const;

  private:
    SharedLogFile() = default;
    // Takes size, identity and last write of the file just opened; false unless it is a
    // regular file.
    bool takeFacts(Platform::NativeFile file);

#if defined(_WIN32)
    void* handle = nullptr;
#else
    int descriptor = -1;
#endif
    std::uint64_t fileSize = 0;
    FileIdentity fileIdentity;
    std::int64_t lastWriteTime = 0;
};

}  // namespace Quorvel
