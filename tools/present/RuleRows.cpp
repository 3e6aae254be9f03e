// The README's table of rules, each threshold in words from Thresholds.h.

#include "DisplayText.h"
#include "RuleTexts.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

namespace T = Thresholds;
using Tools::formatFigure;
using Tools::formatPercent;
using Tools::formatPercentile;
using Tools::formatSeconds;
using Tools::partOf;
using Tools::plural;
using Tools::shareWords;

std::string minutes(std::chrono::minutes pause) {
    return plural(static_cast<std::size_t>(pause.count()), "minute", "minutes");
}

void addTimeRules(std::vector<RuleRow>& rows) {
    rows.push_back({"a gap in the recording", "more than " + formatSeconds(T::kGap.count()) +
                                                  " between two rows of a match (`kGap`)"});
    rows.push_back({"a new match among rows without a MatchGUID",
                    "more than " + formatSeconds(T::kEmptyGuidPause.count()) +
                        " between them (`kEmptyGuidPause`)"});
    rows.push_back({"a new match under one MatchGUID; pieces of a match in several files joined",
                    "another server, or more than " + minutes(T::kMatchPause) +
                        " between rows (`kMatchPause`); pieces within " + minutes(T::kMatchPause) +
                        " of each other"});
    rows.push_back({"the usual value of a statistic",
                    "the " + formatPercentile(T::kUsualShare) +
                        " percentile of Ping and of Latency \u2212 "
                        "Ping, the " +
                        formatPercentile(1 - T::kUsualShare) +
                        " of FPS and of packets a second (`kUsualShare`), packets at least " +
                        formatFigure(T::kPlayPacketsPerSecond) +
                        " a second (`kPlayPacketsPerSecond`), Latency \u2212 Ping at least " +
                        formatFigure(T::kPlayLatencyAbovePingMs) + " (`kPlayLatencyAbovePingMs`)"});
    rows.push_back({"the spread of a statistic, \u03c3", "the median absolute deviation \u00d7 " +
                                                             formatFigure(T::kMadToSigma, 4) +
                                                             " (`kMadToSigma`)"});
}

void addPingAndPacketRules(std::vector<RuleRow>& rows) {
    rows.push_back({"ping spike", "Ping above the usual + " + formatFigure(T::kSpikeSigmas) +
                                      " \u03c3, the margin between " +
                                      formatFigure(T::kSpikeFloorMs) + " and " +
                                      formatFigure(T::kSpikeCeilingMs) +
                                      " ms (`kSpikeSigmas`, `kSpikeFloorMs`, `kSpikeCeilingMs`)"});
    rows.push_back({"unstable ping",
                    std::to_string(T::kUnstableJumps) + " of the " +
                        std::to_string(T::kUnstableWindowSeconds) +
                        " seconds around a second changed by " + formatFigure(T::kJumpMs) +
                        " ms or more from the one before; it lasts until " +
                        std::to_string(T::kUnstableStayJumps) +
                        " or fewer do, and reaches back as far from its first jump (`kJumpMs`, "
                        "`kUnstableWindowSeconds`, `kUnstableJumps`, `kUnstableStayJumps`)"});
    rows.push_back({"loss burst", "consecutive seconds with lost packets, in or out"});
    rows.push_back({"steady loss",
                    formatSeconds(T::kSteadyLossSeconds) + " or more, every " +
                        formatSeconds(T::kSteadyLossSeconds) + " of it losing " +
                        formatFigure(T::kSteadyLossPercent) +
                        " % of its packets in or out, with packets lost in " +
                        shareWords(T::kSteadyLossSecondsShare) +
                        " of its seconds; from its first to its last lossy second "
                        "(`kSteadyLossSeconds`, `kSteadyLossPercent`, `kSteadyLossSecondsShare`)"});
    rows.push_back({"nothing coming in, outage",
                    "PacketsIn at or below " + formatPercent(T::kStallInShare) +
                        " of the usual, whatever PacketsOut does; an outage when PacketsOut was "
                        "at or below " +
                        formatPercent(T::kStallOutShare) + " of its usual in " +
                        shareWords(T::kOutageSecondsShare) +
                        " of those seconds or more (`kStallInShare`, `kStallOutShare`, "
                        "`kOutageSecondsShare`)"});
    rows.push_back({"server hiccup", "Latency \u2212 Ping " + formatFigure(T::kHiccupExcessMs) +
                                         " ms above its usual (`kHiccupExcessMs`)"});
}

