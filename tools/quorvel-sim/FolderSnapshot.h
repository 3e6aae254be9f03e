#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PathIdentity.h"
#include "SystemPath.h"

namespace Quorvel::Sim {

// A performance file a session wrote or changed, and what of it was there before.
struct WrittenFile {
    std::filesystem::path path;
    // The rows it held before the session, when the session appended to them (the
    // plugin could not keep an earlier session and wrote after it); 0 for a new file.
    std::size_t earlierRows = 0;
};

// The performance files of a data folder and of its history folder as they are when
// taken, so that after a session the files it wrote or changed can be told from those
// that were there before it: earlier runs, other players, earlier sessions the plugin
// moved into the history (the same file under a new name).
class FolderSnapshot {
  public:
    // Throws a Failure (Input) when the folder cannot be listed.
    explicit FolderSnapshot(const std::filesystem::path& dataFolder);

    // The performance files there now that are new, or differ from the snapshot; sorted.
    std::vector<WrittenFile> newOrChanged() const;

  private:
    struct State {
        Tools::SizeAndTime written;
        std::optional<Tools::FileIdentity> identity;
        std::string head;  // its first bytes, kept whole: tell an append from a rewrite
        // Of all its bytes, for the files the plugin may copy into the history (a
        // player's file, a match journal): the copy is a new file with the old rows.
        // The original is emptied once copied, so only its hash can be kept; a copy is
        // also told by its size.
        std::optional<std::uint64_t> contentHash;
        // The same file as it was: contentHash, taken only before, is not compared.
        bool sameAs(const State& other) const {
            return written == other.written && identity == other.identity && head == other.head;
        }
    };
    using States = std::map<std::filesystem::path, State>;
    static States take(const std::filesystem::path& dataFolder, bool withContents);
    bool copiedFromBefore(const std::filesystem::path& file, const State& now) const;

    std::filesystem::path folder;
    States before;
};

}  // namespace Quorvel::Sim
