#include "Verdict.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "DisplayText.h"
#include "Thresholds.h"

namespace Quorvel::Analysis {

namespace {

namespace T = Thresholds;

bool overlaps(const Stretch& a, const Stretch& b) {
    return a.offset < b.offset + b.lengthSeconds && b.offset < a.offset + a.lengthSeconds;
}

bool overlapsConnectionTrouble(const Event& e, const std::vector<Event>& all) {
    return std::any_of(all.begin(), all.end(), [&e](const Event& other) {
        return (other.kind() == EventKind::LossBurst || other.kind() == EventKind::PingSpike) &&
               overlaps(e.when, other.when);
    });
}

std::string span(const Stretch& s) {
    return Tools::formatMatchTime(s.offset) + "\u2013" +
           Tools::formatMatchTime(s.offset + s.lengthSeconds);
}

std::string count(std::size_t n, EventKind kind) {
    return std::to_string(n) + " " + std::string(eventKindName(kind, n != 1));
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", value);
    return text;
}

// The events of one kind that count in the verdict, worst first by `worse`.
template <typename Detail, typename Worse>
std::vector<const Event*> significant(const MatchEvents& events, Worse worse,
                                      bool excludeConnectionOverlap = false) {
    std::vector<const Event*> found;
    for (const Event& e : events.events) {
        if (e.kind() == kindOf<Detail>() && e.significant &&
            !(excludeConnectionOverlap && overlapsConnectionTrouble(e, events.events))) {
            found.push_back(&e);
        }
    }
    std::stable_sort(found.begin(), found.end(), [&worse](const Event* a, const Event* b) {
        return worse(std::get<Detail>(a->what), std::get<Detail>(b->what), *a, *b);
    });
    return found;
}

std::string lossText(const std::vector<const Event*>& bursts) {
    const auto& w = std::get<LossBurst>(bursts.front()->what);
    std::string lost;
    if (w.worstLostInPerSecond > 0 && w.worstLostOutPerSecond > 0) {
        lost = number(w.worstLostInPerSecond) + " packets a second lost coming in, " +
               number(w.worstLostOutPerSecond) + " going out";
    } else if (w.worstLostInPerSecond > 0) {
        lost = number(w.worstLostInPerSecond) + " packets a second lost coming in";
    } else {
        lost = number(w.worstLostOutPerSecond) + " packets a second lost going out";
    }
    return count(bursts.size(), EventKind::LossBurst) + ", worst " + span(bursts.front()->when) +
           ", " + lost;
}

std::string spikeText(const std::vector<const Event*>& spikes) {
    const auto& w = std::get<PingSpike>(spikes.front()->what);
    return count(spikes.size(), EventKind::PingSpike) + ", worst " + span(spikes.front()->when) +
           ", up to " + number(w.worstMs) + " ms (typical " + number(w.typicalMs) + " ms)";
}

std::string dropText(const std::vector<const Event*>& drops) {
    const auto& w = std::get<FpsDrop>(drops.front()->what);
    return count(drops.size(), EventKind::FpsDrop) + ", worst " + span(drops.front()->when) +
           ", down to " + number(w.worstFps) + " FPS (typical " + number(w.typicalFps) + ")";
}

std::string bufferText(const std::vector<const Event*>& runs) {
    std::int64_t seconds = 0;
    for (const Event* e : runs) {
        seconds += e->when.lengthSeconds;
    }
    const auto& w = std::get<BufferAboveTarget>(runs.front()->what);
    return "input buffer above target for " + std::to_string(seconds) + " s, worst " +
           span(runs.front()->when) + ", " + number(w.worstBuffer) +
           " frames against a target of " + number(w.target);
}

// What was found, per cause, in a player's words.
struct Findings {
    std::vector<std::string> connection, server, computer;
};

void findConnection(const MatchFigures& f, const MatchEvents& events, Findings& found) {
    const auto bursts = significant<LossBurst>(
        events, [](const LossBurst& a, const LossBurst& b, const Event&, const Event&) {
            if (a.worstSharePercent != b.worstSharePercent) {
                return a.worstSharePercent > b.worstSharePercent;
            }
            return std::max(a.worstLostInPerSecond, a.worstLostOutPerSecond) >
                   std::max(b.worstLostInPerSecond, b.worstLostOutPerSecond);
        });
    if (!bursts.empty()) {
        found.connection.push_back(lossText(bursts));
    }
    const auto spikes =
        significant<PingSpike>(events, [](const PingSpike& a, const PingSpike& b, const Event&,
                                          const Event&) { return a.worstMs > b.worstMs; });
    if (!spikes.empty()) {
        found.connection.push_back(spikeText(spikes));
    }
    if (f.ping && f.ping->p95 >= T::kHighPingP95Ms) {
        found.connection.push_back("ping high throughout (95 % of seconds up to " +
                                   number(f.ping->p95) + " ms)");
    }
}

void findServer(const MatchFigures& f, Findings& found) {
    const bool highPing = f.ping && f.ping->p95 >= T::kHighPingP95Ms;
    if (f.latency && f.ping && !highPing && f.latency->median >= T::kHighLatencyMedianMs) {
        found.server.push_back("latency " + number(f.latency->median) +
                               " ms (median) while ping is " + number(f.ping->median) + " ms");
    }
}

void findComputer(const MatchFigures& f, const MatchEvents& events, Findings& found) {
    const auto drops = significant<FpsDrop>(
        events,
        [](const FpsDrop& a, const FpsDrop& b, const Event&, const Event&) {
            return a.worstFps < b.worstFps;
        },
        true);
    if (!drops.empty()) {
        found.computer.push_back(dropText(drops));
    } else if (f.fps && f.fps->median < T::kLowFps) {
        found.computer.push_back("low FPS throughout (median " + number(f.fps->median) + ")");
    }
    const auto buffers = significant<BufferAboveTarget>(
        events,
        [](const BufferAboveTarget&, const BufferAboveTarget&, const Event& a, const Event& b) {
            return a.when.lengthSeconds > b.when.lengthSeconds;
        },
        true);
    if (!buffers.empty()) {
        found.computer.push_back(bufferText(buffers));
    }
}

std::vector<Statistic> lackingEvidence(const MatchFigures& f) {
    std::vector<Statistic> lacking;
    for (Statistic s : {Statistic::Ping, Statistic::Latency, Statistic::FPS, Statistic::PacketsIn,
                        Statistic::PacketsOut, Statistic::LostPacketsIn, Statistic::LostPacketsOut,
                        Statistic::Buffer, Statistic::BufferTarget}) {
        const double share =
            f.rows == 0 ? 0.0
                        : static_cast<double>(f.rows - f.missing[s]) / static_cast<double>(f.rows);
        if (share < T::kEvidenceShare) {
            lacking.push_back(s);
        }
    }
    return lacking;
}

// The first cause found leads; the others follow as "(also ...)".
bool nameCauses(const Findings& found, Verdict& verdict) {
    const std::pair<Cause, const std::vector<std::string>*> causes[] = {
        {Cause::Connection, &found.connection},
        {Cause::Server, &found.server},
        {Cause::Computer, &found.computer}};
    for (const auto& [cause, texts] : causes) {
        if (texts->empty()) {
            continue;
        }
        if (!verdict.text.empty()) {
            verdict.alsoCauses.push_back(cause);
            continue;
        }
        verdict.cause = cause;
        verdict.text = std::string(causeName(cause)) + ": " + texts->front();
        for (std::size_t i = 1; i < texts->size(); ++i) {
            verdict.text += "; " + (*texts)[i];
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

}  // namespace

std::string_view causeName(Cause cause) {
    static constexpr std::array<std::string_view, kCauseCount> kNames = {
        "good", "connection", "server", "computer", "incomplete"};
    return kNames[static_cast<std::size_t>(cause)];
}

Verdict decideVerdict(const MatchFigures& f, const MatchEvents& events) {
    Findings found;
    findConnection(f, events, found);
    findServer(f, found);
    findComputer(f, events, found);

    Verdict verdict;
    verdict.lacking = lackingEvidence(f);
    if (nameCauses(found, verdict)) {
        return verdict;
    }
    if (!verdict.lacking.empty()) {
        verdict.cause = Cause::Incomplete;
        verdict.text = "incomplete: no verdict without ";
        for (std::size_t i = 0; i < verdict.lacking.size(); ++i) {
            verdict.text +=
                (i == 0 ? "" : ", ") + std::string(Format::statisticName(verdict.lacking[i]));
        }
        verdict.text += " (missing in more than half of the seconds)";
        return verdict;
    }
    verdict.text = "good: no problem found";
    return verdict;
}

}  // namespace Quorvel::Analysis
