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
    std::string justKept;
    std::set<std::string> left;
};

const std::string k1 = "p-20260101-000000-performance.csv";
const std::string k2 = "p-20260102-000000-performance.csv";
const std::string k3 = "p-20260103-000000-performance.csv";

const std::vector<PruningCase> kCases = {
    {"within both limits nothing goes", {{k1, 10}, {k2, 10}, {k3, 10}}, {3, 30}, "", {k1, k2, k3}},
    {"too many files: the oldest go, whatever the id",
     {{"z-20260101-000000-performance.csv", 1}, {"a-20260102-000000-performance.csv", 1}, {k3, 1}},
     {2, 1000},
     "",
     {"a-20260102-000000-performance.csv", k3}},
    {"too many bytes: the oldest go until the rest fit",
     {{k1, 10}, {k2, 10}, {k3, 25}},
     {10, 40},
     "",
     {k2, k3}},
    {"both limits: the stricter one wins", {{k1, 10}, {k2, 10}, {k3, 10}}, {2, 10}, "", {k3}},
    {"one second: the sequence orders them, not the name",
     {{k1, 1},
      {"p-20260101-000000-2-performance.csv", 1},
      {"p-20260101-000000-10-performance.csv", 1}},
     {1, 1000},
     "",
     {"p-20260101-000000-10-performance.csv"}},
    {"the session just kept stays, older and larger than the limit",
     {{k1, 100}, {k2, 10}, {k3, 10}},
     {1, 50},
     k1,
     {k1}},
    {"other files neither count nor go",
     {{"notes.txt", 5000}, {"p-performance.csv", 5000}, {k1, 1}, {k2, 1}},
     {1, 1000},
     "",
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
        Quorvel::pruneHistory(folder.path(), c.limit, c.justKept);
        EXPECT_EQ(namesIn(folder.path()), c.left);
    }
}

TEST(HistoryPruning, FoldersAndAMissingFolderAreLeftAlone) {
    TempDir folder;
    std::filesystem::create_directory(folder / k1);
    writeFile(folder / k2, "r");
    Quorvel::pruneHistory(folder.path(), {0, 0}, "");
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{k1});
    Quorvel::pruneHistory(folder / "missing", {0, 0}, "");
    EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace QuorvelTest
