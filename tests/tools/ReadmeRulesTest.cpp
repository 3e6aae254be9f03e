// The README's table of rules is the one the report makes from Thresholds.h: a changed
// limit changes it there, or this test says what the table must read.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "RuleTexts.h"

namespace QuorvelTest {
namespace {

// The lines of `text` from the one that starts with `head` to the first blank one.
std::string tableAt(const std::string& text, const std::string& head) {
    const std::size_t start = text.find("\n" + head);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find("\n\n", start + 1);
    return text.substr(start + 1, end == std::string::npos ? end : end - start);
}

TEST(ReadmeRules, TheTableIsTheOneMadeFromThresholds) {
    const std::filesystem::path readme(QUORVEL_README_PATH);
    std::ifstream in(readme, std::ios::binary);
    ASSERT_TRUE(in) << readme;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string expected = Quorvel::Present::ruleTable();
    EXPECT_EQ(tableAt(text.str(), "| rule | threshold |"), expected)
        << "README.md's table of rules should read:\n"
        << expected;
}

TEST(ReadmeRules, EveryRowNamesItsRuleAndThreshold) {
    for (const Quorvel::Present::RuleRow& row : Quorvel::Present::ruleRows()) {
        EXPECT_FALSE(row.rule.empty());
        EXPECT_FALSE(row.threshold.empty()) << row.rule;
        EXPECT_EQ(row.threshold.find('|'), std::string::npos) << row.rule;
        EXPECT_EQ(row.threshold.find('\n'), std::string::npos) << row.rule;
    }
}

}  // namespace
}  // namespace QuorvelTest
