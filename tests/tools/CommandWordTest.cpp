// Words for a command a person pastes into a shell: nothing in them is run or expanded.

#include <gtest/gtest.h>

#include "CommandWord.h"

namespace QuorvelTest {
namespace {

TEST(CommandWord, OnlyPlainPathsStayAsTheyAre) {
    const std::pair<const char*, const char*> cases[] = {
        {"quorvel-sim-data", "quorvel-sim-data"},
        {"/home/p/data/Steam%7C1%7C0-performance.csv",
         "/home/p/data/Steam%7C1%7C0-performance.csv"},
        {"a b", "'a b'"},
        {"$(rm -rf ~)", "'$(rm -rf ~)'"},
        {"`reboot`", "'`reboot`'"},
        {"$HOME/x", "'$HOME/x'"},
        {"x;y", "'x;y'"},
        {"it's", "'it'\\''s'"},
        {"", "''"},
        {"\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5",
         "'\xD0\x94\xD0\xB0\xD0\xBD\xD0\xBD\xD1\x8B\xD0\xB5'"},
    };
    for (const auto& [text, word] : cases) {
        EXPECT_EQ(Quorvel::Tools::shellWord(text), word) << text;
    }
}

}  // namespace
}  // namespace QuorvelTest
