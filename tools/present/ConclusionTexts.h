#pragma once

// The answer across matches in a player's words.

#include <string>

#include "Conclusion.h"
#include "ShownNames.h"

namespace Quorvel::Present {

// With the counts behind it: "loss in 4 of 6 matches, on 4 of 5 servers: your
// connection"; "connection problems in 5 of 6 matches (loss in 3, unstable ping in 1,
// ping spikes in 1), on 4 of 5 servers: your connection".
std::string conclusionText(const Analysis::Conclusion& conclusion);

// "Overall: loss in 4 of 6 matches, on 4 of 5 servers: your connection"; with several
// players, each named as `names` says: "Overall for Steam|7656|0: ...".
std::string conclusionLine(const Analysis::Conclusion& conclusion, bool severalPlayers,
                           const ShownNames& names);

}  // namespace Quorvel::Present
