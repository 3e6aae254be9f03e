#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "MatchReport.h"

namespace Quorvel::Analysis {

// The answer across every match of one player to "is it me or the server?".
struct Conclusion {
    enum class Side { NotEnough, Good, Connection, Computer, Server, Unclear };
    Side side = Side::NotEnough;
    std::string serverIp;  // the server, when it is the server's side
    // In a player's words, with the counts behind it: "loss in 4 of 6 matches, on 4 of
    // 5 servers: your connection"; "connection problems in 5 of 6 matches (loss in 3,
    // unstable ping in 1, ping spikes in 1), on 4 of 5 servers: your connection".
    std::string text;
    std::size_t judged = 0;  // matches with a verdict (not incomplete)
    std::string player;      // the UserID of the matches
};

// "notEnough", "good", "connection", "computer", "server", "unclear".
std::string_view sideKey(Conclusion::Side side);

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
        std::map<std::string, std::size_t> servers;        // matches per server
        std::map<std::string_view, std::size_t> problems;  // matches per problem
    };
    struct ServerTally {
        std::size_t judged = 0;
        std::size_t troubled = 0;  // with the connection's or the server's problems
    };

    std::optional<Conclusion> playerSide() const;
    std::optional<Conclusion> oneServer() const;
    std::string problemWords(Cause cause, const SideTally& tally) const;

    std::size_t judged = 0;
    std::size_t troubled = 0;  // judged matches with any problem
    PerCause<SideTally> sides;
    std::map<std::string, ServerTally> servers;
};

}  // namespace Quorvel::Analysis
