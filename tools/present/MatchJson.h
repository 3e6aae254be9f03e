#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "MatchTexts.h"
#include "Report.h"
#include "ShownNames.h"

namespace Quorvel::Present {

// One match as JSON: figures (null where the match has no values), events, verdict,
// the files it came from, and the texts the table shows (`texts`), so no reader has to
// make them again; the player and the files named as `names` says.
nlohmann::ordered_json matchJson(const MatchReport& report, const ShownNames& names);
// One event: its kind, time, length, whether it counts, its own figures and its texts.
nlohmann::ordered_json eventJson(const Event& event);
nlohmann::ordered_json serverJson(const ServerSummary& server);
nlohmann::ordered_json dayJson(const Analysis::DaySummary& day);
// The input of this place in the report's inputs.
nlohmann::ordered_json inputJson(const InputSummary& input, std::size_t place,
                                 const ShownNames& names);
nlohmann::ordered_json conclusionJson(const Analysis::Conclusion& conclusion,
                                      const ShownNames& names);
// Every player's conclusion, and the one of a report of one player's matches (null with
// several): {"conclusion": ..., "conclusions": [...]}.
nlohmann::ordered_json conclusionsJson(const std::vector<Analysis::Conclusion>& conclusions,
                                       const ShownNames& names);

// Serializes JSON with a two-space indent when `indent`, texts that are not UTF-8
// shown as U+FFFD. `forPage` writes <, > and & as \u escapes, so the text can stand
// inside an HTML <script> element whatever the texts hold.
std::string dumpJson(const nlohmann::ordered_json& value, bool indent, bool forPage = false);

}  // namespace Quorvel::Present
