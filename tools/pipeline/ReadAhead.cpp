#include "ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace Quorvel::Pipeline {

ReadAhead::ReadAhead(std::unique_ptr<Read::ByteSource> source)
    : inner(std::move(source)), chunks(kChunks) {
    for (Chunk& chunk : chunks) {
        chunk.bytes.resize(kChunkBytes);
    }
    reader = std::thread([this] { fillChunks(); });
}

ReadAhead::~ReadAhead() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    reader.join();
}

// The thread's work: fills each free chunk in turn until the source ends or fails.
void ReadAhead::fillChunks() {
    for (;;) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [this] { return stopping || filled - consumed < kChunks; });
        if (stopping) {
            return;
        }
        Chunk& chunk = chunks[filled % kChunks];
        guard.unlock();
        std::size_t length = 0;
        std::exception_ptr error;
        try {
            length = inner->read(chunk.bytes.data(), chunk.bytes.size());
        } catch (...) {
            error = std::current_exception();
        }
        guard.lock();
        chunk.length = length;
        chunk.taken = 0;
        failure = error;
        finished = length == 0;
        ++filled;
        changed.notify_all();
        if (finished) {
            return;
        }
    }
}

std::size_t ReadAhead::read(char* destination, std::size_t capacity) {
    std::size_t copied = 0;
    while (copied < capacity) {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait(guard, [this] { return filled > consumed; });
        Chunk& chunk = chunks[consumed % kChunks];
        if (chunk.length == 0) {
            if (failure && copied == 0) {
                std::rethrow_exception(failure);
            }
            return copied;  // the end (a failure is thrown at the next read)
        }
        guard.unlock();
        const std::size_t count = std::min(capacity - copied, chunk.length - chunk.taken);
        std::memcpy(destination + copied, chunk.bytes.data() + chunk.taken, count);
        copied += count;
        chunk.taken += count;
        if (chunk.taken == chunk.length) {
            guard.lock();
            ++consumed;
            changed.notify_all();
        }
    }
    return copied;
}

}  // namespace Quorvel::Pipeline
