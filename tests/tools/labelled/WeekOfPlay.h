#pragma once

// A week of evenings of play as a player's performance file: six matches an evening on
// five servers, with the noise real play has (RealisticPlay). One server is bad: in
// every match there, latency climbs far above ping for a while (server hiccups). Every
// other match is good but one, which loses packets in bursts (the connection, once).

#include <string>

namespace QuorvelTest {

struct WeekOfPlay {
    std::string csv;  // the whole file
    std::string userId;
    std::string badServer;  // the server the answer must blame
    int matches = 0;
    int onBadServer = 0;
    int lossMatch = 0;  // the number of the match with loss bursts
};

WeekOfPlay weekOfPlay();

}  // namespace QuorvelTest
