#pragma once

// Which matches a report is about: by their numbers, their server and when they
// started. Handed to the report as ReportOptions::keep, so the table, the JSON, the
// summary CSV and the page all follow it, and matches keep the numbers they have in a
// report of all.

#include <chrono>
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "IpAddress.h"
#include "MatchReport.h"

namespace Quorvel::Analysis {

struct MatchFilter {
    std::set<std::size_t> numbers;                  // places among all matches read; any when empty
    std::vector<Tools::TypedServer> servers;        // a host, maybe a port; any when empty
    std::optional<std::chrono::sys_seconds> since;  // kept when it starts at or after
    std::optional<std::chrono::sys_seconds> until;  // kept when it starts before

    // False when it keeps every match.
    bool filters() const;
    bool keeps(const MatchReport& report) const;
};

// A match's number as typed: decimal digits, 1 or more. Nothing for anything else.
std::optional<std::size_t> parseMatchNumber(std::string_view text);
// A time in UTC, "YYYY-MM-DD HH:MM:SS" or the day alone "YYYY-MM-DD" (its midnight).
std::optional<std::chrono::sys_seconds> parseFilterTime(std::string_view text);
// Whether `text` can name a server: not empty, no space, comma or control character.
bool isServerText(std::string_view text);

}  // namespace Quorvel::Analysis
