#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "MatchTexts.h"
#include "Report.h"

namespace Quorvel::Present {

// One match as JSON: figures (null where the match has no values), events, verdict,
// the files it came from, and the texts the table shows (`texts`), so no reader has to
// make them again. `files` are the report's inputs.
nlohmann::ordered_json matchJson(const MatchReport& report, const std::vector<Read::Input>& files);
// One event: its kind, time, length, whether it counts, its own figures and its texts.
nlohmann::ordered_json eventJson(const Event& event);
nlohmann::ordered_json serverJson(const ServerSummary& server);
nlohmann::ordered_json dayJson(const Analysis::DaySummary& day);
nlohmann::ordered_json inputJson(const InputSummary& input);
nlohmann::ordered_json conclusionJson(const Analysis::Conclusion& conclusion);
// Every player's conclusion, and the one of a report of one player's matches (null with
// several): {"conclusion": ..., "conclusions": [...]}.
nlohmann::ordered_json conclusionsJson(const std::vector<Analysis::Conclusion>& conclusions);

// Serializes JSON with a two-space indent when `indent`, texts that are not UTF-8
// shown as U+FFFD. `forPage` writes <, > and & as \u escapes, so the text can stand
// inside an HTML <script> element whatever the texts hold.
std::string dumpJson(const nlohmann::ordered_json& value, bool indent, bool forPage = false);

}  // namespace Quorvel::Present
