#include "FileIdentity.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace Quorvel::Platform {

#if defined(_WIN32)

std::optional<OpenFileFacts> openFileFacts(NativeFile file) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file, &info)) {
        return std::nullopt;
    }
    OpenFileFacts facts;
    facts.regular = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                    GetFileType(file) == FILE_TYPE_DISK;
    facts.size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    facts.identity = {info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
    facts.lastWrite =
        static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime);
    return facts;
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    // No access asked for: the attributes only, whatever sharing another program allows.
    HANDLE handle =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::optional<OpenFileFacts> facts = openFileFacts(handle);
    CloseHandle(handle);
    return facts ? std::optional(facts->identity) : std::nullopt;
}

#else

namespace {

OpenFileFacts factsOf(const struct stat& status) {
    OpenFileFacts facts;
    facts.regular = S_ISREG(status.st_mode);
    facts.size = static_cast<std::uint64_t>(status.st_size);
    facts.identity = {static_cast<std::uint64_t>(status.st_dev),
                      static_cast<std::uint64_t>(status.st_ino)};
    facts.lastWrite = static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                      static_cast<std::int64_t>(status.st_mtim.tv_nsec);
    return facts;
}

}  // namespace

std::optional<OpenFileFacts> openFileFacts(NativeFile file) {
    struct stat status {};
    if (::fstat(file, &status) != 0) {
        return std::nullopt;
    }
    return factsOf(status);
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return factsOf(status).identity;
}

#endif

}  // namespace Quorvel::Platform
