#pragma once

// What a player may try about what the report found, each kind of trouble with its
// own few tips: short, for a player, and no promise ("may help"). Nothing where nothing
// is wrong. And what a server's host needs to look into a server: its address and the
// times of the matches that went wrong there, ready to copy.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "Conclusion.h"
#include "MatchReport.h"

namespace Quorvel::Present {

struct Tip {
    std::string_view key;   // "wired": JSON and the page
    std::string_view text;  // "a wired connection instead of wireless"
};

// The tips for what a match's verdict found, the leading side's first, each once; none
// for a good or incomplete match.
std::vector<Tip> tipsFor(const Analysis::Verdict& verdict);
// The tips for the answer across matches: for the player's side, the problems it
// counts; for a server, to play elsewhere and report it; none when there is no side to
// act on.
std::vector<Tip> tipsFor(const Analysis::Conclusion& conclusion);

// "what may help: a wired connection instead of wireless; the router restarted"; empty
// without tips.
std::string tipsLine(const std::vector<Tip>& tips);

// True when the verdict found a problem of the server's side, or of the way to it (the
// connection's): a match a server's host may want to hear about.
bool worthReporting(const Analysis::Verdict& verdict);
// A match as a server's host needs it: "2026-12-08 18:04:50 UTC, 2:00 long, match
// 5F1A0C2E9B7D4E3A on 203.0.113.40:7777: server hiccups".
std::string hostReportLine(const Analysis::MatchReport& report);
// The note for a server's host: "Server 203.0.113.40, matches with problems (UTC):" and
// a line each (`lines`, the latest of them), with how many earlier ones are left out.
std::string hostReport(std::string_view serverIp, const std::vector<std::string>& lines,
                       std::size_t leftOut);

}  // namespace Quorvel::Present
