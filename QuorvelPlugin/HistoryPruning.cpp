#include "HistoryPruning.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <tuple>

#include "HistoryFileName.h"
#include "PathText.h"
#include "PerformanceFormat.h"

namespace Quorvel {

namespace {

struct Session {
    std::filesystem::path file;
    std::string name;  // UTF-8: the part that is read back is ASCII on every platform
    Format::HistoryName parsed;
    std::uintmax_t size = 0;
    bool justKept = false;
};

bool newerFirst(const Session& a, const Session& b) {
    return std::tie(a.justKept, a.parsed.firstRow, a.parsed.sequence, a.name) >
           std::tie(b.justKept, b.parsed.firstRow, b.parsed.sequence, b.name);
}

bool isJustKept(const std::filesystem::path& file,
                const std::vector<std::filesystem::path>& justKept) {
    return std::any_of(justKept.begin(), justKept.end(), [&](const std::filesystem::path& kept) {
        return !kept.empty() && file.filename() == kept.filename();
    });
}

// The player's sessions; the names keep views into their own strings, so the list is
// filled first and parsed after.
std::vector<Session> listSessions(const std::filesystem::path& folder, std::string_view safeId,
                                  const std::vector<std::filesystem::path>& justKept) {
    std::vector<Session> sessions;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code entryError;
        if (!std::filesystem::is_regular_file(it->symlink_status(entryError))) {
            continue;  // links and folders are not ours
        }
        Session session{it->path(), Platform::displayPath(it->path().filename()), {}, 0, false};
        session.size = it->file_size(entryError);
        if (!entryError) {
            session.justKept = isJustKept(session.file, justKept);
            sessions.push_back(std::move(session));
        }
    }
    std::erase_if(sessions, [&](Session& session) {
        const auto parsed = Format::parseHistoryFileName(session.name);
        if (!parsed || parsed->safeId != safeId) {
            return true;
        }
        session.parsed = *parsed;
        return false;
    });
    return sessions;
}

}  // namespace

std::vector<RemovedSession> pruneHistory(const std::filesystem::path& folder, HistoryLimit limit,
                                         std::string_view userId,
                                         const std::vector<std::filesystem::path>& justKept) {
    const std::string safeId = Format::fileNameSafeId(userId);
    std::vector<Session> sessions = listSessions(folder, safeId, justKept);
    std::sort(sessions.begin(), sessions.end(), newerFirst);
    std::size_t files = 0;
    std::uintmax_t bytes = 0;
    std::vector<const Session*> removed;
    for (const Session& session : sessions) {
        const bool fits =
            files < limit.files && session.size <= limit.bytes - std::min(bytes, limit.bytes);
        if (session.justKept || fits) {
            ++files;
            bytes += session.size <= limit.bytes ? session.size : 0;
        } else {
            removed.push_back(&session);
        }
    }
    std::vector<RemovedSession> oversized;
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        std::error_code error;
        if (std::filesystem::remove((*it)->file, error) && (*it)->size > limit.bytes) {
            oversized.push_back({(*it)->file, (*it)->size});
        }
    }
    return oversized;
}

}  // namespace Quorvel
