#include "SessionEnvironment.h"

#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>

#if defined(_WIN32)
#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include <cstring>
#else
#include <dlfcn.h>
#include <time.h>

#include <cstdlib>
#endif

namespace Quorvel::Sim {

namespace {

struct Session {
    std::mutex lock;
    bool owned = false;  // a SessionEnvironment lives
    bool clockActive = false;
    std::int64_t startSeconds = 0;
    std::function<double()> virtualSeconds;
    std::filesystem::path documents;
};

Session& session() {
    static Session instance;
    return instance;
}

// A time since the epoch, as the system's clocks give it.
struct EpochTime {
    std::int64_t seconds = 0;
    std::int64_t nanoseconds = 0;  // within the second
};

// The session's time; none when the real clock is to be read.
std::optional<EpochTime> sessionTime() {
    Session& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.clockActive) {
        return std::nullopt;
    }
    const double elapsed = s.virtualSeconds();
    const double whole = std::floor(elapsed);
    return EpochTime{s.startSeconds + static_cast<std::int64_t>(whole),
                     static_cast<std::int64_t>((elapsed - whole) * 1e9)};
}

#if defined(_WIN32)

using GetSystemTimeFunction = void(WINAPI*)(LPFILETIME);
using GetProcAddressFunction = FARPROC(WINAPI*)(HMODULE, LPCSTR);
using SHGetFolderPathWFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);

GetSystemTimeFunction realGetSystemTimeAsFileTime = nullptr;
GetProcAddressFunction realGetProcAddress = nullptr;
SHGetFolderPathWFunction realSHGetFolderPathW = nullptr;

void WINAPI sessionGetSystemTimeAsFileTime(LPFILETIME time) {
    const std::optional<EpochTime> now = sessionTime();
    if (!now) {
        realGetSystemTimeAsFileTime(time);
        return;
    }
    // 100-nanosecond intervals since 1601-01-01.
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    const auto ticks = static_cast<std::uint64_t>(
        (now->seconds + kSecondsFrom1601To1970) * 10'000'000 + now->nanoseconds / 100);
    time->dwLowDateTime = static_cast<DWORD>(ticks);
    time->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
}

FARPROC WINAPI sessionGetProcAddress(HMODULE module, LPCSTR name) {
    // A name, not an ordinal, asking for the precise clock: the session's answers.
    if (reinterpret_cast<std::uintptr_t>(name) > 0xFFFF &&
        std::strcmp(name, "GetSystemTimePreciseAsFileTime") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&sessionGetSystemTimeAsFileTime));
    }
    return realGetProcAddress(module, name);
}

HRESULT WINAPI sessionSHGetFolderPathW(HWND window, int folder, HANDLE token, DWORD flags,
                                       LPWSTR path) {
    Session& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    if ((folder & 0xFF) == CSIDL_PERSONAL && !s.documents.empty()) {
        // Never the real user's folder while a session runs (the simulator refuses a
        // folder too long for this buffer before it starts).
        if (s.documents.native().size() >= MAX_PATH) {
            return E_FAIL;
        }
        std::wcscpy(path, s.documents.c_str());
        return S_OK;
    }
    return realSHGetFolderPathW(window, folder, token, flags, path);
}

// Points the module's import of `function` from `library` at `replacement`; returns
// what it pointed at before, or null when the module does not import it.
void* redirectImport(HMODULE module, const char* library, const char* function, void* replacement) {
    auto* base = reinterpret_cast<std::uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* descriptor =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (_stricmp(reinterpret_cast<const char*>(base + descriptor->Name), library) != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD protection = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                           &protection);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

struct Redirect {
    const char* library;
    const char* function;
    void* replacement;
    void** original;
};

const Redirect kRedirects[] = {
    {"kernel32.dll", "GetSystemTimeAsFileTime",
     reinterpret_cast<void*>(&sessionGetSystemTimeAsFileTime),
     reinterpret_cast<void**>(&realGetSystemTimeAsFileTime)},
    {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&sessionGetProcAddress),
     reinterpret_cast<void**>(&realGetProcAddress)},
    {"shell32.dll", "SHGetFolderPathW", reinterpret_cast<void*>(&sessionSHGetFolderPathW),
     reinterpret_cast<void**>(&realSHGetFolderPathW)},
};

#endif

}  // namespace

SessionEnvironment::SessionEnvironment(const Tarvik::Loader::PluginModule& module,
                                       const std::filesystem::path& documentsFolder,
                                       std::optional<std::chrono::sys_seconds> start,
                                       std::function<double()> virtualSeconds)
    : moduleHandle(module.nativeHandle()) {
    {
        Session& s = session();
        std::lock_guard<std::mutex> guard(s.lock);
        if (s.owned) {
            throw std::logic_error("a session environment is already in place");
        }
        s.owned = true;
        s.clockActive = start.has_value();
        s.startSeconds = start ? start->time_since_epoch().count() : 0;
        s.virtualSeconds = std::move(virtualSeconds);
        s.documents = documentsFolder;
    }
#if defined(_WIN32)
    for (const Redirect& redirect : kRedirects) {
        void* previous = redirectImport(static_cast<HMODULE>(moduleHandle), redirect.library,
                                        redirect.function, redirect.replacement);
        if (previous != nullptr) {
            *redirect.original = previous;
        }
    }
#else
    if (const char* previous = std::getenv("XDG_DOCUMENTS_DIR")) {
        previousDocumentsVariable = previous;
    }
    setenv("XDG_DOCUMENTS_DIR", documentsFolder.c_str(), 1);
#endif
}

SessionEnvironment::~SessionEnvironment() {
#if defined(_WIN32)
    for (const Redirect& redirect : kRedirects) {
        if (*redirect.original != nullptr) {
            redirectImport(static_cast<HMODULE>(moduleHandle), redirect.library, redirect.function,
                           *redirect.original);
        }
    }
#else
    if (previousDocumentsVariable) {
        setenv("XDG_DOCUMENTS_DIR", previousDocumentsVariable->c_str(), 1);
    } else {
        unsetenv("XDG_DOCUMENTS_DIR");
    }
#endif
    Session& s = session();
    std::lock_guard<std::mutex> guard(s.lock);
    s.clockActive = false;
    s.virtualSeconds = nullptr;
    s.documents.clear();
    s.owned = false;
}

}  // namespace Quorvel::Sim

#if defined(__linux__)
// The program's own clock_gettime, exported (the build hides symbols by default): the
// dynamic linker binds every loaded library's calls to it (the program comes first in
// the lookup order), the C++ library's system_clock among them. Other clocks, and
// times outside a session, are the C library's.
extern "C" __attribute__((visibility("default"))) int clock_gettime(clockid_t clock,
                                                                    struct timespec* time) {
    if (clock == CLOCK_REALTIME) {
        if (const auto now = Quorvel::Sim::sessionTime()) {
            time->tv_sec = static_cast<time_t>(now->seconds);
            time->tv_nsec = static_cast<long>(now->nanoseconds);
            return 0;
        }
    }
    using ClockGettime = int (*)(clockid_t, struct timespec*);
    static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real(clock, time);
}
#endif
