#include "RuleTexts.h"

#include "DisplayText.h"
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

std::string usualNote() {
    return "Each second is measured against the match's usual value: the middle of its "
           "better " +
           shareWords(2 * T::kUsualShare) + " (the " + formatPercentile(T::kUsualShare) +
           " percentile of ping, the " + formatPercentile(1 - T::kUsualShare) +
           " of FPS and packets; packets at least " + formatFigure(T::kPlayPacketsPerSecond) +
           " a second), so that a trouble filling most of a match is not taken for its normal. ";
}

std::string pingNote() {
    return "A ping spike: Ping above the usual by " + formatFigure(T::kSpikeSigmas) +
           " times its spread (the median absolute deviation x " + formatFigure(T::kMadToSigma, 4) +
           "), " + formatFigure(T::kSpikeFloorMs) + " to " + formatFigure(T::kSpikeCeilingMs) +
           " ms; it counts with " + formatSeconds(T::kSignificantSeconds) + " at " +
           formatFigure(T::kFeltSpikeMs) + " ms above the usual, or a peak " +
           formatFigure(T::kSevereSpikeMs) +
           " ms above. Unstable ping: " + std::to_string(T::kUnstableJumps) + " of " +
           std::to_string(T::kUnstableWindowSeconds) + " seconds changing by " +
           formatFigure(T::kJumpMs) + " ms or more; it counts from " +
           formatSeconds(T::kUnstableFeltSeconds) + " at " +
           formatFigure(T::kUnstableFeltChangeMs) + " ms a second. ";
}

std::string packetsNote() {
    return "A loss burst: seconds in a row with lost packets; it counts when a second lost " +
           formatFigure(T::kBurstLossPercent) + " % of its packets, or the match " +
           formatFigure(T::kMatchLossPercent) +
           " %. Steady loss: " + formatSeconds(T::kSteadyLossSeconds) + " or more, every " +
           formatSeconds(T::kSteadyLossSeconds) + " of it losing " +
           formatFigure(T::kSteadyLossPercent) + " % of the packets, in at least " +
           shareWords(T::kSteadyLossSecondsShare) +
           " of its seconds; it always counts. Nothing coming in: packets in at " +
           formatPercent(T::kStallInShare) +
           " of usual or less; an outage when packets out fell to " +
           formatPercent(T::kStallOutShare) +
           " or less too (your side), else the server's. A server hiccup: latency " +
           formatFigure(T::kHiccupExcessMs) +
           " ms further above ping than usual. These count from " +
           formatSeconds(T::kSignificantSeconds) + ". ";
}

std::string framesNote() {
    return "An FPS drop: FPS below the usual by " + formatFigure(T::kDropSigmas) +
           " times its spread, at least " + formatPercent(T::kDropFloorShare) +
           " of it; it counts with " + formatSeconds(T::kSignificantSeconds) + " at " +
           partOf(T::kFeltDropShare) + " the usual, or below " + formatFigure(T::kLowFps) +
           " FPS. Stutter: " + std::to_string(T::kStutterDrops) + " or more FPS drops of up to " +
           formatSeconds(T::kStutterDropSeconds) + ", each within " +
           formatSeconds(T::kStutterGapSeconds) +
           " of the last. The input buffer: " + std::to_string(T::kBufferExcessFrames) +
           " frames above its target for " + formatSeconds(T::kBufferRunSeconds) +
           " or more. A full buffer, an FPS drop or stutter during a loss burst, a stall or a "
           "spike belongs to that. ";
}

std::string matchNote() {
    return "Throughout a match: ping high at a 95th percentile of " +
           formatFigure(T::kHighPingP95Ms) + " ms, latency at a median of " +
           formatFigure(T::kHighLatencyMedianMs) + " ms, FPS low at a median under " +
           formatFigure(T::kLowFps) + ". A verdict needs " + std::to_string(T::kEvidenceSeconds) +
           " seconds recorded, and values in " + shareWords(T::kEvidenceShare) +
           " of them. A gap: more than " + formatSeconds(T::kGap.count()) +
           " between two rows; a new match: the same GUID after " +
           plural(static_cast<std::size_t>(T::kMatchPause.count()), "minute", "minutes") +
           ", or on another server.";
}

}  // namespace

std::string thresholdsNote() {
    return "Events and the limits they are judged against. " + usualNote() + pingNote() +
           packetsNote() + framesNote() + matchNote();
}

std::string ruleTable() {
    std::string table = "| rule | threshold |\n|---|---|\n";
    for (const RuleRow& row : ruleRows()) {
        table += "| " + row.rule + " | " + row.threshold + " |\n";
    }
    return table;
}

}  // namespace Quorvel::Present
