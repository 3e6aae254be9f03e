#include "Verdict.h"

#include <array>

#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

constexpr std::array<Cause, 3> kCausesInOrder = {Cause::Connection, Cause::Server, Cause::Computer};

// The kinds of event each cause is made of, worst-felt first, with the problem they
// are.
struct KindOfCause {
    Cause cause;
    EventKind kind;
    Problem problem;
};
constexpr KindOfCause kCausesOfKinds[] = {
    {Cause::Connection, EventKind::Outage, Problem::Outages},
    {Cause::Connection, EventKind::LossBurst, Problem::Loss},
    {Cause::Connection, EventKind::SteadyLoss, Problem::Loss},
    {Cause::Connection, EventKind::UnstablePing, Problem::UnstablePing},
    {Cause::Connection, EventKind::PingSpike, Problem::PingSpikes},
    {Cause::Server, EventKind::NothingIn, Problem::NothingComingIn},
    {Cause::Server, EventKind::ServerHiccup, Problem::ServerHiccups},
    {Cause::Computer, EventKind::Stutter, Problem::Stutter},
    {Cause::Computer, EventKind::FpsDrop, Problem::FpsDrops},
    {Cause::Computer, EventKind::BufferAboveTarget, Problem::FullInputBuffer},
};

// The whole-match rules.
std::optional<HighPingThroughout> highPing(const MatchFigures& f) {
    if (!f.ping || f.ping->p95 < T::kHighPingP95Ms) {
        return std::nullopt;
    }
    return HighPingThroughout{f.ping->p95};
}

// Latency high while ping is normal: a high ping explains a high latency.
std::optional<HighLatencyThroughout> highLatency(const MatchFigures& f) {
    if (!f.latency || !f.ping || highPing(f) || f.latency->median < T::kHighLatencyMedianMs ||
        f.latency->median - f.ping->median < T::kHiccupExcessMs) {
        return std::nullopt;
    }
    return HighLatencyThroughout{f.latency->median, f.ping->median};
}

std::optional<LowFpsThroughout> lowFps(const MatchFigures& f) {
    if (!f.fps || f.fps->median >= T::kLowFps) {
        return std::nullopt;
    }
    return LowFpsThroughout{f.fps->median};
}

// The whole-match problem found right after the events of `kind` (a ping high
// throughout after ping spikes), nothing for none; an FPS low throughout only when no
// FPS drop counts.
std::optional<Finding> wholeMatchAfter(EventKind kind, const MatchFigures& f,
                                       const MatchEvents& events) {
    switch (kind) {
        case EventKind::PingSpike:
            if (const auto high = highPing(f)) {
                return Finding{Cause::Connection, Problem::HighPing, *high};
            }
            return std::nullopt;
        case EventKind::ServerHiccup:
            if (const auto high = highLatency(f)) {
                return Finding{Cause::Server, Problem::HighLatency, *high};
            }
            return std::nullopt;
        case EventKind::FpsDrop:
            if (const auto low = lowFps(f); low && events.kinds[kind].counting == 0) {
                return Finding{Cause::Computer, Problem::LowFps, *low};
            }
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

// Every problem found, the causes in their order, each cause's worst-felt first.
std::vector<Finding> find(const MatchFigures& f, const MatchEvents& events) {
    std::vector<Finding> found;
    for (Cause cause : kCausesInOrder) {
        for (const auto& [ofCause, kind, problem] : kCausesOfKinds) {
            if (ofCause != cause) {
                continue;
            }
            const KindSummary& summary = events.kinds[kind];
            if (summary.counting > 0 && summary.worst) {
                found.push_back({cause, problem, CountingEvents{kind}});
            }
            if (auto whole = wholeMatchAfter(kind, f, events)) {
                found.push_back(*whole);
            }
        }
    }
    return found;
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
std::optional<ThinEvidence> thinEvidence(const MatchFigures& f,
                                         const std::vector<Statistic>& lacking) {
    if (f.rows < T::kEvidenceSeconds) {
        return TooFewSeconds{f.rows};
    }
    if (static_cast<double>(f.rows) < T::kEvidenceShare * static_cast<double>(f.lengthSeconds)) {
        return TooFewRows{f.rows, f.lengthSeconds};
    }
    if (!lacking.empty()) {
        return StatisticsMissing{lacking};
    }
    if (shareOfRows(f.usableLossSeconds, f) < T::kEvidenceShare) {
        return LossUnusable{f.inconsistentSeconds, f.rows};
    }
    return std::nullopt;
}

}  // namespace

std::vector<Cause> Verdict::alsoCauses() const {
    std::vector<Cause> causes;
    for (const Finding& finding : findings) {
        if (finding.cause != cause && (causes.empty() || causes.back() != finding.cause)) {
            causes.push_back(finding.cause);
        }
    }
    return causes;
}

Verdict decideVerdict(const MatchFigures& f, const MatchEvents& events) {
    Verdict verdict;
    verdict.lacking = lackingStatistics(f);
    verdict.findings = find(f, events);
    if (!verdict.findings.empty()) {
        verdict.cause = verdict.findings.front().cause;
        return verdict;
    }
    verdict.thin = thinEvidence(f, verdict.lacking);
    verdict.cause = verdict.thin ? Cause::Incomplete : Cause::Good;
    return verdict;
}

}  // namespace Quorvel::Analysis
