#include "Verdict.h"

#include <algorithm>
#include <cstdio>

#include "DisplayText.h"
#include "Thresholds.h"

namespace Quorvel::Summary {

namespace {

namespace T = Thresholds;

bool overlaps(const Event& a, const Event& b) {
    return a.offset < b.offset + b.lengthSeconds && b.offset < a.offset + a.lengthSeconds;
}

bool overlapsConnectionTrouble(const Event& e, const std::vector<Event>& all) {
    return std::any_of(all.begin(), all.end(), [&e](const Event& other) {
        return (other.kind == EventKind::LossBurst || other.kind == EventKind::PingSpike) &&
               overlaps(e, other);
    });
}

std::string span(const Event& e) {
    return formatMatchTime(e.offset) + "\u2013" + formatMatchTime(e.offset + e.lengthSeconds);
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
template <typename Worse>
std::vector<const Event*> significant(const MatchEvents& events, EventKind kind, Worse worse,
                                      bool excludeConnectionOverlap = false) {
    std::vector<const Event*> found;
    for (const Event& e : events.events) {
        if (e.kind == kind && e.significant &&
            !(excludeConnectionOverlap && overlapsConnectionTrouble(e, events.events))) {
            found.push_back(&e);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [&worse](const Event* a, const Event* b) { return worse(*a, *b); });
    return found;
}

std::string lossText(const std::vector<const Event*>& bursts) {
    const Event& w = *bursts.front();
    std::string lost;
    if (w.worstIn > 0 && w.worstOut > 0) {
        lost = number(w.worstIn) + " packets a second lost coming in, " + number(w.worstOut) +
               " going out";
    } else if (w.worstIn > 0) {
        lost = number(w.worstIn) + " packets a second lost coming in";
    } else {
        lost = number(w.worstOut) + " packets a second lost going out";
    }
    return count(bursts.size(), EventKind::LossBurst) + ", worst " + span(w) + ", " + lost;
}

std::string spikeText(const std::vector<const Event*>& spikes) {
    const Event& w = *spikes.front();
    return count(spikes.size(), EventKind::PingSpike) + ", worst " + span(w) + ", up to " +
           number(w.worst) + " ms (typical " + number(w.typical) + " ms)";
}

std::string dropText(const std::vector<const Event*>& drops) {
    const Event& w = *drops.front();
    return count(drops.size(), EventKind::FpsDrop) + ", worst " + span(w) + ", down to " +
           number(w.worst) + " FPS (typical " + number(w.typical) + ")";
}

std::string bufferText(const std::vector<const Event*>& runs) {
    std::int64_t seconds = 0;
    for (const Event* e : runs) {
        seconds += e->lengthSeconds;
    }
    const Event& w = *runs.front();
    return "input buffer above target for " + std::to_string(seconds) + " s, worst " + span(w) +
           ", " + number(w.worst) + " frames against a target of " + number(w.typical);
}

}  // namespace

std::string_view causeName(Cause cause) {
    switch (cause) {
        case Cause::Good:
            return "good";
        case Cause::Connection:
            return "connection";
        case Cause::Server:
            return "server";
        case Cause::Computer:
            return "computer";
        case Cause::Incomplete:
            return "incomplete";
    }
    return "unknown";
}

Verdict decideVerdict(const MatchFigures& f, const MatchEvents& events) {
    const auto byShare = [](const Event& a, const Event& b) {
        if (a.worstSharePercent != b.worstSharePercent) {
            return a.worstSharePercent > b.worstSharePercent;
        }
        return a.worst > b.worst;
    };
    const auto byHighest = [](const Event& a, const Event& b) { return a.worst > b.worst; };
    const auto byLowest = [](const Event& a, const Event& b) { return a.worst < b.worst; };
    const auto byLength = [](const Event& a, const Event& b) {
        return a.lengthSeconds > b.lengthSeconds;
    };

    // Connection: loss bursts, ping spikes, a ping high throughout.
    std::vector<std::string> connection;
    const auto bursts = significant(events, EventKind::LossBurst, byShare);
    if (!bursts.empty()) {
        connection.push_back(lossText(bursts));
    }
    const auto spikes = significant(events, EventKind::PingSpike, byHighest);
    if (!spikes.empty()) {
        connection.push_back(spikeText(spikes));
    }
    const bool highPing = f.ping && f.ping->p95 >= T::kHighPingP95Ms;
    if (highPing) {
        connection.push_back("ping high throughout (95 % of seconds up to " + number(f.ping->p95) +
                             " ms)");
    }

    // Server: a high latency while the ping is normal.
    std::vector<std::string> server;
    if (f.latency && f.ping && !highPing && f.latency->median >= T::kHighLatencyMedianMs) {
        server.push_back("latency " + number(f.latency->median) + " ms (median) while ping is " +
                         number(f.ping->median) + " ms");
    }

    // Computer: FPS drops and a full input buffer while the connection is quiet.
    std::vector<std::string> computer;
    const auto drops = significant(events, EventKind::FpsDrop, byLowest, true);
    if (!drops.empty()) {
        computer.push_back(dropText(drops));
    } else if (f.fps && f.fps->median < T::kLowFps) {
        computer.push_back("low FPS throughout (median " + number(f.fps->median) + ")");
    }
    const auto buffers = significant(events, EventKind::BufferAboveTarget, byLength, true);
    if (!buffers.empty()) {
        computer.push_back(bufferText(buffers));
    }

    Verdict verdict;
    const auto share = [&f](Statistic s) {
        return f.rows == 0
                   ? 0.0
                   : static_cast<double>(f.rows - f.missingOf(s)) / static_cast<double>(f.rows);
    };
    for (Statistic s : {Statistic::Ping, Statistic::Latency, Statistic::FPS, Statistic::PacketsIn,
                        Statistic::PacketsOut, Statistic::LostPacketsIn, Statistic::LostPacketsOut,
                        Statistic::Buffer, Statistic::BufferTarget}) {
        if (share(s) < T::kEvidenceShare) {
            verdict.lacking.push_back(statisticName(s));
        }
    }

    const std::pair<Cause, std::vector<std::string>*> found[] = {
        {Cause::Connection, &connection}, {Cause::Server, &server}, {Cause::Computer, &computer}};
    for (const auto& [cause, texts] : found) {
        if (texts->empty()) {
            continue;
        }
        if (verdict.text.empty()) {
            verdict.cause = cause;
            verdict.text = std::string(causeName(cause)) + ": " + texts->front();
            for (std::size_t i = 1; i < texts->size(); ++i) {
                verdict.text += "; " + (*texts)[i];
            }
        } else {
            verdict.alsoCauses.push_back(cause);
        }
    }
    if (!verdict.text.empty()) {
        if (!verdict.alsoCauses.empty()) {
            verdict.text += " (also ";
            for (std::size_t i = 0; i < verdict.alsoCauses.size(); ++i) {
                verdict.text +=
                    (i == 0 ? "" : ", ") + std::string(causeName(verdict.alsoCauses[i]));
            }
            verdict.text += ")";
        }
        return verdict;
    }
    if (!verdict.lacking.empty()) {
        verdict.cause = Cause::Incomplete;
        verdict.text = "incomplete: no verdict without ";
        for (std::size_t i = 0; i < verdict.lacking.size(); ++i) {
            verdict.text += (i == 0 ? "" : ", ") + std::string(verdict.lacking[i]);
        }
        verdict.text += " (missing in more than half of the seconds)";
        return verdict;
    }
    verdict.text = "good: no problem found";
    return verdict;
}

}  // namespace Quorvel::Summary
