#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ByteSource.h"

namespace Quorvel::Pipeline {

// Reads another source ahead, on a thread of its own, into a few chunks: the thread
// that parses the bytes no longer waits while the system copies them. For large files;
// a small one is read faster straight.
class ReadAhead : public Read::ByteSource {
  public:
    explicit ReadAhead(std::unique_ptr<Read::ByteSource> source);
    ~ReadAhead() override;
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Rethrows, in order, what the source threw.
    std::size_t read(char* destination, std::size_t capacity) override;
    std::uint64_t size() const override { return inner->size(); }
    bool reopenable() const override { return inner->reopenable(); }

    static constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
    static constexpr std::size_t kChunks = 3;

  private:
    struct Chunk {
        std::vector<char> bytes;
        std::size_t length = 0;  // bytes read into it; 0 at the end of the source
        std::size_t taken = 0;   // bytes handed on
    };

    void fillChunks();

    std::unique_ptr<Read::ByteSource> inner;
    std::vector<Chunk> chunks;
    std::size_t filled = 0;    // chunks filled so far (the next to fill is filled % kChunks)
    std::size_t consumed = 0;  // chunks used up
    bool finished = false;     // the source ended or failed after the last filled chunk
    bool stopping = false;
    std::exception_ptr failure;
    std::mutex lock;
    std::condition_variable changed;
    std::thread reader;
};

}  // namespace Quorvel::Pipeline
