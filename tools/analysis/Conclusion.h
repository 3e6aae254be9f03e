#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "MatchReport.h"

namespace Quorvel::Analysis {

// A problem and the matches it was found in.
struct ProblemCount {
    Problem problem;
    std::size_t matches = 0;
};

// What a conclusion rests on, by the rule that drew it.
// Fewer matches with a verdict than Thresholds::kConclusionMatches.
struct TooFewMatches {};
// Problems of the player's own side in most matches: the connection's on most servers,
// the computer's wherever; each side named with its problems, the most frequent first.
struct PlayerSide {
    struct Part {
        Cause cause;                         // Connection or Computer
        std::size_t matches = 0;             // with a problem of this side
        std::vector<ProblemCount> problems;  // the most matches first, then worst-felt
        std::size_t servers = 0;             // servers it was found on
    };
    std::vector<Part> parts;
    std::size_t serversPlayed = 0;
};
// The connection's or the server's problems in most matches on one server, and not
// elsewhere (Conclusion::serverIp names it).
struct OneServer {
    std::size_t troubled = 0;  // its matches with such problems
    std::size_t judged = 0;    // its matches with a verdict
    std::size_t troubledElsewhere = 0;
    std::size_t judgedElsewhere = 0;
};
// Problems in fewer than Thresholds::kConclusionShare of the matches.
struct MostlyGood {
    std::size_t troubled = 0;
};
// Problems in most matches, all on the one server played.
struct AllOnOneServer {
    std::size_t troubled = 0;
    std::string serverIp;
};
// Problems in most matches, of different kinds and on different servers.
struct NoOneSide {
    std::size_t troubled = 0;
};
using Grounds =
    std::variant<TooFewMatches, PlayerSide, OneServer, MostlyGood, AllOnOneServer, NoOneSide>;

// The answer across every match of one player to "is it me or the server?".
struct Conclusion {
    enum class Side { NotEnough, Good, Connection, Computer, Server, Unclear };
    Side side = Side::NotEnough;
    std::string serverIp;  // the server, when it is the server's side
    Grounds grounds;
    std::size_t judged = 0;  // matches with a verdict (not incomplete)
    std::string player;      // the UserID of the matches
};

// Adds up the verdicts match by match, in memory that grows with the servers only.
// Problems on most servers point at the player's connection or computer; problems on
// one server while the others are fine point at that server (or the way to it).
class ConclusionBuilder {
  public:
    void add(const MatchReport& report);
    Conclusion conclude() const;

  private:
    struct SideTally {
        std::size_t matches = 0;
        std::map<std::string, std::size_t> servers;  // matches per server
        std::map<Problem, std::size_t> problems;     // matches per problem
    };
    struct ServerTally {
        std::size_t judged = 0;
        std::size_t troubled = 0;  // with the connection's or the server's problems
    };

    std::optional<Conclusion> playerSide() const;
    std::optional<Conclusion> oneServer() const;
    Conclusion concludeAs(Conclusion::Side side, Grounds grounds) const;

    std::size_t judged = 0;
    std::size_t troubled = 0;  // judged matches with any problem
    PerCause<SideTally> sides;
    std::map<std::string, ServerTally> servers;
};

}  // namespace Quorvel::Analysis
