#include "TableReport.h"

#include <array>

#include "DisplayText.h"

namespace Quorvel::Summary {

namespace {

struct Column {
    const char* title;
    std::size_t width;
    bool right;
};

constexpr std::array<Column, 11> kMatchColumns = {{
    {"#", 3, true},
    {"start (UTC)", 19, false},
    {"length", 7, true},
    {"server", 21, false},
    {"ping/p99", 9, true},
    {"jitter", 6, true},
    {"latency", 7, true},
    {"loss in/out", 11, true},
    {"FPS/1%low", 9, true},
    {"buffer", 7, true},
    {"events", 6, true},
}};

constexpr std::array<Column, 7> kServerColumns = {{
    {"server", 21, false},
    {"matches", 7, true},
    {"played", 8, true},
    {"ping/p95", 9, true},
    {"jitter", 6, true},
    {"loss in/out", 11, true},
    {"verdicts", 40, false},
}};

template <std::size_t N>
std::string line(const std::array<Column, N>& columns, const std::array<std::string, N>& texts) {
    std::string out;
    for (std::size_t i = 0; i < N; ++i) {
        out += cell(texts[i], columns[i].width, columns[i].right);
        out += i + 1 < N ? " " : "";
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out + "\n";
}

template <std::size_t N>
std::string titles(const std::array<Column, N>& columns) {
    std::array<std::string, N> texts;
    for (std::size_t i = 0; i < N; ++i) {
        texts[i] = columns[i].title;
    }
    return line(columns, texts);
}

std::string pair(std::optional<double> a, std::optional<double> b, int decimals) {
    if (!a && !b) {
        return std::string(kNoFigure);
    }
    return formatFigure(a, decimals) + "/" + formatFigure(b, decimals);
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

}  // namespace

std::string matchNotes(const MatchReport& r) {
    const MatchFigures& f = r.figures;
    std::string notes;
    const auto add = [&notes](const std::string& note) {
        notes += (notes.empty() ? "" : "; ") + note;
    };
    if (f.gaps > 0) {
        add(plural(f.gaps, "gap", "gaps") + " (" + std::to_string(f.gapSeconds) +
            " s not recorded)");
    }
    if (f.clockStepsBack > 0) {
        add("clock stepped back " + plural(f.clockStepsBack, "time", "times"));
    }
    std::string missing;
    for (std::size_t k = 0; k < kStatisticCount; ++k) {
        if (f.missing[k] > 0) {
            missing += (missing.empty() ? "" : ", ") + std::string(statisticName(statisticAt(k))) +
                       " " + std::to_string(f.missing[k]) + " s";
        }
    }
    if (!missing.empty()) {
        add("no value: " + missing);
    }
    if (f.inconsistentSeconds > 0) {
        add(plural(f.inconsistentSeconds, "second", "seconds") +
            " with more packets lost than counted (left out of the loss)");
    }
    if (notes.empty() && f.rows == static_cast<std::size_t>(f.lengthSeconds)) {
        return notes;
    }
    return plural(f.rows, "row", "rows") + (notes.empty() ? "" : "; " + notes);
}

TableReport::TableReport(TextOutput& output) : out(output) {}

void TableReport::match(const MatchRows&, const std::vector<std::int64_t>&, const MatchReport& r) {
    if (!headerWritten) {
        out.write(titles(kMatchColumns));
        headerWritten = true;
    }
    const MatchFigures& f = r.figures;
    std::size_t events = 0;
    for (std::size_t count : r.events.counts) {
        events += count;
    }
    out.write(line(
        kMatchColumns,
        {std::to_string(r.number), formatClock(f.start), formatMatchTime(f.lengthSeconds),
         r.info.server(), f.ping ? pair(f.ping->median, f.ping->p99, 0) : std::string(kNoFigure),
         formatFigure(f.jitterMs, 1),
         f.latency ? formatFigure(f.latency->median) : std::string(kNoFigure),
         pair(f.lossInPercent, f.lossOutPercent, 1),
         f.fps ? pair(f.fps->mean, f.fps->low1Percent, 0) : std::string(kNoFigure),
         pair(f.bufferMean, f.bufferTargetMean, 1), std::to_string(events)}));
    out.write("    " + r.verdict.text + "\n");
    const std::string notes = matchNotes(r);
    if (!notes.empty()) {
        out.write("    " + notes + "\n");
    }
}

void TableReport::finish(const std::vector<InputSummary>&,
                         const std::vector<ServerSummary>& servers) {
    if (servers.empty()) {
        return;
    }
    out.write("\n");
    out.write(titles(kServerColumns));
    for (const ServerSummary& s : servers) {
        std::string verdicts;
        for (std::size_t c = 0; c < kCauseCount; ++c) {
            if (s.verdicts[c] > 0) {
                verdicts += (verdicts.empty() ? "" : ", ") + std::to_string(s.verdicts[c]) + " " +
                            std::string(causeName(static_cast<Cause>(c)));
            }
        }
        out.write(line(kServerColumns,
                       {s.serverIp, std::to_string(s.matches), formatMatchTime(s.secondsPlayed),
                        pair(s.pingMedian, s.pingP95, 0), formatFigure(s.jitterMs, 1),
                        pair(s.lossInPercent, s.lossOutPercent, 1), verdicts}));
    }
    out.write(
        "\nping, jitter and latency in ms (median, then 99th or 95th percentile); loss in % of\n"
        "packets; FPS mean and 1 % low; input buffer mean and its target in frames\n");
}

}  // namespace Quorvel::Summary
