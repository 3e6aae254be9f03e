#include "RuleTexts.h"

#include "DisplayText.h"
#include "Thresholds.h"

namespace Quorvel::Present {

namespace {

namespace T = Thresholds;
using Tools::formatFigure;
using Tools::partOf;
using Tools::shareWords;

std::string n(double value) {
    return formatFigure(value);
}
std::string percent(double share) {
    return n(100 * share) + " %";
}
template <typename Seconds>
std::string s(Seconds seconds) {
    return std::to_string(seconds) + " s";
}
// "25th", "75th": the percentile at `share`.
std::string percentile(double share) {
    return n(100 * share) + "th";
}

std::string usualNote() {
    return "Each second is measured against the match's usual value: the middle of its "
           "better " +
           shareWords(2 * T::kUsualShare) + " (the " + percentile(T::kUsualShare) +
           " percentile of ping, the " + percentile(1 - T::kUsualShare) +
           " of FPS and packets; packets at least " + n(T::kPlayPacketsPerSecond) +
           " a second), so that a trouble filling most of a match is not taken for its normal. ";
}

std::string pingNote() {
    return "A ping spike: Ping above the usual by " + n(T::kSpikeSigmas) +
           " times its spread (the median absolute deviation x " + formatFigure(T::kMadToSigma, 4) +
           "), " + n(T::kSpikeFloorMs) + " to " + n(T::kSpikeCeilingMs) + " ms; it counts with " +
           s(T::kSignificantSeconds) + " at " + n(T::kFeltSpikeMs) +
           " ms above the usual, or a peak " + n(T::kSevereSpikeMs) +
           " ms above. Unstable ping: " + std::to_string(T::kUnstableJumps) + " of " +
           std::to_string(T::kUnstableWindowSeconds) + " seconds changing by " + n(T::kJumpMs) +
           " ms or more; it counts from " + s(T::kUnstableFeltSeconds) + " at " +
           n(T::kUnstableFeltChangeMs) + " ms a second. ";
}

std::string packetsNote() {
    return "A loss burst: seconds in a row with lost packets; it counts when a second lost " +
           n(T::kBurstLossPercent) + " % of its packets, or the match " + n(T::kMatchLossPercent) +
           " %. Steady loss: " + s(T::kSteadyLossSeconds) + " or more, every " +
           s(T::kSteadyLossSeconds) + " of it losing " + n(T::kSteadyLossPercent) +
           " % of the packets, in at least " + shareWords(T::kSteadyLossSecondsShare) +
           " of its seconds; it always counts. Nothing coming in: packets in at " +
           percent(T::kStallInShare) + " of usual or less; an outage when packets out fell to " +
           percent(T::kStallOutShare) +
           " or less too (your side), else the server's. A server hiccup: latency " +
           n(T::kHiccupExcessMs) + " ms further above ping than usual. These count from " +
           s(T::kSignificantSeconds) + ". ";
}

std::string framesNote() {
    return "An FPS drop: FPS below the usual by " + n(T::kDropSigmas) +
           " times its spread, at least " + percent(T::kDropFloorShare) +
           " of it; it counts with " + s(T::kSignificantSeconds) + " at " +
           partOf(T::kFeltDropShare) + " the usual, or below " + n(T::kLowFps) +
           " FPS. Stutter: " + std::to_string(T::kStutterDrops) + " or more FPS drops of up to " +
           s(T::kStutterDropSeconds) + ", each within " + s(T::kStutterGapSeconds) +
           " of the last. The input buffer: " + std::to_string(T::kBufferExcessFrames) +
           " frames above its target for " + s(T::kBufferRunSeconds) +
           " or more. A full buffer, an FPS drop or stutter during a loss burst, a stall or a "
           "spike belongs to that. ";
}

std::string matchNote() {
    return "Throughout a match: ping high at a 95th percentile of " + n(T::kHighPingP95Ms) +
           " ms, latency at a median of " + n(T::kHighLatencyMedianMs) +
           " ms, FPS low at a median under " + n(T::kLowFps) + ". A verdict needs " +
           std::to_string(T::kEvidenceSeconds) + " seconds recorded, and values in " +
           shareWords(T::kEvidenceShare) + " of them. A gap: more than " + s(T::kGap.count()) +
           " between two rows; a new match: the same GUID after " +
           std::to_string(T::kMatchPause.count()) + " minutes, or on another server.";
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
