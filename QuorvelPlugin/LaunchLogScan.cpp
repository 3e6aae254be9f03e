#include "LaunchLogScan.h"

#include <algorithm>
#include <cstring>
#include <utility>
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

// A block of the file in memory: `base[offset]` is the byte at file offset `offset`,
// valid from kBeforeQuote bytes before `begin` (or the region's start) to `end`.
struct Block {
    const char* base;
    std::uint64_t begin;
    std::uint64_t end;
};

// Walks a region's lines from its end toward its start and stops at the last line
// holding an entry. Walking backward, only quotes and line feeds matter: a line holds an
// entry when one of its quotes opens an entry (GameURL= stands right before it) and
// another quote follows on the line; the line's first entry is its leftmost such
// opening quote, and the value runs to the next quote.
class BackwardEntryWalk {
  public:
    BackwardEntryWalk(std::uint64_t regionBegin, RegionScan& scan)
        : begin(regionBegin), result(scan) {
        result.lastLineStart = regionBegin;
    }

    // Visits one block, right to left: its quotes (file offsets, ascending) and the line
    // feeds between them. True once the walk has left behind a line that holds an
    // entry: the walk is over.
    bool walkBlock(const Block& block, const std::vector<std::uint64_t>& quotes) {
        std::uint64_t cursor = block.end;
        for (auto it = quotes.rbegin(); it != quotes.rend(); ++it) {
            if (crossLineFeeds(block.base, *it + 1, cursor)) {
                return true;
            }
            visitQuote(block.base, *it);
            cursor = *it;
        }
        return crossLineFeeds(block.base, block.begin, cursor);
    }

    // The entry of the line the walk stopped in (or of the region's first line): its
    // value's first byte and its length.
    std::optional<std::pair<std::uint64_t, std::uint64_t>> entryValue() const {
        if (!found) {
            return std::nullopt;
        }
        return std::make_pair(opening + 1, closing - opening - 1);
    }

  private:
    // The line after `lineFeed` is left behind; true when it holds an entry.
    bool leaveLine(std::uint64_t lineFeed) {
        if (!lastLineStartKnown) {
            lastLineStartKnown = true;
            result.lastLineStart = lineFeed + 1;
        }
        hasNextQuote = false;
        return found;
    }

    // Looks for the line feed in [from, to) nearest the cursor (at `to`), but only where
    // crossing it changes something: a quote or an entry to cut off, or the region's last
    // line start still unknown.
    bool crossLineFeeds(const char* base, std::uint64_t from, std::uint64_t to) {
        const char* lineFeed = nullptr;
        if (!lastLineStartKnown) {
            lineFeed = findLastLineFeed(base + from, base + to);
        } else if (hasNextQuote || found) {
            // Any line feed in the range ends the current line (no quote lies between
            // them), so the first one found will do.
            lineFeed = findByte(base + from, base + to, '\n');
        }
        return lineFeed != nullptr && leaveLine(static_cast<std::uint64_t>(lineFeed - base));
    }

    // A quote with another quote after it on the line may open the line's first entry;
    // walking backward, the leftmost one seen so far wins.
    void visitQuote(const char* base, std::uint64_t quote) {
        if (hasNextQuote && quote >= begin + kBeforeQuote && opensEntry(base + quote)) {
            found = true;
            opening = quote;
            closing = nextQuote;
        }
        hasNextQuote = true;
        nextQuote = quote;
    }

    std::uint64_t begin;
    RegionScan& result;
    bool found = false;         // an entry in the line the walk is in
    std::uint64_t opening = 0;  // its opening quote
    std::uint64_t closing = 0;  // the quote that closes its value
    bool lastLineStartKnown = false;
    bool hasNextQuote = false;    // a quote after the cursor on the same line ...
    std::uint64_t nextQuote = 0;  // ... the nearest one
};

}  // namespace

RegionScan scanRegionBackward(const ReadBytes& read, std::uint64_t begin, std::uint64_t end,
                              std::size_t blockSize) {
    RegionScan result;
    BackwardEntryWalk walk(begin, result);
    std::vector<char> buffer(blockSize + kBeforeQuote);
    std::vector<std::uint64_t> quotes;
    for (std::uint64_t blockEnd = end; blockEnd > begin;) {
        const std::uint64_t blockBegin =
            blockEnd - std::min<std::uint64_t>(blockSize, blockEnd - begin);
        // A few bytes before the block too, so an opening quote can see its GameURL=.
        const std::uint64_t readBegin =
            blockBegin - std::min<std::uint64_t>(kBeforeQuote, blockBegin - begin);
        if (!read(readBegin, buffer.data(), static_cast<std::size_t>(blockEnd - readBegin))) {
            result.readFailed = true;
            return result;
        }
        const char* base = buffer.data() - static_cast<std::ptrdiff_t>(readBegin);
        quotes.clear();
        for (const char* q = findByte(base + blockBegin, base + blockEnd, '"'); q != nullptr;
             q = findByte(q + 1, base + blockEnd, '"')) {
            quotes.push_back(static_cast<std::uint64_t>(q - base));
        }
        if (walk.walkBlock({base, blockBegin, blockEnd}, quotes)) {
            break;
        }
        blockEnd = blockBegin;
    }

    if (const auto entry = walk.entryValue()) {
        const auto [valueStart, valueLength] = *entry;
        std::string value(static_cast<std::size_t>(valueLength), '\0');
        if (!value.empty() && !read(valueStart, value.data(), value.size())) {
            result.readFailed = true;
            return result;
        }
        result.lastValue = std::move(value);
        result.lastValueOffset = valueStart;
    }
    return result;
}

