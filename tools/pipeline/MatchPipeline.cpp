#include "MatchPipeline.h"

#include <utility>

#include "MatchJoiner.h"

namespace Quorvel::Pipeline {

void MatchPipeline::Reading::run(const std::vector<Read::Input>& inputs) {
    try {
        MatchStream stream(inputs);
        MatchJoiner joiner(inputs);
        bytesTotal = stream.bytesTotal();
        MatchBatch batch;
        std::vector<ReadMatch> ready;
        for (bool more = true; more;) {
            std::optional<ReadMatch> next = stream.next();
            more = next.has_value();
            if (more) {
                joiner.add(std::move(*next), ready);
                bytesRead = stream.bytesRead();
            } else {
                joiner.finish(ready);
            }
            for (ReadMatch& match : ready) {
                batch.add(std::move(match));
            }
            ready.clear();
            const bool handOver = (!more || batch.full()) && !batch.matches.empty();
            if (handOver && !queue.push(std::exchange(batch, {}))) {
                break;
            }
        }
        outcomes = stream.outcomes();
        queue.close();
    } catch (...) {
        queue.close(std::current_exception());
    }
}

MatchPipeline::MatchPipeline(const std::vector<Read::Input>& inputs)
    : reading(std::make_unique<Reading>()) {
    reading->outcomes.resize(inputs.size());
    reader = std::thread([this, &inputs] { reading->run(inputs); });
}

MatchPipeline::~MatchPipeline() {
    if (reader.joinable()) {
        reading->queue.abandon();
        reader.join();
    }
}

std::optional<MatchBatch> MatchPipeline::next() {
    return reading->queue.pop();
}

std::vector<ReadOutcome> MatchPipeline::outcomes() {
    if (reader.joinable()) {
        reader.join();
    }
    return std::move(reading->outcomes);
}

}  // namespace Quorvel::Pipeline
