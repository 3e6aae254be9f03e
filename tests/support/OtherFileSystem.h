#pragma once

#if defined(__linux__)

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <system_error>

namespace QuorvelTest {

// A folder on another file system than `near` (in shared memory), removed with its
// contents: where a rename cannot go, so files are copied instead.
class FolderElsewhere {
  public:
    FolderElsewhere()
        : root("/dev/shm/quorvel-elsewhere-" + std::to_string(::getpid()) + "-" +
               std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())) {
        std::filesystem::create_directory(root);
    }
    ~FolderElsewhere() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    FolderElsewhere(const FolderElsewhere&) = delete;
    FolderElsewhere& operator=(const FolderElsewhere&) = delete;

    // Whether shared memory is there, and on another file system than `near`.
    static bool availableBeside(const std::filesystem::path& near) {
        struct stat shared {};
        struct stat here {};
        return ::stat("/dev/shm", &shared) == 0 && S_ISDIR(shared.st_mode) &&
               ::stat(near.c_str(), &here) == 0 && shared.st_dev != here.st_dev;
    }

    std::filesystem::path root;
};

}  // namespace QuorvelTest

#endif
