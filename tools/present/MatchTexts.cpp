#include "MatchTexts.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <variant>

#include "DisplayText.h"
#include "Thresholds.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

namespace {

using Analysis::Figure;
using Tools::formatFigure;
using Tools::kNoFigure;

std::string pair(Figure a, Figure b, int decimals) {
    if (!a && !b) {
        return std::string(kNoFigure);
    }
    return formatFigure(a, decimals) + "/" + formatFigure(b, decimals);
}

std::string plural(std::size_t n, std::string_view one, std::string_view many) {
    return std::to_string(n) + " " + std::string(n == 1 ? one : many);
}

std::string number(double value, int decimals = 0) {
    return formatFigure(value, decimals);
}

std::string missingNote(const Analysis::MatchFigures& f) {
    std::string missing;
    for (Format::Statistic s : Format::kStatistics) {
        if (f.missing[s] > 0) {
            missing += (missing.empty() ? "" : ", ") + std::string(Format::statisticName(s)) + " " +
                       std::to_string(f.missing[s]) + " s";
        }
    }
    return missing.empty() ? missing : "no value: " + missing;
}

struct DetailTexts {
    std::string worst;
    std::string band;
};

// The label of an event's band on a chart: short, with its worst value. One overload a
// kind, so that a new kind cannot go without one.
struct BandLabel {
    using S = std::string;
    S operator()(const Analysis::PingSpike& e) const {
        return "spike " + number(e.worstMs) + " ms";
    }
    S operator()(const Analysis::UnstablePing& e) const {
        return "unstable " + number(e.lowMs) + "\u2013" + number(e.highMs) + " ms";
    }
    S operator()(const Analysis::LossBurst& e) const {
        return "loss " + number(std::max(e.worstLostInPerSecond, e.worstLostOutPerSecond)) + "/s";
    }
    S operator()(const Analysis::SteadyLoss& e) const {
        return "steady loss " + number(std::max(e.lostInPercent, e.lostOutPercent), 1) + " %";
    }
    S operator()(const Analysis::NothingIn& e) const {
        return "nothing in (" + number(e.worstPacketsIn) + "/s)";
    }
    S operator()(const Analysis::Outage& e) const {
        return "outage (" + number(e.worstPacketsIn) + " in, " + number(e.mostPacketsOut) + " out)";
    }
    S operator()(const Analysis::ServerHiccup& e) const {
        return "latency " + number(e.worstLatencyMs) + " ms";
    }
    S operator()(const Analysis::FpsDrop& e) const { return "drop " + number(e.worstFps) + " FPS"; }
    S operator()(const Analysis::Stutter& e) const {
        return "stutter, " + std::to_string(e.drops) + " drops";
    }
    S operator()(const Analysis::BufferAboveTarget& e) const {
        return "buffer " + number(e.worstBuffer);
    }
    S operator()(const Analysis::NoValue&) const { return "no value"; }
    S operator()(const Analysis::NotRecorded&) const { return "not recorded"; }
};

DetailTexts detailTexts(const Analysis::EventDetail& what) {
    using namespace Analysis;
    std::string worst = worstWords(what);
    if (const auto* e = std::get_if<LossBurst>(&what)) {
        worst += " (" + number(e->worstSharePercent, 1) + " % of the packets)";
    }
    if (const auto* e = std::get_if<NoValue>(&what)) {
        for (Format::Statistic s : Format::kStatistics) {
            if (e->statistics[s]) {
                worst += (worst.empty() ? "" : ", ") + std::string(Format::statisticName(s));
            }
        }
    }
    return {worst, std::visit(BandLabel{}, what)};
}

// The events that count, and then the minor ones: "1+4".
std::string eventsCell(const Analysis::MatchEvents& events) {
    const std::size_t counting = events.counting();
    return std::to_string(counting) + "+" + std::to_string(events.total() - counting);
}

}  // namespace

const std::array<Column, kMatchColumnCount> kMatchColumns = {{
    {"#", 3, true},
    {"start (UTC)", 19, false},
    {"length", 10, true},
    {"server", 21, false},
    {"ping/p99", 9, true},
    {"jitter", 6, true},
    {"latency", 7, true},
    {"loss in/out", 11, true},
    {"FPS/1%low", 9, true},
    {"buffer", 7, true},
    {"events", 7, true},
}};