namespace {

constexpr std::size_t kHeadBytes = 4096;  // where the game writes its start-up lines
constexpr std::size_t kSampleBlocks = 8;  // spread over the rest, the last one its end
constexpr std::size_t kSampleBytes = 64;

}  // namespace

std::optional<std::uint64_t> regionFingerprint(const SharedLogFile& file,
                                               std::uint64_t regionSize) {
    std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(kHeadBytes, regionSize)),
                      '\0');
    if (!bytes.empty() && !file.read(0, bytes.data(), bytes.size())) {
        return std::nullopt;
    }
    if (regionSize > kHeadBytes) {
        const std::uint64_t rest = regionSize - kHeadBytes;
        const std::uint64_t sample = std::min<std::uint64_t>(kSampleBytes, rest);
        for (std::size_t i = 0; i < kSampleBlocks; ++i) {
            const std::uint64_t offset = kHeadBytes + (rest - sample) * i / (kSampleBlocks - 1);
            const std::size_t at = bytes.size();
            bytes.resize(at + static_cast<std::size_t>(sample));
            if (!file.read(offset, bytes.data() + at, static_cast<std::size_t>(sample))) {
                return std::nullopt;
            }
        }
    }
    // FNV-1a, 64 bits, over the size and the bytes.
    std::uint64_t hash = 0xcbf29ce484222325u;
    const auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 0x100000001b3u; };
    for (int shift = 0; shift < 64; shift += 8) {
        mix(static_cast<unsigned char>(regionSize >> shift));
    }
    for (char c : bytes) {
        mix(static_cast<unsigned char>(c));
    }
    return hash;
}

LaunchLogScanner::LaunchLogScanner(std::size_t bytesPerBlock) : blockSize(bytesPerBlock) {}

void LaunchLogScanner::forget() {
    known = {};
    lastLineStart = 0;
    entryInFile.reset();
    entryBeforeLastLineKnown = true;
    entryBeforeLastLine.reset();
}

// The same file as last time, with only bytes added after what was read: its identity
// is the same; its size did not shrink; at the same size, its last write did not move
// (an append that grows it moves the last write, so that is not asked then); and the
// fingerprint of the region read before is unchanged.
bool LaunchLogScanner::continuesKnownRegion(const std::filesystem::path& logFile,
                                            const SharedLogFile& file) const {
    if (!known.fingerprint || logFile != known.path || file.identity() != known.identity ||
        file.size() < known.size) {
        return false;
    }
    if (file.size() == known.size && file.lastWrite() != known.lastWrite) {
        return false;
    }
    return regionFingerprint(file, known.size) == known.fingerprint;
}

std::optional<std::string> LaunchLogScanner::lastEntry(const std::filesystem::path& logFile) {
    const std::optional<SharedLogFile> file = SharedLogFile::open(logFile);
    if (!file) {
        return std::nullopt;
    }
    const std::uint64_t size = file->size();
    if (!continuesKnownRegion(logFile, *file)) {
        forget();
    } else if (size == known.size) {
        return entryInFile;
    }
    // Binary reads: line ends are found by their line feed, and a CR before it can
    // never be part of a value (the value must close with a quote on the line).
    const ReadBytes read = [&file](std::uint64_t offset, char* destination, std::size_t length) {
        return file->read(offset, destination, length);
    };

    RegionScan scan = scanRegionBackward(read, lastLineStart, size, blockSize);
    if (!scan.readFailed && !scan.lastValue && !entryBeforeLastLineKnown) {
        // The earlier pass stopped in a line that no longer holds an entry, which only
        // a rewritten file can do; read it all again.
        forget();
        scan = scanRegionBackward(read, 0, size, blockSize);
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
    known = {logFile, file->identity(), size, file->lastWrite(), regionFingerprint(*file, size)};
    return entryInFile;
}

}  // namespace Quorvel
