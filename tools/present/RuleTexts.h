#pragma once

// The rules of Thresholds.h in words, their values taken from the constants: the note
// under the page, and the README's table of rules (a test holds the README to it).

#include <string>
#include <vector>

namespace Quorvel::Present {

// What the event lines are and the limits the verdict judges by, for the page.
std::string thresholdsNote();

// One rule: what it decides, and its threshold in words with the constants it rests on.
struct RuleRow {
    std::string rule;
    std::string threshold;
};
std::vector<RuleRow> ruleRows();

// The rows as a Markdown table: "| rule | threshold |", "|---|---|", then a line each.
std::string ruleTable();

}  // namespace Quorvel::Present