const std::array<Column, kServerColumnCount> kServerColumns = {{
    {"server", 21, false},
    {"matches", 7, true},
    {"played", 10, true},
    {"ping/p95", 9, true},
    {"jitter", 6, true},
    {"loss in/out", 11, true},
    {"verdicts", 40, false},
}};

const std::array<Column, kDayColumnCount> kDayColumns = {{
    {"day (UTC)", 10, false},
    {"matches", 7, true},
    {"played", 10, true},
    {"ping/p95", 9, true},
    {"loss in/out", 11, true},
    {"FPS", 5, true},
    {"verdicts", 40, false},
}};

const std::string_view kFiguresLegend =
    "ping, jitter and latency in ms (median, then 99th or 95th percentile); loss in % of\n"
    "packets; FPS mean and 1 % low; input buffer mean and its target in frames; events\n"
    "that count in the verdict + minor ones\n";

MatchCells matchCells(const MatchReport& r) {
    const Analysis::MatchFigures& f = r.figures;
    return {std::to_string(r.number),
            Tools::formatClock(f.start),
            Tools::formatMatchTime(f.lengthSeconds),
            r.info.server(),
            f.ping ? pair(f.ping->median, f.ping->p99, 0) : std::string(kNoFigure),
            formatFigure(f.jitterMs(), 1),
            f.latency ? formatFigure(f.latency->median) : std::string(kNoFigure),
            pair(f.lossInPercent(), f.lossOutPercent(), 1),
            f.fps ? pair(f.fps->mean, f.fps->low1Percent, 0) : std::string(kNoFigure),
            pair(f.bufferMean, f.bufferTargetMean, 1),
            eventsCell(r.events)};
}

// "3 good, 1 connection".
std::string verdictCounts(const Analysis::GroupSummary& s) {
    std::string verdicts;
    for (std::size_t c = 0; c < Analysis::kCauseCount; ++c) {
        const auto cause = static_cast<Analysis::Cause>(c);
        if (s.verdicts[cause] > 0) {
            verdicts += (verdicts.empty() ? "" : ", ") + std::to_string(s.verdicts[cause]) + " " +
                        std::string(Analysis::causeName(cause));
        }
    }
    return verdicts;
}

ServerCells serverCells(const ServerSummary& s) {
    return {s.serverIp,
            std::to_string(s.matches),
            Tools::formatMatchTime(s.secondsPlayed),
            pair(s.pingMedian, s.pingP95, 0),
            formatFigure(s.jitterMs(), 1),
            pair(s.lossInPercent(), s.lossOutPercent(), 1),
            verdictCounts(s)};
}

DayCells dayCells(const Analysis::DaySummary& d) {
    return {Tools::formatDay(d.day),
            std::to_string(d.matches),
            Tools::formatMatchTime(d.secondsPlayed),
            pair(d.pingMedian, d.pingP95, 0),
            pair(d.lossInPercent(), d.lossOutPercent(), 1),
            formatFigure(d.fpsMean),
            verdictCounts(d)};
}

std::string gameClosedNote(const MatchReport& r) {
    if (!r.origin.cutShort) {
        return {};
    }
    return "the game closed during this match; recorded until " +
           Tools::formatMatchTime(r.figures.lengthSeconds);
}

std::string matchNotes(const MatchReport& r) {
    const Analysis::MatchFigures& f = r.figures;
    std::string notes;
    const auto add = [&notes](const std::string& note) {
        if (!note.empty()) {
            notes += (notes.empty() ? "" : "; ") + note;
        }
    };
    if (f.gaps > 0) {
        add(plural(f.gaps, "gap", "gaps") + " (" + std::to_string(f.gapSeconds) +
            " s not recorded)");
    }
    if (f.clockStepsBack > 0) {
        add("clock stepped back " + plural(f.clockStepsBack, "time", "times"));
    }
    if (f.repeatedSeconds > 0) {
        add(plural(f.repeatedSeconds, "second", "seconds") + " written more than once");
    }
    add(missingNote(f));
    if (f.inconsistentSeconds > 0) {
        add(plural(f.inconsistentSeconds, "second", "seconds") +
            " with more packets lost than counted (left out of the loss)");
    }
    std::string closed = gameClosedNote(r);
    if (notes.empty() && f.rows == static_cast<std::size_t>(f.lengthSeconds)) {
        return closed;
    }
    return (closed.empty() ? "" : closed + "; ") + plural(f.rows, "row", "rows") +
           (notes.empty() ? "" : "; " + notes);
}

