#include "ConclusionTexts.h"

#include "DisplayText.h"
#include "Names.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

using namespace Analysis;
using Tools::plural;

std::string matches(std::size_t n) {
    return plural(n, "match", "matches");
}

// "problems in 2 of 5 matches".
std::string problemsIn(std::size_t troubled, std::size_t judged) {
    return "problems in " + std::to_string(troubled) + " of " + matches(judged);
}

// What a side's matches had, each problem with the matches it was found in: "loss in 4
// of 6 matches" when all had the one problem, else "connection problems in 5 of 6
// matches (loss in 3, unstable ping in 1, ping spikes in 1)".
std::string problemWords(const PlayerSide::Part& part, std::size_t judged) {
    const std::string counted = " in " + std::to_string(part.matches) + " of " + matches(judged);
    if (part.problems.size() == 1) {
        return std::string(problemName(part.problems.front().problem)) + counted;
    }
    std::string each;
    for (const ProblemCount& found : part.problems) {
        each += (each.empty() ? " (" : ", ") + std::string(problemName(found.problem)) + " in " +
                std::to_string(found.matches);
    }
    return std::string(causeName(part.cause)) + " problems" + counted + each + ")";
}

std::string playerSideText(const PlayerSide& side, std::size_t judged) {
    std::string text;
    for (const PlayerSide::Part& part : side.parts) {
        text += (text.empty() ? "" : "; and ") + problemWords(part, judged) + ", on " +
                std::to_string(part.servers) + " of " +
                plural(side.serversPlayed, "server", "servers") + ": your " +
                std::string(causeName(part.cause));
    }
    return text;
}

}  // namespace

std::string conclusionText(const Conclusion& c) {
    if (std::holds_alternative<TooFewMatches>(c.grounds)) {
        return "not enough to tell: " + matches(c.judged) + " with a verdict (" +
               std::to_string(Thresholds::kConclusionMatches) + " needed)";
    }
    if (const auto* player = std::get_if<PlayerSide>(&c.grounds)) {
        return playerSideText(*player, c.judged);
    }
    if (const auto* server = std::get_if<OneServer>(&c.grounds)) {
        return problemsIn(server->troubled, server->judged) + " on " + c.serverIp + ", in " +
               std::to_string(server->troubledElsewhere) + " of " +
               matches(server->judgedElsewhere) + " elsewhere: that server (or the way to it)";
    }
    if (const auto* good = std::get_if<MostlyGood>(&c.grounds)) {
        return "mostly good: " + problemsIn(good->troubled, c.judged);
    }
    if (const auto* one = std::get_if<AllOnOneServer>(&c.grounds)) {
        return problemsIn(one->troubled, c.judged) + ", all on one server (" + one->serverIp +
               "): play on others to tell your side from the server's";
    }
    return problemsIn(std::get<NoOneSide>(c.grounds).troubled, c.judged) +
           ", of different kinds and on different servers: no one side to blame";
}

std::string conclusionLine(const Conclusion& conclusion, bool severalPlayers,
                           const ShownNames& names) {
    return (severalPlayers ? "Overall for " + names.player(conclusion.player) + ": "
                           : "Overall: ") +
           conclusionText(conclusion);
}

}  // namespace Quorvel::Present
