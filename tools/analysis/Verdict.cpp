#include "Verdict.h"

#include <optional>
#include <utility>

#include "Thresholds.h"
#include "VerdictTexts.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

// What was found, per cause, in a player's words, in the order the causes lead.
struct Findings {
    PerCause<std::vector<std::string>> texts;
    std::vector<Finding> problems;

    void add(Cause cause, std::string_view problem, const std::optional<std::string>& text) {
        if (text) {
            texts[cause].push_back(*text);
            problems.push_back({cause, problem});
        }
    }
};

// The kinds of event each cause is made of, worst-felt first, with the problem's name.
struct KindOfCause {
    Cause cause;
    EventKind kind;
    std::string_view problem;
};
constexpr KindOfCause kCausesOfKinds[] = {
    {Cause::Connection, EventKind::Outage, "outages"},
    {Cause::Connection, EventKind::LossBurst, "loss"},
    {Cause::Connection, EventKind::SteadyLoss, "loss"},
    {Cause::Connection, EventKind::UnstablePing, "unstable ping"},
    {Cause::Connection, EventKind::PingSpike, "ping spikes"},
    {Cause::Server, EventKind::NothingIn, "nothing coming in"},
    {Cause::Server, EventKind::ServerHiccup, "server hiccups"},
    {Cause::Computer, EventKind::Stutter, "stutter"},
    {Cause::Computer, EventKind::FpsDrop, "FPS drops"},
    {Cause::Computer, EventKind::BufferAboveTarget, "a full input buffer"},
};

// The whole-match problem named right after the events of a kind ("high ping" after
// ping spikes); empty for none.
constexpr std::string_view wholeMatchProblem(EventKind kind) {
    switch (kind) {
        case EventKind::PingSpike:
            return "high ping";
        case EventKind::ServerHiccup:
            return "high latency";
        case EventKind::FpsDrop:
            return "low FPS";
        default:
            return {};
    }
}

Findings find(const MatchFigures& f, const MatchEvents& events) {
    Findings found;
    for (const auto& [cause, kind, problem] : kCausesOfKinds) {
        found.add(cause, problem, countingText(kind, events.kinds[kind]));
        const std::string_view whole = wholeMatchProblem(kind);
        if (kind == EventKind::PingSpike) {
            found.add(Cause::Connection, whole, highPingText(f));
        } else if (kind == EventKind::ServerHiccup) {
            found.add(Cause::Server, whole, highLatencyText(f));
        } else if (kind == EventKind::FpsDrop && events.kinds[kind].counting == 0) {
            found.add(Cause::Computer, whole, lowFpsText(f));
        }
    }
    return found;
}

// The first cause found leads; the others follow as "(also ...)".
bool nameCauses(const Findings& found, Verdict& verdict) {
    for (Cause cause : {Cause::Connection, Cause::Server, Cause::Computer}) {
        const std::vector<std::string>& texts = found.texts[cause];
        if (texts.empty()) {
            continue;
        }
        if (!verdict.text.empty()) {
            verdict.alsoCauses.push_back(cause);
            continue;
        }
        verdict.cause = cause;
        verdict.text = std::string(causeName(cause)) + ": " + texts.front();
        for (std::size_t i = 1; i < texts.size(); ++i) {
            verdict.text += "; " + texts[i];
        }
    }
    if (verdict.text.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < verdict.alsoCauses.size(); ++i) {
        verdict.text += (i == 0 ? " (also " : ", ") + std::string(causeName(verdict.alsoCauses[i]));
    }
    verdict.text += verdict.alsoCauses.empty() ? "" : ")";
    return true;
}

double shareOfRows(std::size_t part, const MatchFigures& f) {
    return f.rows == 0 ? 0.0 : static_cast<double>(part) / static_cast<double>(f.rows);
}

std::vector<Statistic> lackingStatistics(const MatchFigures& f) {
    std::vector<Statistic> lacking;
    for (Statistic s : Format::kStatistics) {
        if (shareOfRows(f.rows - f.missing[s], f) < T::kEvidenceShare) {
            lacking.push_back(s);
        }
    }
    return lacking;
}

// Why the seconds recorded are too few, or too little of them usable, to call the match
// good; nothing when they are enough.
std::optional<std::string> thinEvidence(const MatchFigures& f,
                                        const std::vector<Statistic>& lacking) {
    if (f.rows < T::kEvidenceSeconds) {
        return "only " + std::to_string(f.rows) + (f.rows == 1 ? " second" : " seconds") +
               " recorded (a verdict needs " + std::to_string(T::kEvidenceSeconds) + ")";
    }
    if (static_cast<double>(f.rows) < T::kEvidenceShare * static_cast<double>(f.lengthSeconds)) {
        return "only " + std::to_string(f.rows) + " of the " + std::to_string(f.lengthSeconds) +
               " seconds the match spans were recorded";
    }
    if (!lacking.empty()) {
        std::string names;
        for (Statistic s : lacking) {
            names += (names.empty() ? "" : ", ") + std::string(Format::statisticName(s));
        }
        return "no verdict without " + names + " (missing in more than half of the seconds)";
    }
    if (shareOfRows(f.usableLossSeconds, f) < T::kEvidenceShare) {
        return "no verdict on packet loss: more packets lost than counted in " +
               std::to_string(f.inconsistentSeconds) + " of " + std::to_string(f.rows) + " seconds";
    }
    return std::nullopt;
}

std::string goodText(const MatchEvents& events) {
    std::string text = "good: no problem found";
    for (std::size_t k = 0; k < kEventKindCount; ++k) {
        const auto kind = static_cast<EventKind>(k);
        if (const auto minor = minorText(kind, events.kinds[kind])) {
            text += "; " + *minor;
        }
    }
    return text;
}

}  // namespace

std::size_t problemOrder(std::string_view problem) {
    std::size_t order = 0;
    for (const auto& [cause, kind, name] : kCausesOfKinds) {
        for (std::string_view each : {name, wholeMatchProblem(kind)}) {
            if (each == problem) {
                return order;
            }
            order += each.empty() ? 0u : 1u;
        }
    }
    return order;
}

std::string_view causeName(Cause cause) {
    static constexpr std::array<std::string_view, kCauseCount> kNames = {
        "good", "connection", "server", "computer", "incomplete"};
    return kNames[static_cast<std::size_t>(cause)];
}

Verdict decideVerdict(const MatchFigures& f, const MatchEvents& events) {
    Verdict verdict;
    verdict.lacking = lackingStatistics(f);
    const Findings found = find(f, events);
    if (nameCauses(found, verdict)) {
        for (Cause cause : {Cause::Connection, Cause::Server, Cause::Computer}) {
            for (const Finding& finding : found.problems) {
                if (finding.cause == cause) {
                    verdict.findings.push_back(finding);
                }
            }
        }
        return verdict;
    }
    if (const auto thin = thinEvidence(f, verdict.lacking)) {
        verdict.cause = Cause::Incomplete;
        verdict.text = "incomplete: " + *thin;
        return verdict;
    }
    verdict.text = goodText(events);
    return verdict;
}

}  // namespace Quorvel::Analysis
