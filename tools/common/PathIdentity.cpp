#include "PathIdentity.h"

#include "SystemPath.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace Quorvel::Tools {

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& file) {
    return Platform::fileIdentity(systemPath(file));
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    const auto x = fileIdentity(a);
    const auto y = fileIdentity(b);
    if (x && y) {
        return *x == *y;
    }
    // Made absolute first: a relative path no part of which exists yet ("same.out") is
    // otherwise left relative, and would differ from its other spellings ("./same.out").
    std::error_code errorA, errorB;
    const auto canonicalA =
        std::filesystem::weakly_canonical(std::filesystem::absolute(a, errorA), errorA);
    const auto canonicalB =
        std::filesystem::weakly_canonical(std::filesystem::absolute(b, errorB), errorB);
    if (errorA || errorB) {
        return false;
    }
#if defined(_WIN32)
    // Windows file names are the same in any case.
    const std::wstring& nameA = canonicalA.native();
    const std::wstring& nameB = canonicalB.native();
    return CompareStringOrdinal(nameA.c_str(), static_cast<int>(nameA.size()), nameB.c_str(),
                                static_cast<int>(nameB.size()), TRUE) == CSTR_EQUAL;
#else
    return canonicalA == canonicalB;
#endif
}

}  // namespace Quorvel::Tools
