#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Quorvel::Read {

// Bytes read front to back in chunks.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `capacity` bytes; 0 at the end. Throws a Failure (Input) on a read error.
    virtual std::size_t read(char* destination, std::size_t capacity) = 0;
    // The size when known, else 0.
    virtual std::uint64_t size() const = 0;
    // Whether it could be opened again at an offset (a file can, a pipe cannot).
    virtual bool reopenable() const = 0;
};

// Bytes already in memory; `bytes` must outlive the source.
class MemorySource : public ByteSource {
  public:
    explicit MemorySource(std::string_view bytes, std::size_t offset = 0)
        : text(bytes), position(std::min(offset, bytes.size())) {}
    std::size_t read(char* destination, std::size_t capacity) override;
    std::uint64_t size() const override { return text.size(); }
    bool reopenable() const override { return true; }

  private:
    std::string_view text;
    std::size_t position = 0;
};

}  // namespace Quorvel::Read
