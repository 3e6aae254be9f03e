#include "TableColumns.h"

#include "DisplayText.h"
#include "Names.h"

namespace Quorvel::Present {

namespace {

using Analysis::DaySummary;
using Analysis::Figure;
using Analysis::GroupSummary;
using Analysis::MatchReport;
using Analysis::ServerSummary;
using Tools::formatFigure;
using Tools::kNoFigure;

std::string pair(Figure a, Figure b, int decimals) {
    if (!a && !b) {
        return std::string(kNoFigure);
    }
    return formatFigure(a, decimals) + "/" + formatFigure(b, decimals);
}

// A pair of a distribution's members, or none without values.
template <typename Member>
std::string pairOf(const std::optional<Analysis::Distribution>& d, Member first, Member second) {
    return d ? pair((*d).*first, (*d).*second, 0) : std::string(kNoFigure);
}

// The events that count, and then the minor ones: "1+4".
std::string eventsCell(const MatchReport& r) {
    const std::size_t counting = r.events.counting();
    return std::to_string(counting) + "+" + std::to_string(r.events.total() - counting);
}

// The columns every group (a server, a day) has after its name.
template <typename Group>
std::string matchesCell(const Group& g) {
    return std::to_string(g.matches);
}
template <typename Group>
std::string playedCell(const Group& g) {
    return Tools::formatMatchTime(g.secondsPlayed);
}
template <typename Group>
std::string pingCell(const Group& g) {
    return pair(g.pingMedian, g.pingP95, 0);
}
template <typename Group>
std::string lossCell(const Group& g) {
    return pair(g.lossInPercent(), g.lossOutPercent(), 1);
}
template <typename Group>
std::string verdictsCell(const Group& g) {
    return verdictCounts(g);
}

}  // namespace

std::string verdictCounts(const GroupSummary& group) {
    std::string verdicts;
    for (std::size_t c = 0; c < Analysis::kCauseCount; ++c) {
        const auto cause = static_cast<Analysis::Cause>(c);
        if (group.verdicts[cause] > 0) {
            verdicts += (verdicts.empty() ? "" : ", ") + std::to_string(group.verdicts[cause]) +
                        " " + std::string(causeName(cause));
        }
    }
    return verdicts;
}

const std::vector<Column<MatchReport>>& matchColumns() {
    using Analysis::Distribution;
    static const std::vector<Column<MatchReport>> kColumns = {
        {"#", 3, true, [](const MatchReport& r) { return std::to_string(r.number); }},
        {"start (UTC)", 19, false,
         [](const MatchReport& r) { return Tools::formatClock(r.figures.start); }, true},
        {"length", 10, true,
         [](const MatchReport& r) { return Tools::formatMatchTime(r.figures.lengthSeconds); }},
        {"server", 21, false, [](const MatchReport& r) { return r.info.server(); }},
        {"ping/p99", 9, true,
         [](const MatchReport& r) {
             return pairOf(r.figures.ping, &Distribution::median, &Distribution::p99);
         }},
        {"jitter", 6, true,
         [](const MatchReport& r) { return formatFigure(r.figures.jitterMs(), 1); }},
        {"latency", 7, true,
         [](const MatchReport& r) {
             const auto& latency = r.figures.latency;
             return latency ? formatFigure(latency->median) : std::string(kNoFigure);
         }},
        {"loss in/out", 11, true,
         [](const MatchReport& r) {
             return pair(r.figures.lossInPercent(), r.figures.lossOutPercent(), 1);
         }},
        {"FPS/1%low", 9, true,
         [](const MatchReport& r) {
             return pairOf(r.figures.fps, &Distribution::mean, &Distribution::low1Percent);
         }},
        {"buffer", 7, true,
         [](const MatchReport& r) {
             return pair(r.figures.bufferMean, r.figures.bufferTargetMean, 1);
         }},
        {"events", 7, true, &eventsCell},
    };
    return kColumns;
}

const std::vector<Column<ServerSummary>>& serverColumns() {
    static const std::vector<Column<ServerSummary>> kColumns = {
        {"server", 21, false, [](const ServerSummary& s) { return s.serverIp; }},
        {"matches", 7, true, &matchesCell<ServerSummary>},
        {"played", 10, true, &playedCell<ServerSummary>},
        {"ping/p95", 9, true, &pingCell<ServerSummary>},
        {"jitter", 6, true, [](const ServerSummary& s) { return formatFigure(s.jitterMs(), 1); }},
        {"loss in/out", 11, true, &lossCell<ServerSummary>},
        {"verdicts", 40, false, &verdictsCell<ServerSummary>},
    };
    return kColumns;
}

const std::vector<Column<DaySummary>>& dayColumns() {
    static const std::vector<Column<DaySummary>> kColumns = {
        {"day (UTC)", 10, false, [](const DaySummary& d) { return Tools::formatDay(d.day); }},
        {"matches", 7, true, &matchesCell<DaySummary>},
        {"played", 10, true, &playedCell<DaySummary>},
        {"ping/p95", 9, true, &pingCell<DaySummary>},
        {"loss in/out", 11, true, &lossCell<DaySummary>},
        {"FPS", 5, true, [](const DaySummary& d) { return formatFigure(d.fpsMean); }},
        {"verdicts", 40, false, &verdictsCell<DaySummary>},
    };
    return kColumns;
}

}  // namespace Quorvel::Present