std::string matchTitle(const MatchReport& r) {
    return "Match " + std::to_string(r.number) + ": " + Tools::formatClock(r.figures.start) +
           " UTC on " + r.info.server() +
           (r.info.matchGuid.empty() ? "" : " (" + r.info.matchGuid + ")");
}

std::string matchSource(const MatchReport& r, const std::vector<Read::Input>& files) {
    std::vector<const Matches::MatchPiece*> gave;
    for (const Matches::MatchPiece& piece : r.origin.pieces) {
        if (piece.newSeconds > 0) {
            gave.push_back(&piece);
        }
    }
    if (gave.size() < 2) {
        return "from " + files.at(r.input).name() + ", player " + r.info.userId;
    }
    std::string from;
    for (std::size_t i = 0; i < gave.size(); ++i) {
        from += i == 0 ? "from " : i + 1 == gave.size() ? " and " : ", ";
        from += files.at(gave[i]->input).name() + " (" +
                plural(gave[i]->newSeconds, "row", "rows") + ")";
    }
    return from + ", joined by their seconds; player " + r.info.userId;
}

std::string conclusionLine(const Analysis::Conclusion& conclusion, bool severalPlayers) {
    return (severalPlayers ? "Overall for " + conclusion.player + ": " : "Overall: ") +
           conclusion.text;
}

EventTexts eventTexts(const Event& e) {
    DetailTexts detail = detailTexts(e.what);
    return {std::string(Analysis::eventKindName(e.kind())),
            Tools::formatMatchTime(e.when.offset),
            Tools::formatClock(e.when.clock),
            std::to_string(e.when.lengthSeconds) + " s",
            std::move(detail.worst),
            std::move(detail.band)};
}

std::string pageTitle(const std::vector<TitleFile>& files, const std::set<std::string>& players) {
    std::string names;
    for (std::size_t i = 0; i < files.size() && i < 3; ++i) {
        names +=
            (i == 0 ? "" : ", ") +
            (files[i].path.empty() ? files[i].name : Tools::displayPath(files[i].path.filename()));
    }
    if (files.size() > 3) {
        names += " and " + std::to_string(files.size() - 3) + " more";
    }
    std::string who;
    for (const std::string& player : players) {
        if (who.size() > 80) {
            who += ", \u2026";
            break;
        }
        who += (who.empty() ? "" : ", ") + player;
    }
    return "Quorvel report: " + names + (who.empty() ? "" : " (" + who + ")");
}

std::string pageTitle(const std::vector<InputSummary>& inputs) {
    std::vector<TitleFile> files;
    files.reserve(inputs.size());
    std::set<std::string> players;
    for (const InputSummary& input : inputs) {
        files.push_back({input.name, input.path});
        players.insert(input.players.begin(), input.players.end());
    }
    return pageTitle(files, players);
}

std::string inputHeadline(const InputSummary& input) {
    if (input.refused) {
        return input.refused->what();
    }
    // A file of many servers names the first few; the servers' table has them all.
    constexpr std::size_t kServersNamed = 10;
    std::string servers;
    std::size_t named = 0;
    for (const std::string& ip : input.servers) {
        if (named++ == kServersNamed) {
            servers += " and " + groupedCount(input.servers.size() - kServersNamed) + " more";
            break;
        }
        servers += (servers.empty() ? "" : ", ") + ip;
    }
    std::string line = input.name + ": " + plural(input.matches, "match", "matches") + ", " +
                       std::to_string(input.matchesWithProblems) + " with problems";
    line += servers.empty() ? "" : ", on " + servers;
    if (input.skipped.count() > 0) {
        line += " (" + plural(input.skipped.count(), "row", "rows") + " could not be read)";
    }
    return line;
}

std::string groupedCount(std::size_t count) {
    const std::string digits = std::to_string(count);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped.push_back(',');
        }
        grouped.push_back(digits[i]);
    }
    return grouped;
}

