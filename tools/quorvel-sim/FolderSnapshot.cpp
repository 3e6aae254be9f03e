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
    : folder(dataFolder), before(take(dataFolder)) {}

FolderSnapshot::States FolderSnapshot::take(const std::filesystem::path& dataFolder) {
    States files;
    std::vector<std::filesystem::path> listed = Read::performanceFilesIn(dataFolder).files;
    const std::filesystem::path history = dataFolder / Format::kHistoryFolderName;
    std::error_code error;
    if (std::filesystem::is_directory(Tools::fileStatus(history, error))) {
        const std::vector<std::filesystem::path> kept = Read::performanceFilesIn(history).files;
        listed.insert(listed.end(), kept.begin(), kept.end());
    }
    for (const std::filesystem::path& file : listed) {
        // One whose size or time cannot be read has the empty state: if it still cannot
        // be after the session, it is not taken for one the session wrote.
        const auto written = Tools::sizeAndTime(file);
        files[file] = written
                          ? State{*written, Tools::fileIdentity(file), headOf(file, written->size)}
                          : State{};
    }
    return files;
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
    for (const auto& [file, now] : take(folder)) {
        const auto samePath = before.find(file);
        if (samePath != before.end() && samePath->second == now) {
            continue;
        }
        const auto found = now.identity ? byIdentity.find(*now.identity) : byIdentity.end();
        const State* earlier = found == byIdentity.end() ? nullptr : found->second;
        if (earlier != nullptr && earlier->written == now.written) {
            continue;  // moved unchanged: an earlier session the plugin kept
        }
        const std::uintmax_t earlierSize = earlier != nullptr ? earlier->written.size : 0;
        const bool appended = earlierSize > 0 && earlierSize <= now.written.size &&
                              earlier->head == headOf(file, earlierSize);
        written.push_back({file, appended ? rowsIn(file, earlierSize) : 0});
    }
    return written;
}

}  // namespace Quorvel::Sim
