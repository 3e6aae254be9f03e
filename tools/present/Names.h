#pragma once

// What the outputs call the analysis' causes, problems, conclusions and kinds of event:
// one row each, with its key for JSON and the page and its words for people.

#include <array>
#include <cstddef>
#include <string_view>

#include "Conclusion.h"
#include "Event.h"
#include "Verdict.h"

namespace Quorvel::Present {

// A kind of event as the outputs name it and the page draws it.
struct KindNames {
    Analysis::EventKind kind;
    std::string_view key;   // "lossBurst": JSON and the page
    std::string_view one;   // "loss burst"
    std::string_view many;  // "loss bursts"
    // Its bands on the page's charts: the colour, and its name in the page's legend with
    // what the legend calls the bands ("loss bursts (red)").
    std::array<int, 3> bandRgb;
    std::string_view colourName;
    std::string_view legend;
};
const KindNames& namesOf(Analysis::EventKind kind);

// "good", "connection", "server", "computer", "incomplete": the verdict's words, and
// its key in JSON and the page.
std::string_view causeName(Analysis::Cause cause);

// "loss", "unstable ping", "a full input buffer": a problem as the answer across
// matches counts it.
std::string_view problemName(Analysis::Problem problem);

// "notEnough", "good", "connection", "computer", "server", "unclear".
std::string_view sideKey(Analysis::Conclusion::Side side);

}  // namespace Quorvel::Present
