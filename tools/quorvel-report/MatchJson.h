#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Report.h"

namespace QuorvelReport {

// One match as JSON: figures (null where the match has no values), events, verdict.
nlohmann::ordered_json matchJson(const Quorvel::Summary::MatchReport& report,
                                 const std::filesystem::path& file);
nlohmann::ordered_json serverJson(const Quorvel::Summary::ServerSummary& server);
nlohmann::ordered_json inputJson(const Quorvel::Summary::InputSummary& input);

// Serializes JSON with a two-space indent when `indent`, texts that are not UTF-8
// shown as U+FFFD. `forPage` writes <, > and & as \u escapes, so the text can stand
// inside an HTML <script> element whatever the texts hold.
std::string dumpJson(const nlohmann::ordered_json& value, bool indent, bool forPage = false);

}  // namespace QuorvelReport
