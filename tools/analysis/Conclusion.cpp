#include "Conclusion.h"

#include <algorithm>
#include <set>
#include <vector>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

std::string matches(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " match" : " matches");
}

std::string serverCount(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " server" : " servers");
}

bool mostOf(std::size_t part, std::size_t whole) {
    return whole > 0 &&
           static_cast<double>(part) >= T::kConclusionShare * static_cast<double>(whole);
}

}  // namespace

std::string_view sideKey(Conclusion::Side side) {
    switch (side) {
        case Conclusion::Side::NotEnough:
            return "notEnough";
        case Conclusion::Side::Good:
            return "good";
        case Conclusion::Side::Connection:
            return "connection";
        case Conclusion::Side::Computer:
            return "computer";
        case Conclusion::Side::Server:
            return "server";
        case Conclusion::Side::Unclear:
            return "unclear";
    }
    return "unclear";
}

void ConclusionBuilder::add(const MatchReport& report) {
    if (report.verdict.cause == Cause::Incomplete) {
        return;
    }
    ++judged;
    const std::string& ip = report.info.serverIp;
    ServerTally& server = servers[ip];
    ++server.judged;
    std::set<Cause> causes;
    std::set<std::pair<Cause, std::string_view>> problems;
    for (const Finding& finding : report.verdict.findings) {
        causes.insert(finding.cause);
        problems.insert({finding.cause, finding.problem});
    }
    troubled += causes.empty() ? 0u : 1u;
    server.troubled +=
        causes.contains(Cause::Connection) || causes.contains(Cause::Server) ? 1u : 0u;
    for (Cause cause : causes) {
        ++sides[cause].matches;
        ++sides[cause].servers[ip];
    }
    for (const auto& [cause, problem] : problems) {
        ++sides[cause].problems[problem];
    }
}

// What the side's matches had, each problem with the matches it was found in: "loss in 4
// of 6 matches" when all had the one problem, else "connection problems in 5 of 6
// matches (loss in 3, unstable ping in 1, ping spikes in 1)", the most frequent first.
std::string ConclusionBuilder::problemWords(Cause cause, const SideTally& tally) const {
    std::vector<std::pair<std::size_t, std::string_view>> ranked;
    for (const auto& [problem, count] : tally.problems) {
        ranked.emplace_back(count, problem);
    }
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first
                                  : problemOrder(a.second) < problemOrder(b.second);
    });
    const std::string counted = " in " + std::to_string(tally.matches) + " of " + matches(judged);
    if (ranked.size() == 1) {
        return std::string(ranked.front().second) + counted;
    }
    std::string each;
    for (const auto& [count, problem] : ranked) {
        each +=
            (each.empty() ? " (" : ", ") + std::string(problem) + " in " + std::to_string(count);
    }
    return std::string(causeName(cause)) + " problems" + counted + each + ")";
}

// Problems of the player's own side in most matches: the connection's on most servers,
// the computer's wherever.
std::optional<Conclusion> ConclusionBuilder::playerSide() const {
    std::optional<Conclusion> best;
    for (Cause cause : {Cause::Connection, Cause::Computer}) {
        const SideTally& tally = sides[cause];
        const bool spread =
            cause == Cause::Computer ||
            (tally.servers.size() >= 2 && mostOf(tally.servers.size(), servers.size()));
        if (!mostOf(tally.matches, judged) || !spread) {
            continue;
        }
        const std::string text = problemWords(cause, tally) + ", on " +
                                 std::to_string(tally.servers.size()) + " of " +
                                 serverCount(servers.size()) + ": your " +
                                 (cause == Cause::Connection ? "connection" : "computer");
        if (!best) {
            best = Conclusion{cause == Cause::Connection ? Conclusion::Side::Connection
                                                         : Conclusion::Side::Computer,
                              "",
                              text,
                              judged,
                              {}};
        } else {
            best->text += "; and " + text;
        }
    }
    return best;
}

// The connection's or the server's problems in most matches on one server (two at
// least), and not elsewhere.
std::optional<Conclusion> ConclusionBuilder::oneServer() const {
    std::optional<Conclusion> worst;
    double worstShare = 0;
    std::size_t troubledAnywhere = 0;
    for (const auto& [ip, tally] : servers) {
        troubledAnywhere += tally.troubled;
    }
    for (const auto& [ip, tally] : servers) {
        const std::size_t elsewhere = judged - tally.judged;
        const std::size_t troubledElsewhere = troubledAnywhere - tally.troubled;
        if (tally.troubled < 2 || !mostOf(tally.troubled, tally.judged) || elsewhere < 2 ||
            mostOf(troubledElsewhere, elsewhere)) {
            continue;
        }
        const double share =
            static_cast<double>(tally.troubled) / static_cast<double>(tally.judged);
        if (!worst || share > worstShare) {
            worstShare = share;
            worst = Conclusion{Conclusion::Side::Server,
                               ip,
                               "problems in " + std::to_string(tally.troubled) + " of " +
                                   matches(tally.judged) + " on " + ip + ", in " +
                                   std::to_string(troubledElsewhere) + " of " + matches(elsewhere) +
                                   " elsewhere: that server (or the way to it)",
                               judged,
                               {}};
        }
    }
    return worst;
}

Conclusion ConclusionBuilder::conclude() const {
    if (judged < T::kConclusionMatches) {
        return {Conclusion::Side::NotEnough,
                "",
                "not enough to tell: " + matches(judged) + " with a verdict (" +
                    std::to_string(T::kConclusionMatches) + " needed)",
                judged,
                {}};
    }
    if (auto player = playerSide()) {
        return *player;
    }
    if (auto server = oneServer()) {
        return *server;
    }
    if (!mostOf(troubled, judged)) {
        return {Conclusion::Side::Good,
                "",
                "mostly good: problems in " + std::to_string(troubled) + " of " + matches(judged),
                judged,
                {}};
    }
    if (servers.size() == 1) {
        return {Conclusion::Side::Unclear,
                "",
                "problems in " + std::to_string(troubled) + " of " + matches(judged) +
                    ", all on one server (" + servers.begin()->first +
                    "): play on others to tell your side from the server's",
                judged,
                {}};
    }
    return {Conclusion::Side::Unclear,
            "",
            "problems in " + std::to_string(troubled) + " of " + matches(judged) +
                ", of different kinds and on different servers: no one side to blame",
            judged,
            {}};
}

}  // namespace Quorvel::Analysis
