#pragma once

#include <cstdio>
#include <filesystem>

#include "ByteSource.h"

namespace Quorvel::Read {

// A file read front to back in chunks. Failures name the file and carry the system's
// words. A regular file that ends before the size it had when opened was cut while it was
// read: that is a failure too, since rows were lost to it.
class InputFile : public ByteSource {
  public:
    // Throws a Failure (Input) when the file cannot be opened or is a folder. A regular
    // file is read from byte `offset` on.
    explicit InputFile(const std::filesystem::path& file, std::uint64_t offset = 0);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::size_t read(char* destination, std::size_t capacity) override;
    // The size when opened, 0 when the file is not a regular one (a pipe).
    std::uint64_t size() const override { return fileSize; }
    bool reopenable() const override { return regular; }

  private:
    std::filesystem::path filePath;
    std::FILE* stream = nullptr;
    std::uint64_t fileSize = 0;
    std::uint64_t position = 0;  // of the next byte read
    bool regular = false;
};

}  // namespace Quorvel::Read
