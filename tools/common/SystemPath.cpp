#include "SystemPath.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace Quorvel::Tools {

#if defined(_WIN32)

namespace {

constexpr std::size_t kLongestShortForm = 247;

std::error_code lastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

// A handle on what `path` leads to, for its attributes only.
HANDLE openForAttributes(const std::filesystem::path& path) {
    return CreateFileW(systemPath(path).c_str(), 0,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

std::filesystem::file_type typeOf(HANDLE handle, std::error_code& error) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information)) {
        error = lastError();
        return std::filesystem::file_type::unknown;
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::filesystem::file_type::directory;
    }
    return GetFileType(handle) == FILE_TYPE_DISK ? std::filesystem::file_type::regular
                                                 : std::filesystem::file_type::unknown;
}

}  // namespace

std::filesystem::path systemPath(const std::filesystem::path& path) {
    const std::wstring& given = path.native();
    if (given.size() <= kLongestShortForm || given.rfind(L"\\\\?\\", 0) == 0) {
        return path;
    }
    std::error_code error;
    const std::wstring full =
        std::filesystem::absolute(path, error).lexically_normal().make_preferred().native();
    if (error) {
        return path;
    }
    if (full.rfind(L"\\\\", 0) == 0) {
        return L"\\\\?\\UNC\\" + full.substr(2);
    }
    return L"\\\\?\\" + full;
}

std::filesystem::file_status fileStatus(const std::filesystem::path& path, std::error_code& error) {
    error.clear();
    const HANDLE handle = openForAttributes(path);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            error = std::make_error_code(std::errc::no_such_file_or_directory);
            return std::filesystem::file_status(std::filesystem::file_type::not_found);
        }
        error = code == ERROR_CANT_RESOLVE_FILENAME
                    ? std::make_error_code(std::errc::too_many_symbolic_link_levels)
                    : std::error_code(static_cast<int>(code), std::system_category());
        return std::filesystem::file_status(std::filesystem::file_type::none);
    }
    const std::filesystem::file_type type = typeOf(handle, error);
    CloseHandle(handle);
    return std::filesystem::file_status(error ? std::filesystem::file_type::none : type);
}

std::vector<std::filesystem::path> folderEntryNames(const std::filesystem::path& folder,
                                                    std::error_code& error) {
    error.clear();
    std::vector<std::filesystem::path> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileExW((systemPath(folder) / L"*").c_str(), FindExInfoBasic,
                                           &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        error = lastError();
        return names;
    }
    do {
        const std::wstring_view name = found.cFileName;
        if (name != L"." && name != L"..") {
            names.emplace_back(name);
        }
    } while (FindNextFileW(search, &found));
    if (GetLastError() != ERROR_NO_MORE_FILES) {
        error = lastError();
    }
    FindClose(search);
    return names;
}

std::optional<SizeAndTime> sizeAndTime(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(systemPath(file).c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return SizeAndTime{
        (std::uintmax_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
        static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                  data.ftLastWriteTime.dwLowDateTime)};
}

void createFolders(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(fileStatus(folder, error))) {
        return;
    }
    const std::filesystem::path above = folder.parent_path();
    if (!above.empty() && above != folder && above.has_relative_path()) {
        createFolders(above);
    }
    if (!CreateDirectoryW(systemPath(folder).c_str(), nullptr)) {
        const std::error_code why = lastError();
        if (why.value() != ERROR_ALREADY_EXISTS ||
            !std::filesystem::is_directory(fileStatus(folder, error))) {
            throw std::filesystem::filesystem_error("cannot create the folder", folder, why);
        }
    }
}

#else

std::filesystem::path systemPath(const std::filesystem::path& path) {
    return path;
}

std::filesystem::file_status fileStatus(const std::filesystem::path& path, std::error_code& error) {
    return std::filesystem::status(path, error);
}

std::vector<std::filesystem::path> folderEntryNames(const std::filesystem::path& folder,
                                                    std::error_code& error) {
    std::vector<std::filesystem::path> names;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        names.push_back(it->path().filename());
    }
    return names;
}

std::optional<SizeAndTime> sizeAndTime(const std::filesystem::path& file) {
    std::error_code sizeError, timeError;
    const std::uintmax_t size = std::filesystem::file_size(file, sizeError);
    const auto time = std::filesystem::last_write_time(file, timeError);
    if (sizeError || timeError) {
        return std::nullopt;
    }
    return SizeAndTime{size, static_cast<std::int64_t>(time.time_since_epoch().count())};
}

void createFolders(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
}

#endif

}  // namespace Quorvel::Tools
