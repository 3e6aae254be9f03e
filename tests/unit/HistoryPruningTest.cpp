// The history's limit, with small limits on real folders.

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "HistoryPruning.h"
#include "TempDir.h"

namespace QuorvelTest {
namespace {

using Quorvel::HistoryLimit;

struct PruningCase {
    const char* what;
    std::vector<std::pair<std::string, std::size_t>> files;  // name, size in bytes
    HistoryLimit limit;
    std::vector<std::string> justKept;
    std::set<std::string> left;
    std::set<std::string> namedAsOversized = {};
};

// Player "p"'s sessions, a day apart.
const std::string k1 = "p-20260101-000000-performance.csv";
const std::string k2 = "p-20260102-000000-performance.csv";
const std::string k3 = "p-20260103-000000-performance.csv";
const std::string kOther = "z-20250101-000000-performance.csv";
const std::string kLonger = "p-x-20250101-000000-performance.csv";
const std::string kJournal = "p-unfinished-performance.csv";
const std::string kUnfinished1 = "p-20260101-000000-unfinished-performance.csv";

const std::vector<PruningCase> kCases = {
    {"within both limits nothing goes", {{k1, 10}, {k2, 10}, {k3, 10}}, {3, 30}, {}, {k1, k2, k3}},
    {"too many files: the player's oldest go, other players' sessions neither count nor go",
     {{kOther, 1}, {kLonger, 1}, {k1, 1}, {k2, 1}, {k3, 1}},
     {2, 1000},
     {},
     {kOther, kLonger, k2, k3}},
    {"too many bytes: the newest that fit stay",
     {{k1, 10}, {k2, 10}, {k3, 25}},
     {10, 40},
     {},
     {k2, k3}},
    {"a session that does not fit goes, an older one that fits stays",
     {{k1, 5}, {k2, 30}, {k3, 20}},
     {10, 30},
     {},
     {k1, k3}},
    {"both limits: the stricter one wins", {{k1, 10}, {k2, 10}, {k3, 10}}, {2, 10}, {}, {k3}},
    {"one second: the sequence orders them, not the name",
     {{k1, 1},
      {"p-20260101-000000-2-performance.csv", 1},
      {"p-20260101-000000-10-performance.csv", 1}},
     {1, 1000},
     {},
     {"p-20260101-000000-10-performance.csv"}},
    {"the session just kept stays, older and larger than the limit",
     {{k1, 100}, {k2, 10}, {k3, 10}},
     {1, 50},
     {k1},
     {k1}},
    {"a session just kept that is over the byte limit leaves the others the whole limit",
     {{k1, 20}, {k2, 20}, {k3, 100}},
     {10, 50},
     {k3},
     {k1, k2, k3}},
    {"an earlier session over the byte limit goes, and is named; the others stay",
     {{k1, 10}, {k2, 100}, {k3, 10}},
     {10, 50},
     {k3},
     {k1, k3},
     {k2}},
    {"unfinished sessions are sessions; the journal neither counts nor goes",
     {{kJournal, 5000}, {kUnfinished1, 1}, {k2, 1}},
     {1, 1000},
     {},
     {kJournal, k2}},
    {"other files neither count nor go",
     {{"notes.txt", 5000}, {"p-performance.csv", 5000}, {k1, 1}, {k2, 1}},
     {1, 1000},
     {},
     {"notes.txt", "p-performance.csv", k2}},
};

std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

TEST(HistoryPruning, KeepsTheNewestWithinTheLimit) {
    for (const PruningCase& c : kCases) {
        SCOPED_TRACE(c.what);
        TempDir folder;
        for (const auto& [name, size] : c.files) {
            writeFile(folder / name, std::string(size, 'r'));
        }
        std::vector<std::filesystem::path> justKept;
        justKept.reserve(c.justKept.size());
        for (const std::string& name : c.justKept) {
            justKept.push_back(folder / name);
        }
        std::set<std::string> named;
        for (const auto& removed : Quorvel::pruneHistory(folder.path(), c.limit, "p", justKept)) {
            named.insert(removed.file.filename().string());
        }
        EXPECT_EQ(namesIn(folder.path()), c.left);
        EXPECT_EQ(named, c.namedAsOversized);
    }
}

TEST(HistoryPruning, FoldersAndAMissingFolderAreLeftAlone) {
    TempDir folder;
    std::filesystem::create_directory(folder / k1);
    writeFile(folder / k2, "r");
    Quorvel::pruneHistory(folder.path(), {0, 0}, "p", {});
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{k1});
    Quorvel::pruneHistory(folder / "missing", {0, 0}, "p", {});
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace QuorvelTest
