#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace Quorvel::Summary {

// Bytes read front to back in chunks.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `capacity` bytes; 0 at the end. Throws InputError on a read error.
    virtual std::size_t read(char* destination, std::size_t capacity) = 0;
    // The size when known, else 0.
    virtual std::uint64_t size() const = 0;
    // How messages name it.
    virtual std::string name() const = 0;
};

// Bytes already in memory.
class MemorySource : public ByteSource {
  public:
    MemorySource(std::string_view bytes, std::string sourceName)
        : text(bytes), label(std::move(sourceName)) {}
    std::size_t read(char* destination, std::size_t capacity) override;
    std::uint64_t size() const override { return text.size(); }
    std::string name() const override { return label; }

  private:
    std::string_view text;
    std::size_t position = 0;
    std::string label;
};

// A file read front to back in chunks. Errors carry the system's words.
class InputFile : public ByteSource {
  public:
    // Throws InputError when the file cannot be opened or is a folder.
    explicit InputFile(const std::filesystem::path& file);
    ~InputFile() override;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    std::size_t read(char* destination, std::size_t capacity) override;
    // The size when opened, 0 when the file is not a regular one (a pipe).
    std::uint64_t size() const override { return fileSize; }
    std::string name() const override;
    const std::filesystem::path& path() const { return filePath; }

  private:
    std::filesystem::path filePath;
    std::FILE* stream = nullptr;
    std::uint64_t fileSize = 0;
};

}  // namespace Quorvel::Summary
