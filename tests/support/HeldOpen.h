#pragma once

#if defined(_WIN32)

#include <windows.h>

#include <filesystem>

namespace QuorvelTest {

// The file open in another program for the duration of the scope, sharing only what
// `sharing` allows (0: nothing).
class HeldOpen {
  public:
    HeldOpen(const std::filesystem::path& file, DWORD sharing)
        : handle(CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, sharing, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() { release(); }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    bool held() const { return handle != INVALID_HANDLE_VALUE; }
    void release() {
        if (held()) {
            CloseHandle(handle);
            handle = INVALID_HANDLE_VALUE;
        }
    }

  private:
    HANDLE handle;
};

}  // namespace QuorvelTest

#endif
