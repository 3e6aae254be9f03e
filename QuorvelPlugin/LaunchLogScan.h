#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SharedLogFile.h"

namespace Quorvel {

// A server address entry in the game's log is GameURL="<value>" anywhere in a line,
// where the value runs to the next double quote. These functions give exactly what
// searching each line for the regular expression GameURL="([^"]*)" gives, without a
// regex engine (whose recursion overflows the stack on long lines): they look for
// the opening GameURL=" and the closing quote directly, on any bytes.

// Reads `length` bytes at `offset` of the scanned text into `destination`; false
// when they cannot be read.
using ReadBytes = std::function<bool(std::uint64_t offset, char* destination, std::size_t length)>;

// What one backward pass over the lines in [begin, end) found. `begin` must be the
// start of a line.
struct RegionScan {
    bool readFailed = false;
    std::optional<std::string> lastValue;  // the first entry of the last line that has one
    std::uint64_t lastValueOffset = 0;     // where that value starts
    std::uint64_t lastLineStart = 0;       // start of the region's last line
};

// Walks the region from its end toward its start, one block at a time, and stops at
// the start of the last line holding an entry: a log whose entry is near its end
// costs a few blocks, however large the log. Memory is a block and the value.
RegionScan scanRegionBackward(const ReadBytes& read, std::uint64_t begin, std::uint64_t end,
                              std::size_t blockSize);

// A hash of what a scan read of the file, the region [0, regionSize): its size, its
// first 4 KB (the game's start-up lines) and eight 64-byte blocks spread over the rest,
// the last one at its end. Reads a few kilobytes whatever the size; nullopt when they
// cannot be read.
std::optional<std::uint64_t> regionFingerprint(const SharedLogFile& file, std::uint64_t regionSize);

// The value of the last entry in the game's log, remembered between calls: the game
// only appends to its log while it runs, so a later call reads only what was added
// since the previous one. A log that was replaced by another file, shrank, was written
// without growing, or whose fingerprint changed is read afresh.
class LaunchLogScanner {
  public:
    explicit LaunchLogScanner(std::size_t bytesPerBlock = kDefaultBlockSize);

    // nullopt when the file cannot be read or no line holds an entry.
    std::optional<std::string> lastEntry(const std::filesystem::path& logFile);

    static constexpr std::size_t kDefaultBlockSize = std::size_t{64} * 1024;

  private:
    // What the last scan read: the file, its identity and the region's size, last
    // write and fingerprint.
    struct KnownRegion {
        std::filesystem::path path;
        FileIdentity identity;
        std::uint64_t size = 0;
        std::int64_t lastWrite = 0;
        std::optional<std::uint64_t> fingerprint;
    };

    void forget();
    bool continuesKnownRegion(const std::filesystem::path& logFile,
                              const SharedLogFile& file) const;

    std::size_t blockSize;
    KnownRegion known;
    // The last line may still be growing, so it is scanned again next time; what the
    // complete lines before it hold is kept apart from what the whole file holds.
    std::uint64_t lastLineStart = 0;
    std::optional<std::string> entryInFile;
    bool entryBeforeLastLineKnown = true;
    std::optional<std::string> entryBeforeLastLine;
};

}  // namespace Quorvel
