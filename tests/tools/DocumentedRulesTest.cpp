// The rules as the README and the players' guide state them are the ones in
// Thresholds.h: the README's table is the one the report makes, and every figure the
// prose gives of a rule is held to its constant, so that a changed limit cannot leave a
// document saying the old one.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "DisplayText.h"
#include "RuleTexts.h"
#include "Thresholds.h"

namespace QuorvelTest {
namespace {

namespace T = Quorvel::Thresholds;
using Quorvel::Tools::formatFigure;
using Quorvel::Tools::formatPercentile;
using Quorvel::Tools::shareWords;

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with every run of white space as one space: prose wraps anywhere.
std::string folded(const std::string& text) {
    return std::regex_replace(text, std::regex("\\s+"), " ");
}

// The lines of `text` from the one that starts with `head` to the first blank one.
std::string tableAt(const std::string& text, const std::string& head) {
    const std::size_t start = text.find("\n" + head);
    if (start == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find("\n\n", start + 1);
    return text.substr(start + 1, end == std::string::npos ? end : end - start);
}

// A rule as prose states it: every place `pattern` matches, its groups read `values`.
struct Stated {
    std::string pattern;
    std::vector<std::string> values;
};

void expectStated(const std::string& document, const std::vector<Stated>& rules) {
    const std::string text = folded(readText(document));
    for (const Stated& rule : rules) {
        const std::regex pattern(rule.pattern);
        std::size_t places = 0;
        for (auto at = std::sregex_iterator(text.begin(), text.end(), pattern);
             at != std::sregex_iterator(); ++at, ++places) {
            for (std::size_t group = 0; group < rule.values.size(); ++group) {
                EXPECT_EQ((*at)[group + 1].str(), rule.values[group])
                    << document << ": \"" << at->str() << "\"";
            }
        }
        EXPECT_GT(places, 0U) << document << " no longer states /" << rule.pattern << "/";
    }
}

TEST(DocumentedRules, TheReadmesTableIsTheOneMadeFromThresholds) {
    const std::string expected = Quorvel::Present::ruleTable();
    EXPECT_EQ(tableAt(readText(QUORVEL_README_PATH), "| rule | threshold |"), expected)
        << "README.md's table of rules should read:\n"
        << expected;
}

TEST(DocumentedRules, EveryRowNamesItsRuleAndThreshold) {
    for (const Quorvel::Present::RuleRow& row : Quorvel::Present::ruleRows()) {
        EXPECT_FALSE(row.rule.empty());
        EXPECT_FALSE(row.threshold.empty()) << row.rule;
        EXPECT_EQ(row.threshold.find('|'), std::string::npos) << row.rule;
        EXPECT_EQ(row.threshold.find('\n'), std::string::npos) << row.rule;
    }
}

TEST(DocumentedRules, TheReadmesProseGivesTheConstantsValues) {
    const std::string pause = std::to_string(T::kMatchPause.count());
    expectStated(
        QUORVEL_README_PATH,
        {
            {R"(more than (\d+) minutes \(`kMatchPause`)", {pause}},
            {R"(the last (\d+) minutes of play)", {pause}},
            {R"(pause of more than (\d+) s \(`kEmptyGuidPause`)",
             {std::to_string(T::kEmptyGuidPause.count())}},
            {R"(median absolute deviation × ([0-9.]+))", {formatFigure(T::kMadToSigma, 4)}},
            {R"(the better (\w+) of the match)", {shareWords(2 * T::kUsualShare)}},
            {R"(`kUsualShare`: the (\w+) percentile of Ping and of Latency − Ping, the (\w+) of)",
             {formatPercentile(T::kUsualShare), formatPercentile(1 - T::kUsualShare)}},
            {R"(\((\d+) packets a second each way)", {formatFigure(T::kPlayPacketsPerSecond)}},
            {R"(\(up to ([a-z ]+) of it:)", {shareWords(1 - T::kUsualShare)}},
            {R"(packets out down to (\w+) or less)", {shareWords(T::kStallOutShare)}},
            {R"(keeps the first (\d+) of a kind)", {std::to_string(T::kEventsKeptPerKind)}},
            {R"(fewer than (\d+) seconds recorded)", {std::to_string(T::kEvidenceSeconds)}},
            {R"(rows for less than (\w+) of the time)", {shareWords(T::kEvidenceShare)}},
            {R"(missing in more than (\w+) of its seconds)", {shareWords(T::kEvidenceShare)}},
            {R"(under the (\d+) % limit)", {formatFigure(T::kBurstLossPercent)}},
            {R"(\((\d+) at least, `kConclusionServerMatches`)",
             {std::to_string(T::kConclusionServerMatches)}},
            {R"(with fewer than (\d+) matches)", {std::to_string(T::kConclusionMatches)}},
            {R"(\((\d+) needed\))", {std::to_string(T::kConclusionMatches)}},
        });
}

TEST(DocumentedRules, ThePlayersGuideGivesTheConstantsValues) {
    expectStated(
        QUORVEL_PLAYERS_GUIDE_PATH,
        {
            {R"(once at least (\d+) matches have a verdict)",
             {std::to_string(T::kConclusionMatches)}},
            {R"(fewer than (\d+) seconds recorded)", {std::to_string(T::kEvidenceSeconds)}},
            {R"((\d+) % of the packets or more lost second after second for (\d+) seconds)",
             {formatFigure(T::kSteadyLossPercent), std::to_string(T::kSteadyLossSeconds)}},
            {R"(falling ([a-z ]+) or more below its usual \(it counts at (\w+) or lower for (\d+) seconds, or under (\d+) FPS\))",
             {shareWords(T::kDropFloorShare), shareWords(T::kFeltDropShare),
              std::to_string(T::kSignificantSeconds), formatFigure(T::kLowFps)}},
        });
}

}  // namespace
}  // namespace QuorvelTest