void addFrameRules(std::vector<RuleRow>& rows) {
    rows.push_back({"FPS drop", "FPS below the usual \u2212 max(" + formatFigure(T::kDropSigmas) +
                                    " \u03c3, " + formatPercent(T::kDropFloorShare) +
                                    " of the usual) (`kDropSigmas`, `kDropFloorShare`)"});
    rows.push_back({"stutter", std::to_string(T::kStutterDrops) + " or more FPS drops of at most " +
                                   formatSeconds(T::kStutterDropSeconds) + ", each within " +
                                   formatSeconds(T::kStutterGapSeconds) +
                                   " of the last (`kStutterDrops`, `kStutterDropSeconds`, "
                                   "`kStutterGapSeconds`)"});
    rows.push_back({"input buffer above target",
                    "Buffer at least " + std::to_string(T::kBufferExcessFrames) +
                        " frames above BufferTarget for " + formatSeconds(T::kBufferRunSeconds) +
                        " or more (`kBufferExcessFrames`, `kBufferRunSeconds`)"});
    rows.push_back({"no value", "consecutive seconds in which a statistic had no value"});
}

void addCountingRules(std::vector<RuleRow>& rows) {
    const std::string significant = formatSeconds(T::kSignificantSeconds);
    rows.push_back({"a ping spike counts in the verdict",
                    significant + " at " + formatFigure(T::kFeltSpikeMs) +
                        " ms or more above the usual, or a peak " +
                        formatFigure(T::kSevereSpikeMs) +
                        " ms above it (`kSignificantSeconds`, `kFeltSpikeMs`, `kSevereSpikeMs`)"});
    rows.push_back(
        {"unstable ping counts",
         formatSeconds(T::kUnstableFeltSeconds) + " or longer, Ping changing " +
             formatFigure(T::kUnstableFeltChangeMs) +
             " ms a second on average (`kUnstableFeltSeconds`, `kUnstableFeltChangeMs`)"});
    rows.push_back(
        {"a loss burst counts", "a second in it lost " + formatFigure(T::kBurstLossPercent) +
                                    " % of its packets, or the match lost " +
                                    formatFigure(T::kMatchLossPercent) +
                                    " % overall (`kBurstLossPercent`, `kMatchLossPercent`)"});
    rows.push_back({"nothing coming in, an outage, a server hiccup count",
                    significant + " or longer (`kSignificantSeconds`)"});
    rows.push_back({"steady loss counts", "always (the loss bursts inside it are its own)"});
    rows.push_back({"an FPS drop counts", significant + " at " + partOf(T::kFeltDropShare) +
                                              " the usual or below, or below " +
                                              formatFigure(T::kLowFps) +
                                              " FPS (`kFeltDropShare`, `kLowFps`)"});
    rows.push_back({"stutter, input buffer above target count",
                    "always (unless explained by a loss burst, a stall or a spike: stutter when "
                    "they cover " +
                        shareWords(T::kExplainedShare) + " of its drops, `kExplainedShare`)"});
}

void addMatchRules(std::vector<RuleRow>& rows) {
    rows.push_back({"connection: ping high throughout", "95th percentile of Ping at or above " +
                                                            formatFigure(T::kHighPingP95Ms) +
                                                            " ms (`kHighPingP95Ms`)"});
    rows.push_back({"server: high latency",
                    "median Latency at or above " + formatFigure(T::kHighLatencyMedianMs) +
                        " ms and " + formatFigure(T::kHiccupExcessMs) +
                        " ms above the median Ping, while Ping is normal (`kHighLatencyMedianMs`, "
                        "`kHiccupExcessMs`)"});
    rows.push_back({"computer: low FPS throughout",
                    "median FPS below " + formatFigure(T::kLowFps) + " (`kLowFps`)"});
    rows.push_back({"enough evidence for \"good\"",
                    std::to_string(T::kEvidenceSeconds) + " seconds recorded, rows for " +
                        partOf(T::kEvidenceShare) +
                        " the time spanned, each statistic (and usable loss counters) in " +
                        partOf(T::kEvidenceShare) +
                        " the seconds (`kEvidenceSeconds`, `kEvidenceShare`)"});
    rows.push_back({"the answer across matches",
                    std::to_string(T::kConclusionMatches) +
                        " matches with a verdict, a problem in " + shareWords(T::kConclusionShare) +
                        " of them, or of one server's; the "
                        "connection's on " +
                        std::to_string(T::kConclusionServers) +
                        " servers at least, one server's in " +
                        std::to_string(T::kConclusionServerMatches) +
                        " of its matches at least "
                        "with as many elsewhere (`kConclusionMatches`, `kConclusionShare`, "
                        "`kConclusionServers`, `kConclusionServerMatches`)"});
    rows.push_back({"events listed", "the first " + std::to_string(T::kEventsKeptPerKind) +
                                         " of each kind in a match, and the worst "
                                         "(`kEventsKeptPerKind`)"});
}

}  // namespace

std::vector<RuleRow> ruleRows() {
    std::vector<RuleRow> rows;
    addTimeRules(rows);
    addPingAndPacketRules(rows);
    addFrameRules(rows);
    addCountingRules(rows);
    addMatchRules(rows);
    return rows;
}

}  // namespace Quorvel::Present
