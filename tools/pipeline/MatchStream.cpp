#include "MatchStream.h"

#include <algorithm>

#include "MatchSplitter.h"
#include "PerformanceRows.h"
#include "ReadAhead.h"

namespace Quorvel::Pipeline {

namespace {

// Files from this size on are read ahead on a thread of their own.
constexpr std::uint64_t kReadAheadFrom = std::uint64_t{8} << 20;

// An input's bytes from `offset` on: a file's read ahead when many are left (bytes in
// memory are there already).
std::unique_ptr<Read::ByteSource> bytesOf(const Read::Input& input, std::uint64_t offset) {
    std::unique_ptr<Read::ByteSource> bytes = input.open(offset);
    const bool inMemory = input.path().empty();
    if (inMemory || bytes->size() - std::min(offset, bytes->size()) < kReadAheadFrom) {
        return bytes;
    }
    return std::make_unique<ReadAhead>(std::move(bytes));
}

}  // namespace

// One input being read: its bytes, its rows and the match they are split into.
class OpenInput {
  public:
    // From the start (its header checked), or from the first row of a match read before.
    OpenInput(const Read::Input& input, std::optional<Read::ResumeAt> at)
        : bytes(bytesOf(input, at ? at->offset : 0)),
          rows(at ? Read::PerformanceRows(*bytes, input.name(), *at)
                  : Read::PerformanceRows(*bytes, input.name())),
          startedAt(at ? at->offset : 0) {}

    // The place of the first row from here on, which opens a match; nothing at the end.
    std::optional<Read::ResumeAt> start(std::chrono::sys_seconds& time) {
        Read::Row row;
        while (rows.next(row)) {
            splitter.add(row);  // the first row: no match before it
            time = row.second.time;
            return Read::ResumeAt{row.offset, row.line};
        }
        return std::nullopt;
    }

    // Reads the open match to its end into `match`; the place and time of the row that
    // opens the next one, nothing at the end of the input.
    std::optional<Read::ResumeAt> readMatch(MatchRows& match, std::chrono::sys_seconds& time) {
        Read::Row row;
        while (rows.next(row)) {
            if (std::optional<MatchRows> finished = splitter.add(row)) {
                match = std::move(*finished);
                time = row.second.time;
                return Read::ResumeAt{row.offset, row.line};
            }
        }
        if (std::optional<MatchRows> last = splitter.finish()) {
            match = std::move(*last);
        }
        return std::nullopt;
    }

    const Read::SkippedRows& skipped() const { return rows.skipped(); }
    std::uint64_t bytesRead() const { return rows.position() - startedAt; }
    std::uint64_t size() const { return bytes->size(); }
    bool reopenable() const { return bytes->reopenable(); }

  private:
    std::unique_ptr<Read::ByteSource> bytes;
    Read::PerformanceRows rows;
    Matches::MatchSplitter splitter;
    std::uint64_t startedAt;
};

MatchStream::MatchStream(const std::vector<Read::Input>& inputs)
    : sources(inputs), results(inputs.size()), opened(inputs.size()), resumeAt(inputs.size()) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        try {
            OpenInput& input = open(i);
            totalSize += input.size();
            std::chrono::sys_seconds time{};
            const auto first = input.start(time);
            wait(i, first ? std::optional<Waiting>({time, i}) : std::nullopt);
            if (first) {
                resumeAt[i] = *first;
            }
        } catch (const Tools::Failure& failure) {
            refuse(i, failure);
        }
    }
}

MatchStream::~MatchStream() = default;

std::uint64_t MatchStream::bytesRead() const {
    std::uint64_t total = readSoFar;
    for (std::size_t input : recentlyUsed) {
        total += opened[input]->bytesRead();
    }
    return total;
}

OpenInput& MatchStream::open(std::size_t input) {
    const auto used = std::find(recentlyUsed.begin(), recentlyUsed.end(), input);
    if (used != recentlyUsed.end()) {
        recentlyUsed.erase(used);
        recentlyUsed.push_back(input);
        return *opened[input];
    }
    // Room first: the input waiting longest goes, unless it cannot be opened again.
    for (auto it = recentlyUsed.begin();
         recentlyUsed.size() >= kOpenInputs && it != recentlyUsed.end();) {
        if (opened[*it]->reopenable()) {
            const std::size_t evicted = *it;
            it = recentlyUsed.erase(it);
            results[evicted].skipped.append(opened[evicted]->skipped());
            readSoFar += opened[evicted]->bytesRead();
            opened[evicted].reset();
        } else {
            ++it;
        }
    }
    const bool again = results[input].rows > 0 || resumeAt[input].line > 0;
    opened[input] = std::make_unique<OpenInput>(
        sources[input], again ? std::optional<Read::ResumeAt>(resumeAt[input]) : std::nullopt);
    recentlyUsed.push_back(input);
    return *opened[input];
}

void MatchStream::close(std::size_t input) {
    if (!opened[input]) {
        return;
    }
    results[input].skipped.append(opened[input]->skipped());
    readSoFar += opened[input]->bytesRead();
    opened[input].reset();
    recentlyUsed.erase(std::find(recentlyUsed.begin(), recentlyUsed.end(), input));
}

void MatchStream::wait(std::size_t input, std::optional<Waiting> place) {
    if (place) {
        waiting.push(*place);
    } else {
        close(input);
    }
}

void MatchStream::refuse(std::size_t input, const Tools::Failure& failure) {
    results[input].refused = failure;
    if (opened[input]) {
        close(input);
    }
}

std::optional<ReadMatch> MatchStream::next() {
    while (!waiting.empty()) {
        const std::size_t i = waiting.top().input;
        waiting.pop();
        try {
            const bool reopened = !opened[i];
            OpenInput& input = open(i);
            std::chrono::sys_seconds time{};
            if (reopened && !input.start(time)) {
                close(i);  // the file was cut since: nothing more to read
                continue;
            }
            ReadMatch match{i, {}};
            const auto following = input.readMatch(match.rows, time);
            results[i].rows += match.rows.seconds.size();
            if (following) {
                resumeAt[i] = *following;
            }
            wait(i, following ? std::optional<Waiting>({time, i}) : std::nullopt);
            return match;
        } catch (const Tools::Failure& failure) {
            refuse(i, failure);
        }
    }
    return std::nullopt;
}

}  // namespace Quorvel::Pipeline
