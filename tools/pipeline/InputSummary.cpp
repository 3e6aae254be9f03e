#include "InputSummary.h"

#include <algorithm>

#include "DisplayText.h"

namespace Quorvel::Pipeline {

namespace {

using Tools::Failure;
using Tools::FailureKind;

// Players named per input: a file is one player's; more are named up to this many.
constexpr std::size_t kPlayersKept = 8;

// Why an input that gave no row is refused.
std::string whyNoRow(const Read::SkippedRows& skipped) {
    const std::size_t count = skipped.count();
    if (count == 0) {
        return ": holds only the header, no rows";
    }
    if (skipped.binaryLines() == count) {
        return ": holds binary data, not a performance file";
    }
    return ": no row could be read (" + std::to_string(count) + " skipped)";
}

}  // namespace

InputTally::InputTally(const std::vector<Read::Input>& inputs)
    : sources(inputs), summaries(inputs.size()) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        summaries[i].name = inputs[i].name();
        summaries[i].path = inputs[i].path();
    }
}

void InputTally::count(const Matches::MatchOrigin& origin, const Matches::MatchInfo& info,
                       bool withProblems) {
    const std::vector<Matches::MatchPiece>& pieces = origin.pieces;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        InputSummary& summary = summaries[pieces[p].input];
        const bool counted =
            std::any_of(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(p),
                        [&](const Matches::MatchPiece& earlier) {
                            return earlier.input == pieces[p].input && earlier.newSeconds > 0;
                        });
        if (pieces[p].newSeconds == 0) {
            if (summary.matchesAlreadyRead++ == 0) {
                summary.alreadyReadIn = summaries[pieces.front().input].name;
            }
            continue;
        }
        if (counted) {
            continue;
        }
        ++summary.matches;
        summary.matchesWithProblems += withProblems ? 1 : 0;
        summary.servers.insert(info.serverIp);
        if (summary.players.size() < kPlayersKept) {
            summary.players.insert(info.userId);
        }
    }
}

std::vector<InputSummary> InputTally::finish(std::vector<ReadOutcome> outcomes) {
    for (std::size_t i = 0; i < summaries.size(); ++i) {
        InputSummary& summary = summaries[i];
        summary.refused = std::move(outcomes[i].refused);
        summary.rows = outcomes[i].rows;
        summary.skipped = std::move(outcomes[i].skipped);
        if (!summary.usable() || summary.rows > 0) {
            continue;
        }
        if (summary.skipped.count() == 0 && sources[i].foundInFolder()) {
            summary.headerOnly = true;
            continue;
        }
        summary.refused = Failure(FailureKind::Input, summary.name + whyNoRow(summary.skipped));
    }
    return std::move(summaries);
}

std::vector<std::string> skippedRowsMessages(const InputSummary& input) {
    std::vector<std::string> messages;
    if (input.refused && input.rows == 0) {
        return messages;  // its refusal says in one sentence what it is instead
    }
    for (const std::string& problem : input.skipped.listed()) {
        messages.push_back(input.name + ": " + problem + " (skipped)");
    }
    const std::size_t skipped = input.skipped.count();
    if (skipped > 0) {
        messages.push_back(input.name + ": " + Tools::plural(skipped, "row", "rows") +
                           " could not be read and " + (skipped == 1 ? "was" : "were") +
                           " skipped: line" + (skipped == 1 ? " " : "s ") +
                           input.skipped.lineRanges());
    }
    return messages;
}

std::optional<std::string> alreadyReadMessage(const InputSummary& input) {
    if (input.matchesAlreadyRead == 0) {
        return std::nullopt;
    }
    return input.name + ": " + Tools::plural(input.matchesAlreadyRead, "match", "matches") +
           " also in " + input.alreadyReadIn + ", counted once";
}

}  // namespace Quorvel::Pipeline
