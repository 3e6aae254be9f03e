#include "MatchTexts.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <variant>

#include "DisplayText.h"
#include "Names.h"
#include "VerdictTexts.h"

namespace Quorvel::Present {

namespace {

using Analysis::Figure;
using Tools::formatFigure;
using Tools::plural;

std::string missingNote(const Analysis::MatchFigures& f) {
    std::string missing;
    for (Format::Statistic s : Format::kStatistics) {
        if (f.missing[s] > 0) {
            missing += (missing.empty() ? "" : ", ") + std::string(Format::statisticName(s)) + " " +
                       Tools::formatSeconds(static_cast<std::int64_t>(f.missing[s]));
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
        return "spike " + formatFigure(e.worstMs) + " ms";
    }
    S operator()(const Analysis::UnstablePing& e) const {
        return "unstable " + formatFigure(e.lowMs) + "\u2013" + formatFigure(e.highMs) + " ms";
    }
    S operator()(const Analysis::LossBurst& e) const {
        return "loss " + formatFigure(std::max(e.worstLostInPerSecond, e.worstLostOutPerSecond)) +
               "/s";
    }
    S operator()(const Analysis::SteadyLoss& e) const {
        return "steady loss " + formatFigure(std::max(e.lostInPercent, e.lostOutPercent), 1) + " %";
    }
    S operator()(const Analysis::NothingIn& e) const {
        return "nothing in (" + formatFigure(e.worstPacketsIn) + "/s)";
    }
    S operator()(const Analysis::Outage& e) const {
        return "outage (" + formatFigure(e.worstPacketsIn) + " in, " +
               formatFigure(e.mostPacketsOut) + " out)";
    }
    S operator()(const Analysis::ServerHiccup& e) const {
        return "latency " + formatFigure(e.worstLatencyMs) + " ms";
    }
    S operator()(const Analysis::FpsDrop& e) const {
        return "drop " + formatFigure(e.worstFps) + " FPS";
    }
    S operator()(const Analysis::Stutter& e) const {
        return "stutter, " + plural(e.drops, "drop", "drops");
    }
    S operator()(const Analysis::BufferAboveTarget& e) const {
        return "buffer " + formatFigure(e.worstBuffer);
    }
    S operator()(const Analysis::NoValue&) const { return "no value"; }
    S operator()(const Analysis::NotRecorded&) const { return "not recorded"; }
};

DetailTexts detailTexts(const Analysis::EventDetail& what) {
    using namespace Analysis;
    std::string worst = worstWords(what);
    if (const auto* e = std::get_if<LossBurst>(&what)) {
        worst += " (" + formatFigure(e->worstSharePercent, 1) + " % of the packets)";
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

}  // namespace

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

MatchHeading matchHeading(const MatchReport& r) {
    return {
        "Match " + std::to_string(r.number),
        "on " + r.info.server() + (r.info.matchGuid.empty() ? "" : " (" + r.info.matchGuid + ")")};
}

std::string matchTitle(const MatchReport& r) {
    const MatchHeading heading = matchHeading(r);
    return heading.lead + ": " + Tools::formatClock(r.figures.start) + " UTC " + heading.where;
}

std::string matchSource(const MatchReport& r, const ShownNames& names) {
    std::vector<const Matches::MatchPiece*> gave;
    for (const Matches::MatchPiece& piece : r.origin.pieces) {
        if (piece.newSeconds > 0) {
            gave.push_back(&piece);
        }
    }
    if (gave.size() < 2) {
        return "from " + names.file(r.input) + ", " + names.playerWords(r.info.userId);
    }
    std::string from;
    for (std::size_t i = 0; i < gave.size(); ++i) {
        from += i == 0 ? "from " : i + 1 == gave.size() ? " and " : ", ";
        from +=
            names.file(gave[i]->input) + " (" + plural(gave[i]->newSeconds, "row", "rows") + ")";
    }
    return from + ", joined by their seconds; " + names.playerWords(r.info.userId);
}

EventTexts eventTexts(const Event& e) {
    DetailTexts detail = detailTexts(e.what);
    return {std::string(namesOf(e.kind()).one),
            Tools::formatMatchTime(e.when.offset),
            Tools::formatClock(e.when.clock),
            Tools::formatSeconds(e.when.lengthSeconds),
            std::move(detail.worst),
            std::move(detail.band)};
}

std::string pageTitle(const ShownNames& names, const std::set<std::string>& players) {
    constexpr std::size_t kFilesNamed = 3;
    std::string files;
    for (std::size_t i = 0; i < names.inputCount() && i < kFilesNamed; ++i) {
        files += (i == 0 ? "" : ", ") + names.fileInTitle(i);
    }
    if (names.inputCount() > kFilesNamed) {
        files += " and " + std::to_string(names.inputCount() - kFilesNamed) + " more";
    }
    const std::string who = names.players(players);
    return "Quorvel report: " + files + (who.empty() ? "" : " (" + who + ")");
}

std::string pageTitle(const ShownNames& names, const std::vector<InputSummary>& inputs) {
    std::set<std::string> players;
    for (const InputSummary& input : inputs) {
        players.insert(input.players.begin(), input.players.end());
    }
    return pageTitle(names, players);
}

std::string inputHeadline(const InputSummary& input, std::size_t place, const ShownNames& names) {
    if (input.refused) {
        return names.inMessage(place, input.refused->what());
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
    std::string line = names.file(place) + ": " + plural(input.matches, "match", "matches") + ", " +
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

}  // namespace Quorvel::Present
