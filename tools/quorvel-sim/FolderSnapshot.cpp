#include "FolderSnapshot.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <system_error>

#include "HistoryFileName.h"
#include "PerformanceFiles.h"
#include "PerformanceFormat.h"

namespace Quorvel::Sim {

namespace {

// The bytes compared to tell whether a grown file was appended to or written afresh:
// its header and first rows.
constexpr std::size_t kHeadBytes = 4096;

// The first `bytes` of a file, kHeadBytes at most; compared whole, so two heads that
// differ are never taken for one.
std::string headOf(const std::filesystem::path& file, std::uintmax_t bytes) {
    std::string head(static_cast<std::size_t>(std::min<std::uintmax_t>(bytes, kHeadBytes)), '\0');
    std::ifstream in(Tools::systemPath(file), std::ios::binary);
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return head;
}

// FNV-1a over every byte: whether a new file in the history is a copy of one that was
// in the data folder before.
std::uint64_t hashOfContents(const std::filesystem::path& file) {
    std::ifstream in(Tools::systemPath(file), std::ios::binary);
    std::uint64_t hash = 14695981039346656037ULL;
    char chunk[65536];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        for (std::streamsize i = 0; i < in.gcount(); ++i) {
            hash = (hash ^ static_cast<unsigned char>(chunk[i])) * 1099511628211ULL;
        }
    }
    return hash;
}

// The files the plugin copies when it cannot rename them: the player's files in the data
// folder and the journals of matches in progress.
bool mayBeCopied(const std::filesystem::path& file, bool inHistory) {
    const std::u8string name = file.filename().u8string();
    const std::string_view text(reinterpret_cast<const char*>(name.data()), name.size());
    return !inHistory ||
           (Format::isUnfinishedSessionName(text) && !Format::parseHistoryFileName(text));
}

// The rows in the first `bytes` of a performance file: its lines but the header and
// blank ones (a line may end in CR LF on Windows).
std::size_t rowsIn(const std::filesystem::path& file, std::uintmax_t bytes) {
    std::ifstream in(Tools::systemPath(file), std::ios::binary);
    std::size_t rows = 0;
    std::string line;
    for (std::uintmax_t read = 0; read < bytes && std::getline(in, line);) {
        const bool first = read == 0;
        read += line.size() + 1;
        if (line.ends_with('\r')) {
            line.pop_back();
        }
        const bool header = first && line + "\n" == Format::kHeaderLine;
        rows += header || line.empty() ? 0U : 1U;
    }
    return rows;
}

}  // namespace

FolderSnapshot::FolderSnapshot(const std::filesystem::path& dataFolder)
    : folder(dataFolder), before(take(dataFolder, true)) {}

FolderSnapshot::States FolderSnapshot::take(const std::filesystem::path& dataFolder,
                                            bool withContents) {
    States files;
    std::vector<std::filesystem::path> listed = Read::performanceFilesIn(dataFolder).files;
    const std::size_t inDataFolder = listed.size();
    const std::filesystem::path history = dataFolder / Format::kHistoryFolderName;
    std::error_code error;
    if (std::filesystem::is_directory(Tools::fileStatus(history, error))) {
        const std::vector<std::filesystem::path> kept = Read::performanceFilesIn(history).files;
        listed.insert(listed.end(), kept.begin(), kept.end());
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::filesystem::path& file = listed[i];
        // One whose size or time cannot be read has the empty state: if it still cannot
        // be after the session, it is not taken for one the session wrote.
        const auto written = Tools::sizeAndTime(file);
        State& state = files[file];
        if (written) {
            state = State{*written, Tools::fileIdentity(file), headOf(file, written->size), {}};
            if (withContents && mayBeCopied(file, i >= inDataFolder)) {
                state.contentHash = hashOfContents(file);
            }
        }
    }
    return files;
}

bool FolderSnapshot::copiedFromBefore(const std::filesystem::path& file, const State& now) const {
    std::optional<std::uint64_t> contents;
    for (const auto& [path, earlier] : before) {
        if (earlier.contentHash && earlier.written.size == now.written.size && path != file) {
            if (!contents) {
                contents = hashOfContents(file);
            }
            if (*contents == *earlier.contentHash) {
                return true;
            }
        }
    }
    return false;
}

std::vector<WrittenFile> FolderSnapshot::newOrChanged() const {
    // The files as they were, found by what they are rather than their names.
    std::map<Tools::FileIdentity, const State*> byIdentity;
    for (const auto& [file, state] : before) {
        if (state.identity) {
            byIdentity.emplace(*state.identity, &state);
        }
    }
    std::vector<WrittenFile> written;
    for (const auto& [file, now] : take(folder, false)) {
        const auto samePath = before.find(file);
        if (samePath != before.end() && samePath->second.sameAs(now)) {
            continue;
        }
        const auto found = now.identity ? byIdentity.find(*now.identity) : byIdentity.end();
        const State* earlier = found == byIdentity.end() ? nullptr : found->second;
        if ((earlier != nullptr && earlier->written == now.written) ||
            (earlier == nullptr && samePath == before.end() && copiedFromBefore(file, now))) {
            continue;  // moved or copied unchanged: an earlier session the plugin kept
        }
        const std::uintmax_t earlierSize = earlier != nullptr ? earlier->written.size : 0;
        const bool appended = earlierSize > 0 && earlierSize <= now.written.size &&
                              earlier->head == headOf(file, earlierSize);
        written.push_back({file, appended ? rowsIn(file, earlierSize) : 0});
    }
    return written;
}

}  // namespace Quorvel::Sim
