// Counts, shares and lengths in words: every output and the rules' texts say them so.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "DisplayText.h"

namespace QuorvelTest {
namespace {

using namespace Quorvel::Tools;

struct Spoken {
    std::function<std::string()> say;
    std::string expected;
};

TEST(DisplayText, NumbersInWords) {
    const Spoken cases[] = {
        {[] { return plural(0, "row", "rows"); }, "0 rows"},
        {[] { return plural(1, "match", "matches"); }, "1 match"},
        {[] { return plural(2, "match", "matches"); }, "2 matches"},
        {[] { return formatSeconds(2); }, "2 s"},
        {[] { return formatSeconds(0); }, "0 s"},
        {[] { return formatPercent(0.2); }, "20 %"},
        {[] { return formatPercent(0.5); }, "50 %"},
        {[] { return formatPercentile(0.25); }, "25th"},
        {[] { return formatPercentile(0.75); }, "75th"},
        {[] { return formatPercentile(0.95); }, "95th"},
        {[] { return formatPercentile(0.01); }, "1st"},
        {[] { return formatPercentile(0.02); }, "2nd"},
        {[] { return formatPercentile(0.03); }, "3rd"},
        {[] { return formatPercentile(0.11); }, "11th"},
        {[] { return formatPercentile(0.12); }, "12th"},
        {[] { return formatPercentile(0.21); }, "21st"},
        {[] { return shareWords(0.5); }, "half"},
        {[] { return shareWords(0.25); }, "a quarter"},
        {[] { return shareWords(0.75); }, "three quarters"},
        {[] { return shareWords(0.4); }, "40 %"},
        {[] { return partOf(0.5); }, "half"},
        {[] { return partOf(0.25); }, "a quarter of"},
        {[] { return formatFigure(1.4826, 4); }, "1.4826"},
        {[] { return formatFigure(std::nullopt); }, std::string(kNoFigure)},
    };
    for (const Spoken& c : cases) {
        EXPECT_EQ(c.say(), c.expected) << "expected " << c.expected;
    }
}

}  // namespace
}  // namespace QuorvelTest
