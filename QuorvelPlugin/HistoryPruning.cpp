#include "HistoryPruning.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <tuple>
#include <vector>

#include "HistoryFileName.h"

namespace Quorvel {

namespace {

struct Session {
    std::filesystem::path file;
    std::string name;  // UTF-8: the part that is read back is ASCII on every platform
    Format::HistoryName parsed;
    std::uintmax_t size = 0;
    bool justKept = false;
};

bool olderFirst(const Session& a, const Session& b) {
    return std::tie(a.justKept, a.parsed.firstRow, a.parsed.sequence, a.name) <
           std::tie(b.justKept, b.parsed.firstRow, b.parsed.sequence, b.name);
}

std::vector<Session> listSessions(const std::filesystem::path& folder,
                                  const std::filesystem::path& justKept) {
    std::vector<Session> sessions;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!std::filesystem::is_regular_file(it->symlink_status(entryError))) {
            continue;  // links and folders are not ours
        }
        const std::u8string utf8 = it->path().filename().u8string();
        std::string name(utf8.begin(), utf8.end());
        const auto parsed = Format::parseHistoryFileName(name);
        const std::uintmax_t size = it->file_size(entryError);
        if (!parsed || entryError) {
            continue;
        }
        const bool isJustKept = it->path().filename() == justKept.filename();
        sessions.push_back({it->path(), std::move(name), *parsed, size, isJustKept});
    }
    return sessions;
}

}  // namespace

void pruneHistory(const std::filesystem::path& folder, HistoryLimit limit,
                  const std::filesystem::path& justKept) {
    std::vector<Session> sessions = listSessions(folder, justKept);
    std::sort(sessions.begin(), sessions.end(), olderFirst);
    std::size_t files = sessions.size();
    std::uintmax_t bytes = 0;
    for (const Session& session : sessions) {
        bytes += session.size;
    }
    for (const Session& session : sessions) {
        if ((files <= limit.files && bytes <= limit.bytes) || session.justKept) {
            return;
        }
        std::error_code error;
        if (std::filesystem::remove(session.file, error)) {
            --files;
            bytes -= session.size;
        }
    }
}

}  // namespace Quorvel
