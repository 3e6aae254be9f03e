#include "Conclusion.h"

#include <algorithm>
#include <set>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

bool mostOf(std::size_t part, std::size_t whole) {
    return whole > 0 &&
           static_cast<double>(part) >= T::kConclusionShare * static_cast<double>(whole);
}

// The problems, the one found in the most matches first; on a tie the worst-felt.
std::vector<ProblemCount> ranked(const std::map<Problem, std::size_t>& problems) {
    std::vector<ProblemCount> list;
    list.reserve(problems.size());
    for (const auto& [problem, matches] : problems) {
        list.push_back({problem, matches});
    }
    std::stable_sort(list.begin(), list.end(), [](const ProblemCount& a, const ProblemCount& b) {
        return a.matches > b.matches;
    });
    return list;
}

}  // namespace

void ConclusionBuilder::add(const MatchReport& report) {
    if (report.verdict.cause == Cause::Incomplete) {
        return;
    }
    ++judged;
    const std::string& ip = report.info.serverIp;
    ServerTally& server = servers[ip];
    ++server.judged;
    std::set<Cause> causes;
    std::set<std::pair<Cause, Problem>> problems;
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

Conclusion ConclusionBuilder::concludeAs(Conclusion::Side side, Grounds grounds) const {
    return {side, {}, std::move(grounds), judged, {}};
}

std::optional<Conclusion> ConclusionBuilder::playerSide() const {
    PlayerSide found{{}, servers.size()};
    for (Cause cause : {Cause::Connection, Cause::Computer}) {
        const SideTally& tally = sides[cause];
        const bool spread =
            cause == Cause::Computer || (tally.servers.size() >= T::kConclusionServers &&
                                         mostOf(tally.servers.size(), servers.size()));
        if (mostOf(tally.matches, judged) && spread) {
            found.parts.push_back(
                {cause, tally.matches, ranked(tally.problems), tally.servers.size()});
        }
    }
    if (found.parts.empty()) {
        return std::nullopt;
    }
    const Cause first = found.parts.front().cause;
    return concludeAs(
        first == Cause::Connection ? Conclusion::Side::Connection : Conclusion::Side::Computer,
        std::move(found));
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
        if (tally.troubled < T::kConclusionServerMatches || !mostOf(tally.troubled, tally.judged) ||
            elsewhere < T::kConclusionServerMatches || mostOf(troubledElsewhere, elsewhere)) {
            continue;
        }
        const double share =
            static_cast<double>(tally.troubled) / static_cast<double>(tally.judged);
        if (!worst || share > worstShare) {
            worstShare = share;
            worst = concludeAs(Conclusion::Side::Server, OneServer{tally.troubled, tally.judged,
                                                                   troubledElsewhere, elsewhere});
            worst->serverIp = ip;
        }
    }
    return worst;
}

Conclusion ConclusionBuilder::conclude() const {
    if (judged < T::kConclusionMatches) {
        return concludeAs(Conclusion::Side::NotEnough, TooFewMatches{});
    }
    if (auto player = playerSide()) {
        return *player;
    }
    if (auto server = oneServer()) {
        return *server;
    }
    if (!mostOf(troubled, judged)) {
        return concludeAs(Conclusion::Side::Good, MostlyGood{troubled});
    }
    if (servers.size() == 1) {
        return concludeAs(Conclusion::Side::Unclear,
                          AllOnOneServer{troubled, servers.begin()->first});
    }
    return concludeAs(Conclusion::Side::Unclear, NoOneSide{troubled});
}

}  // namespace Quorvel::Analysis
