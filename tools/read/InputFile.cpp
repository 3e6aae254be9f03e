#include "InputFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "DisplayText.h"
#include "Failure.h"
#include "SystemPath.h"

namespace Quorvel::Read {

namespace {

using Tools::displayPath;
using Tools::Failure;
using Tools::FailureKind;

std::FILE* openForReading(const std::filesystem::path& file) {
#if defined(_WIN32)
    return _wfopen(Tools::systemPath(file).c_str(), L"rb");
#else
    return std::fopen(file.c_str(), "rb");
#endif
}

bool seekTo(std::FILE* stream, std::uint64_t offset) {
#if defined(_WIN32)
    return _fseeki64(stream, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(stream, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

// The size of an open file, the stream left at its start.
std::uint64_t sizeOf(std::FILE* stream) {
#if defined(_WIN32)
    const bool atEnd = _fseeki64(stream, 0, SEEK_END) == 0;
    const long long size = atEnd ? _ftelli64(stream) : 0;
#else
    const bool atEnd = fseeko(stream, 0, SEEK_END) == 0;
    const off_t size = atEnd ? ftello(stream) : 0;
#endif
    seekTo(stream, 0);
    return size > 0 ? static_cast<std::uint64_t>(size) : 0;
}

}  // namespace

InputFile::InputFile(const std::filesystem::path& file, std::uint64_t offset) : filePath(file) {
    std::error_code error;
    const auto status = Tools::fileStatus(file, error);
    if (std::filesystem::is_directory(status)) {
        throw Failure(FailureKind::Input,
                      displayPath(file) + ": is a folder, not a performance file");
    }
    stream = openForReading(file);
    if (stream == nullptr) {
        throw Failure(FailureKind::Input,
                      displayPath(file) + ": cannot be read: " + Tools::plainReasonOfErrno(errno));
    }
    if (std::filesystem::is_regular_file(status)) {
        regular = true;
        fileSize = sizeOf(stream);
    }
    position = offset;
    if (offset > 0 && (!regular || !seekTo(stream, offset))) {
        const std::string why = Tools::plainReasonOfErrno(errno);
        std::fclose(stream);
        throw Failure(FailureKind::Input,
                      displayPath(file) + ": cannot be read again where it was left: " + why);
    }
}

InputFile::~InputFile() {
    std::fclose(stream);
}

std::size_t InputFile::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::fread(destination, 1, capacity, stream);
    if (count < capacity && std::ferror(stream)) {
        throw Failure(FailureKind::Input,
                      displayPath(filePath) + ": read failed: " + Tools::plainReasonOfErrno(errno));
    }
    position += count;
    if (count == 0 && capacity > 0 && regular && position < fileSize) {
        throw Failure(FailureKind::Input,
                      displayPath(filePath) + ": changed while it was read: it ends at byte " +
                          std::to_string(position) + " of the " + std::to_string(fileSize) +
                          " it had, so the rows after that are not in this report");
    }
    return count;
}

std::size_t MemorySource::read(char* destination, std::size_t capacity) {
    const std::size_t count = std::min(capacity, text.size() - position);
    std::memcpy(destination, text.data() + position, count);
    position += count;
    return count;
}

}  // namespace Quorvel::Read
