#include "AdviceTexts.h"

#include <algorithm>
#include <array>

#include "DisplayText.h"
#include "Names.h"

namespace Quorvel::Present {

namespace {

using Analysis::Cause;
using Analysis::Problem;

namespace TipOf {
constexpr Tip kWired{"wired", "a wired connection instead of wireless"};
constexpr Tip kPauseOthers{"pauseOtherDevices", "other devices' downloads and uploads paused"};
constexpr Tip kRestartRouter{"restartRouter", "the router restarted"};
constexpr Tip kNoteTimes{"noteTimes", "the times it happens noted for your provider"};
constexpr Tip kNearerRegion{"nearerRegion", "a server region nearer to you"};
constexpr Tip kOtherServer{"otherServer", "another server or region"};
constexpr Tip kReportServer{"reportServer",
                            "the server's address and the match times sent to its host"};
constexpr Tip kFrameCap{"frameRateCap", "a frame-rate cap a little below what the computer holds"};
constexpr Tip kLowerGraphics{"lowerGraphics", "lower graphics settings"};
constexpr Tip kBackground{"backgroundPrograms", "programs in the background closed"};
constexpr Tip kHeatDrivers{"temperaturesAndDrivers",
                           "the computer's temperatures checked and its graphics driver updated"};
}  // namespace TipOf

constexpr std::size_t kMostTipsOfAProblem = 4;

struct ProblemTips {
    Problem problem;
    std::array<const Tip*, kMostTipsOfAProblem> tips;  // the first ones that help most
};

// Each problem with its tips, in the order of Problem.
constexpr std::array<ProblemTips, Analysis::kProblemCount> kTips = {{
    {Problem::Outages, {&TipOf::kWired, &TipOf::kRestartRouter, &TipOf::kNoteTimes}},
    {Problem::Loss,
     {&TipOf::kWired, &TipOf::kPauseOthers, &TipOf::kRestartRouter, &TipOf::kNoteTimes}},
    {Problem::UnstablePing, {&TipOf::kWired, &TipOf::kPauseOthers, &TipOf::kRestartRouter}},
    {Problem::PingSpikes, {&TipOf::kPauseOthers, &TipOf::kWired, &TipOf::kNoteTimes}},
    {Problem::HighPing, {&TipOf::kNearerRegion, &TipOf::kWired}},
    {Problem::NothingComingIn, {&TipOf::kOtherServer, &TipOf::kReportServer}},
    {Problem::ServerHiccups, {&TipOf::kOtherServer, &TipOf::kReportServer}},
    {Problem::HighLatency, {&TipOf::kOtherServer, &TipOf::kReportServer}},
    {Problem::Stutter, {&TipOf::kBackground, &TipOf::kFrameCap, &TipOf::kHeatDrivers}},
    {Problem::FpsDrops, {&TipOf::kBackground, &TipOf::kHeatDrivers, &TipOf::kLowerGraphics}},
    {Problem::LowFps, {&TipOf::kLowerGraphics, &TipOf::kHeatDrivers, &TipOf::kBackground}},
    {Problem::FullInputBuffer, {&TipOf::kFrameCap, &TipOf::kBackground}},
}};

constexpr bool tipsInOrder() {
    for (std::size_t i = 0; i < kTips.size(); ++i) {
        if (static_cast<std::size_t>(kTips[i].problem) != i) {
            return false;
        }
    }
    return true;
}
static_assert(tipsInOrder(), "each problem's tips stand at its own place");

// Enough to act on in one line.
constexpr std::size_t kTipsShown = 5;

void addTips(Problem problem, std::vector<Tip>& tips) {
    for (const Tip* tip : kTips[static_cast<std::size_t>(problem)].tips) {
        const bool known =
            tip == nullptr || std::any_of(tips.begin(), tips.end(),
                                          [tip](const Tip& t) { return t.key == tip->key; });
        if (!known && tips.size() < kTipsShown) {
            tips.push_back(*tip);
        }
    }
}

std::vector<Tip> tipsOf(const std::vector<Problem>& problems) {
    std::vector<Tip> tips;
    for (Problem problem : problems) {
        addTips(problem, tips);
    }
    return tips;
}

}  // namespace

std::vector<Tip> tipsFor(const Analysis::Verdict& verdict) {
    if (verdict.cause == Cause::Good || verdict.cause == Cause::Incomplete) {
        return {};
    }
    std::vector<Problem> problems;
    problems.reserve(verdict.findings.size());
    for (const Analysis::Finding& finding : verdict.findings) {
        problems.push_back(finding.problem);
    }
    return tipsOf(problems);
}

std::vector<Tip> tipsFor(const Analysis::Conclusion& conclusion) {
    using namespace Analysis;
    if (const auto* player = std::get_if<PlayerSide>(&conclusion.grounds)) {
        std::vector<Problem> problems;
        for (const PlayerSide::Part& part : player->parts) {
            for (const ProblemCount& found : part.problems) {
                problems.push_back(found.problem);
            }
        }
        return tipsOf(problems);
    }
    if (std::holds_alternative<OneServer>(conclusion.grounds)) {
        return {TipOf::kOtherServer, TipOf::kReportServer};
    }
    if (std::holds_alternative<AllOnOneServer>(conclusion.grounds)) {
        return {TipOf::kOtherServer};
    }
    return {};
}

std::string tipsLine(const std::vector<Tip>& tips) {
    std::string line;
    for (const Tip& tip : tips) {
        line += (line.empty() ? "what may help: " : "; ") + std::string(tip.text);
    }
    return line;
}

bool worthReporting(const Analysis::Verdict& verdict) {
    return std::any_of(verdict.findings.begin(), verdict.findings.end(),
                       [](const Analysis::Finding& f) {
                           return f.cause == Cause::Server || f.cause == Cause::Connection;
                       });
}

std::string hostReportLine(const Analysis::MatchReport& report) {
    std::string problems;
    for (const Analysis::Finding& finding : report.verdict.findings) {
        if (finding.cause == Cause::Server || finding.cause == Cause::Connection) {
            problems += (problems.empty() ? "" : ", ") + std::string(problemName(finding.problem));
        }
    }
    return Tools::formatClock(report.figures.start) + " UTC, " +
           Tools::formatMatchTime(report.figures.lengthSeconds) + " long, match " +
           (report.info.matchGuid.empty() ? std::string("without an id") : report.info.matchGuid) +
           " on " + report.info.server() + ": " + problems;
}

std::string hostReport(std::string_view serverIp, const std::vector<std::string>& lines,
                       std::size_t leftOut) {
    std::string text = "Server " + std::string(serverIp) + ", matches with problems (UTC):";
    for (const std::string& line : lines) {
        text += "\n- " + line;
    }
    if (leftOut > 0) {
        text += "\n(and " + Tools::plural(leftOut, "earlier match", "earlier matches") + ")";
    }
    return text;
}

}  // namespace Quorvel::Present
