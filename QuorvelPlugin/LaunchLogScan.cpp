#include "LaunchLogScan.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace Quorvel {

namespace {

constexpr std::string_view kOpening = "GameURL=\"";
constexpr std::size_t kBeforeQuote = kOpening.size() - 1;  // "GameURL=" precedes the quote

// A quote at `quote` opens an entry when "GameURL=" stands right before it.
bool opensEntry(const char* quote) {
    return std::memcmp(quote - kBeforeQuote, kOpening.data(), kBeforeQuote) == 0;
}

const char* findByte(const char* first, const char* last, char byte) {
    if (first >= last) {
        return nullptr;
    }
    return static_cast<const char*>(
        std::memchr(first, byte, static_cast<std::size_t>(last - first)));
}

// The last line feed in [first, last), or null.
const char* findLastLineFeed(const char* first, const char* last) {
    for (const char* p = last; p != first;) {
        if (*--p == '\n') {
            return p;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<std::string_view> firstEntryInLine(std::string_view line) {
    // The leftmost GameURL=" decides the line: a later one's own quote would close
    // the leftmost one's value, so if the leftmost has no closing quote none has.
    const std::size_t opening = line.find(kOpening);
    if (opening == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t valueStart = opening + kOpening.size();
    const std::size_t closing = line.find('"', valueStart);
    if (closing == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(valueStart, closing - valueStart);
}

// Walking backward, only quotes and line feeds matter. A line holds an entry when
// one of its quotes opens an entry and another quote follows it in the line; its
// first entry is the leftmost such opening quote, its value runs to the next quote.
RegionScan scanRegionBackward(const ReadBytes& read, std::uint64_t begin, std::uint64_t end,
                              std::size_t blockSize) {
    RegionScan result;
    result.lastLineStart = begin;
    bool lastLineFeedSeen = false;
    std::optional<std::uint64_t> nextQuote;  // nearest quote after the cursor, same line
    std::optional<std::uint64_t> opening;    // leftmost opening quote so far, this line
    std::uint64_t closing = 0;               // the quote that closes `opening`'s value

    std::vector<char> buffer(blockSize + kBeforeQuote);
    std::vector<std::uint64_t> quotes;

    // Returns true when the line just left behind holds an entry, which ends the walk.
    auto crossLineFeed = [&](std::uint64_t lineFeed) {
        if (!lastLineFeedSeen) {
            lastLineFeedSeen = true;
            result.lastLineStart = lineFeed + 1;
        }
        nextQuote.reset();
        return opening.has_value();
    };

    std::uint64_t blockEnd = end;
    bool finished = false;
    while (blockEnd > begin && !finished) {
        const std::uint64_t blockBegin =
            blockEnd - std::min<std::uint64_t>(blockSize, blockEnd - begin);
        const std::uint64_t readBegin =
            blockBegin - std::min<std::uint64_t>(kBeforeQuote, blockBegin - begin);
        const auto readLength = static_cast<std::size_t>(blockEnd - readBegin);
        if (!read(readBegin, buffer.data(), readLength)) {
            result.readFailed = true;
            return result;
        }
        const char* base = buffer.data() - static_cast<std::ptrdiff_t>(readBegin);  // base[offset]
        const char* first = base + blockBegin;
        const char* last = base + blockEnd;

        quotes.clear();
        for (const char* q = findByte(first, last, '"'); q != nullptr;
             q = findByte(q + 1, last, '"')) {
            quotes.push_back(static_cast<std::uint64_t>(q - base));
        }

        // Line feeds matter only where state would change: a pending quote or entry
        // to cut off, or the region's last line start still unknown.
        auto lineFeedBetween = [&](std::uint64_t from, std::uint64_t to) -> bool {
            if (!lastLineFeedSeen) {
                const char* lineFeed = findLastLineFeed(base + from, base + to);
                return lineFeed != nullptr &&
                       crossLineFeed(static_cast<std::uint64_t>(lineFeed - base));
            }
            if (!nextQuote && !opening) {
                return false;
            }
            const char* lineFeed = findByte(base + from, base + to, '\n');
            return lineFeed != nullptr &&
                   crossLineFeed(static_cast<std::uint64_t>(lineFeed - base));
        };

        std::uint64_t cursor = blockEnd;
        for (auto it = quotes.rbegin(); it != quotes.rend() && !finished; ++it) {
            const std::uint64_t quote = *it;
            if (lineFeedBetween(quote + 1, cursor)) {
                finished = true;
                break;
            }
            if (nextQuote && quote >= begin + kBeforeQuote && opensEntry(base + quote)) {
                opening = quote;
                closing = *nextQuote;
            }
            nextQuote = quote;
            cursor = quote;
        }
        if (!finished && lineFeedBetween(blockBegin, cursor)) {
            finished = true;
        }
        blockEnd = blockBegin;
    }

    if (opening) {
        std::string value(static_cast<std::size_t>(closing - *opening - 1), '\0');
        if (!value.empty() && !read(*opening + 1, value.data(), value.size())) {
            result.readFailed = true;
            return result;
        }
        result.lastValue = std::move(value);
        result.lastValueOffset = *opening + 1;
    }
    return result;
}

LaunchLogScanner::LaunchLogScanner(std::size_t bytesPerBlock) : blockSize(bytesPerBlock) {}

void LaunchLogScanner::forget() {
    knownFile.clear();
    knownSize = 0;
    knownHead.clear();
    knownTail.clear();
    lastLineStart = 0;
    entryInFile.reset();
    entryBeforeLastLineKnown = true;
    entryBeforeLastLine.reset();
}

std::optional<std::string> LaunchLogScanner::lastEntry(const std::filesystem::path& logFile) {
    // Binary mode: line ends are found by their line feed, and a CR before it can
    // never be part of a value (the value must close with a quote on the line).
    std::ifstream in(logFile, std::ios::in | std::ios::binary);
    if (!in.is_open()) {
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff endOffset = in.tellg();
    if (endOffset < 0) {
        return std::nullopt;
    }
    const auto size = static_cast<std::uint64_t>(endOffset);

    ReadBytes read = [&in](std::uint64_t offset, char* destination, std::size_t length) {
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(destination, static_cast<std::streamsize>(length));
        return in.good() || (in.eof() && static_cast<std::size_t>(in.gcount()) == length);
    };
    auto readString = [&read](std::uint64_t offset,
                              std::size_t length) -> std::optional<std::string> {
        std::string bytes(length, '\0');
        if (length != 0 && !read(offset, bytes.data(), length)) {
            return std::nullopt;
        }
        return bytes;
    };

    constexpr std::size_t kFingerprint = 64;
    bool continues = logFile == knownFile && size >= knownSize;
    if (continues) {
        const auto head = readString(0, knownHead.size());
        const auto tail = readString(knownSize - knownTail.size(), knownTail.size());
        continues = head == knownHead && tail == knownTail;
    }
    if (!continues) {
        forget();
    } else if (size == knownSize) {
        return entryInFile;
    }

    std::uint64_t from = lastLineStart;
    RegionScan scan = scanRegionBackward(read, from, size, blockSize);
    if (!scan.readFailed && !scan.lastValue && !entryBeforeLastLineKnown) {
        // The earlier pass stopped in a line that no longer holds an entry, which only
        // a rewritten file can do; read it all again.
        forget();
        from = 0;
        scan = scanRegionBackward(read, from, size, blockSize);
    }
    if (scan.readFailed) {
        forget();
        return std::nullopt;
    }

    if (scan.lastValue) {
        entryInFile = std::move(scan.lastValue);
        // A pass that found its entry in the last line stopped there, so it does not
        // know what the lines before hold; a pass that ever needs that starts afresh.
        entryBeforeLastLineKnown = scan.lastValueOffset < scan.lastLineStart;
        entryBeforeLastLine = entryBeforeLastLineKnown ? entryInFile : std::nullopt;
    } else {
        entryInFile = entryBeforeLastLine;
    }
    lastLineStart = scan.lastLineStart;

    knownFile = logFile;
    knownSize = size;
    const std::size_t fingerprint =
        static_cast<std::size_t>(std::min<std::uint64_t>(kFingerprint, size));
    knownHead = readString(0, fingerprint).value_or(std::string());
    knownTail = readString(size - fingerprint, fingerprint).value_or(std::string());
    return entryInFile;
}

}  // namespace Quorvel