std::string chartedMatchesLine(std::size_t charted, std::size_t matches) {
    if (charted >= matches) {
        return {};
    }
    return "Charts for " + groupedCount(charted) + " of " + groupedCount(matches) +
           " matches: those with the most events that count first, then the latest.";
}

std::string eventsShownNote(std::size_t shown, std::size_t events) {
    if (shown >= events) {
        return {};
    }
    return "Listed and drawn: " + groupedCount(shown) + " of " + groupedCount(events) +
           " events, those that count first.";
}

std::string thresholdsNote() {
    namespace T = Thresholds;
    const auto n = [](double v) { return formatFigure(v, 0); };
    const auto s = [](auto seconds) { return std::to_string(seconds) + " s"; };
    const std::string usual =
        "Each second is measured against the match's usual value: the middle of its better "
        "half (the " +
        n(T::kUsualShare * 100) + "th percentile of ping, the " + n(100 - T::kUsualShare * 100) +
        "th of FPS and packets; packets at least " + n(T::kPlayPacketsPerSecond) +
        " a second), so that a trouble filling most of a match is not taken for its normal. ";
    const std::string ping =
        "A ping spike: Ping above the usual by " + n(T::kSpikeSigmas) +
        " times its spread (the median absolute deviation x 1.4826), " + n(T::kSpikeFloorMs) +
        " to " + n(T::kSpikeCeilingMs) + " ms; it counts with " + s(T::kSignificantSeconds) +
        " at " + n(T::kFeltSpikeMs) + " ms above the usual, or a peak " + n(T::kSevereSpikeMs) +
        " ms above. Unstable ping: " + std::to_string(T::kUnstableJumps) + " of " +
        std::to_string(T::kUnstableWindowSeconds) + " seconds changing by " + n(T::kJumpMs) +
        " ms or more; it counts from " + s(T::kUnstableFeltSeconds) + " at " +
        n(T::kUnstableFeltChangeMs) + " ms a second. ";
    const std::string packets =
        "A loss burst: seconds in a row with lost packets; it counts when a second lost " +
        n(T::kBurstLossPercent) + " % of its packets, or the match " + n(T::kMatchLossPercent) +
        " %. Steady loss: " + s(T::kSteadyLossSeconds) + " or more, every " +
        s(T::kSteadyLossSeconds) + " of it losing " + n(T::kSteadyLossPercent) +
        " % of the packets, in at least half of its seconds; it always counts. Nothing coming "
        "in: packets in at " +
        n(T::kStallInShare * 100) + " % of usual or less; an outage when packets out fell to " +
        n(T::kStallOutShare * 100) +
        " % or less too (your side), else the server's. A server "
        "hiccup: latency " +
        n(T::kHiccupExcessMs) + " ms further above ping than usual. These count from " +
        s(T::kSignificantSeconds) + ". ";
    const std::string frames =
        "An FPS drop: FPS below the usual by " + n(T::kDropSigmas) +
        " times its spread, at least " + n(T::kDropFloorShare * 100) + " % of it; it counts with " +
        s(T::kSignificantSeconds) + " at half the usual, or below " + n(T::kLowFps) +
        " FPS. Stutter: " + std::to_string(T::kStutterDrops) + " or more FPS drops of up to " +
        s(T::kStutterDropSeconds) + ", each within " + s(T::kStutterGapSeconds) +
        " of the last. The input buffer: " + std::to_string(T::kBufferExcessFrames) +
        " frames above its target for " + s(T::kBufferRunSeconds) +
        " or more. A full buffer, an FPS drop or stutter during a loss burst, a stall or a "
        "spike belongs to that. ";
    return "Events and the limits they are judged against. " + usual + ping + packets + frames +
           "Throughout a match: ping high at a 95th percentile of " + n(T::kHighPingP95Ms) +
           " ms, latency at a median of " + n(T::kHighLatencyMedianMs) +
           " ms, FPS low at a median under " + n(T::kLowFps) + ". A verdict needs " +
           std::to_string(T::kEvidenceSeconds) +
           " seconds recorded, and values in half of them. A gap: more than " + s(T::kGap.count()) +
           " between two rows; a new match: the same GUID after " +
           std::to_string(T::kMatchPause.count()) + " minutes, or on another server.";
}

}  // namespace Quorvel::Present
