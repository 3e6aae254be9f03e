#include "InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "DisplayText.h"
#include "InputError.h"

namespace Quorvel::Summary {

namespace {

std::FILE* openForReading(const std::filesystem::path& file) {
#if defined(_WIN32)
    return _wfopen(file.c_str(), L"rb");
#else
    return std::fopen(file.c_str(), "rb");
#endif
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& file) : filePath(file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (std::filesystem::is_directory(status)) {
        throw InputError(displayPath(file) + ": is a folder, not a performance file");
    }
    stream = openForReading(file);
    if (stream == nullptr) {
        throw InputError(displayPath(file) + ": cannot be read: " + std::strerror(errno));
    }
    if (std::filesystem::is_regular_file(status)) {
        fileSize = std::filesystem::file_size(file, error);
    }
}

InputFile::~InputFile() {
    std::fclose(stream);
}

std::size_t MemorySource::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::min(capacity, text.size() - position);
    std::memcpy(destination, text.data() + position, count);
    position += count;
    return count;
}

std::string InputFile::name() const {
    return displayPath(filePath);
}

std::size_t InputFile::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::fread(destination, 1, capacity, stream);
    if (count < capacity && std::ferror(stream)) {
        throw InputError(displayPath(filePath) + ": read failed: " + std::strerror(errno));
    }
    return count;
}

}  // namespace Quorvel::Summary
