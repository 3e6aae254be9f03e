#include "MatchQueue.h"

#include <utility>

namespace Quorvel::Pipeline {

bool MatchQueue::push(MatchBatch batch) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return batches.size() < kCapacity || abandoned; });
    if (abandoned) {
        return false;
    }
    batches.push_back(std::move(batch));
    changed.notify_all();
    return true;
}

void MatchQueue::close(std::exception_ptr failure) {
    std::lock_guard<std::mutex> guard(lock);
    closed = true;
    readFailure = std::move(failure);
    changed.notify_all();
}

std::optional<MatchBatch> MatchQueue::pop() {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [this] { return !batches.empty() || closed; });
    if (batches.empty()) {
        if (readFailure) {
            std::rethrow_exception(readFailure);
        }
        return std::nullopt;
    }
    MatchBatch next = std::move(batches.front());
    batches.pop_front();
    changed.notify_all();
    return next;
}

void MatchQueue::abandon() {
    std::lock_guard<std::mutex> guard(lock);
    abandoned = true;
    batches.clear();
    changed.notify_all();
}

}  // namespace Quorvel::Pipeline
