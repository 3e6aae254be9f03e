#include "ServerComparison.h"

#include <algorithm>

#include "DisplayText.h"
#include "Names.h"
#include "TableColumns.h"

namespace Quorvel::Present {

namespace {

using Analysis::Conclusion;
using Analysis::Problem;
using Analysis::ServerSummary;
using Tools::formatFigure;

// What a bar can show of a server.
enum class Compared { Loss, Jitter, PingP95, LatencyAbovePing, MatchesWithProblem, Fps, Ping };

Compared comparedFor(Problem problem) {
    switch (problem) {
        case Problem::Outages:
        case Problem::Loss:
            return Compared::Loss;
        case Problem::UnstablePing:
            return Compared::Jitter;
        case Problem::PingSpikes:
        case Problem::HighPing:
            return Compared::PingP95;
        case Problem::ServerHiccups:
        case Problem::HighLatency:
            return Compared::LatencyAbovePing;
        case Problem::Stutter:
        case Problem::FpsDrops:
        case Problem::LowFps:
            return Compared::Fps;
        case Problem::NothingComingIn:
        case Problem::FullInputBuffer:
            break;
    }
    return Compared::MatchesWithProblem;
}

std::string_view comparedName(Compared compared) {
    switch (compared) {
        case Compared::Loss:
            return "packets lost";
        case Compared::Jitter:
            return "jitter";
        case Compared::PingP95:
            return "ping (95th percentile)";
        case Compared::LatencyAbovePing:
            return "latency above ping (95th percentile of the seconds)";
        case Compared::MatchesWithProblem:
            return "matches with it";
        case Compared::Fps:
            return "FPS (mean)";
        case Compared::Ping:
            break;
    }
    return "ping (median)";
}

// A bar's length and its words.
std::pair<double, std::string> valueOf(const ServerSummary& s, Compared compared, Problem problem) {
    const auto ms = [](Analysis::Figure v, bool sign = false) {
        return std::pair{v.value_or(0), v ? (sign && *v >= 0 ? "+" : "") + formatFigure(v) + " ms"
                                          : std::string(Tools::kNoFigure)};
    };
    switch (compared) {
        case Compared::Loss: {
            const double in = s.lossInPercent().value_or(0);
            const double out = s.lossOutPercent().value_or(0);
            return {std::max(in, out),
                    formatFigure(in, 1) + " % in, " + formatFigure(out, 1) + " % out"};
        }
        case Compared::Jitter:
            return ms(s.jitterMs());
        case Compared::PingP95:
            return ms(s.pingP95);
        case Compared::LatencyAbovePing:
            return ms(s.latencyAbovePingP95, true);
        case Compared::MatchesWithProblem:
            return {static_cast<double>(s.problems[problem]) / static_cast<double>(s.matches),
                    std::to_string(s.problems[problem]) + " of " +
                        Tools::plural(s.matches, "match", "matches")};
        case Compared::Fps:
            return {s.fpsMean.value_or(0), formatFigure(s.fpsMean) + " FPS"};
        case Compared::Ping:
            break;
    }
    return ms(s.pingMedian);
}

// The problem found in most matches: on the servers an answer blames, if any, else on
// all; ties go to the worst felt (the first in Problem).
std::optional<Problem> mostFound(const std::vector<ServerSummary>& servers,
                                 const std::vector<std::string>& blamed) {
    Analysis::PerProblem<std::size_t> counts;
    for (const ServerSummary& s : servers) {
        if (!blamed.empty() &&
            std::find(blamed.begin(), blamed.end(), s.serverIp) == blamed.end()) {
            continue;
        }
        for (std::size_t p = 0; p < Analysis::kProblemCount; ++p) {
            counts[static_cast<Problem>(p)] += s.problems[static_cast<Problem>(p)];
        }
    }
    const auto most = std::max_element(counts.begin(), counts.end());
    if (*most == 0) {
        return std::nullopt;
    }
    return static_cast<Problem>(most - counts.begin());
}

}  // namespace

ServerComparison compareServers(const std::vector<ServerSummary>& servers,
                                const std::vector<Conclusion>& conclusions, std::size_t most) {
    std::vector<std::string> blamed;
    for (const Conclusion& c : conclusions) {
        if (c.side == Conclusion::Side::Server && !c.serverIp.empty()) {
            blamed.push_back(c.serverIp);
        }
    }
    const std::optional<Problem> problem = mostFound(servers, blamed);
    const Compared compared = problem ? comparedFor(*problem) : Compared::Ping;
    ServerComparison comparison;
    comparison.title = "Servers compared on " + std::string(comparedName(compared));
    if (problem) {
        comparison.title += ", the figure behind " + std::string(problemName(*problem));
    }
    for (const ServerSummary& s : servers) {
        const bool isBlamed = std::find(blamed.begin(), blamed.end(), s.serverIp) != blamed.end();
        // The blamed servers always; the others while there is room beside them.
        const std::size_t room = most - std::min(most, blamed.size());
        const std::size_t others =
            comparison.servers.size() - static_cast<std::size_t>(std::count_if(
                                            comparison.servers.begin(), comparison.servers.end(),
                                            [](const ComparedServer& c) { return c.blamed; }));
        if (!isBlamed && others >= room) {
            ++comparison.leftOut;
            continue;
        }
        auto [value, text] = valueOf(s, compared, problem.value_or(Problem::Loss));
        comparison.servers.push_back(
            {s.serverIp, value, std::move(text), verdictCounts(s), isBlamed});
    }
    return comparison;
}

}  // namespace Quorvel::Present
