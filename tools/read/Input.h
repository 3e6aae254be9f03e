#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "ByteSource.h"

namespace Quorvel::Read {

// One input of the report: a file, or bytes already in memory (tests, fuzzing).
class Input {
  public:
    // `inFolder`: found in a folder named, rather than named itself.
    static Input file(std::filesystem::path path, bool inFolder = false);
    static Input bytes(std::string name, std::string bytes);

    // How messages name it: the path as UTF-8, or the name given with the bytes.
    const std::string& name() const { return displayName; }
    // Empty for bytes.
    const std::filesystem::path& path() const { return filePath; }
    // A crash journal by its name (Format::isUnfinishedSessionName): the match it ends
    // with was left unfinished when the game closed, unless another file holds more of it.
    bool unfinished() const { return unfinishedJournal; }
    // Found in a folder: a file there that holds only its header is a player's file whose
    // session has not finished a match yet, not a file given by mistake.
    bool foundInFolder() const { return inFolder; }
    // From its start, or from byte `offset` of a reopenable one. Throws a Failure (Input)
    // when it cannot be opened.
    std::unique_ptr<ByteSource> open(std::uint64_t offset = 0) const;

  private:
    std::string displayName;
    std::filesystem::path filePath;
    std::shared_ptr<const std::string> content;  // bytes, shared by copies
    bool unfinishedJournal = false;
    bool inFolder = false;
};

}  // namespace Quorvel::Read
