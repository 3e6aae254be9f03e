#pragma once

// The servers side by side on the figure their verdicts were about: latency above ping
// when servers were blamed for hiccups, loss for loss, and so on; each value in words.

#include <cstddef>
#include <string>
#include <vector>

#include "Conclusion.h"
#include "ServerTable.h"

namespace Quorvel::Present {

struct ComparedServer {
    std::string serverIp;
    double value = 0;      // the bar's length, in the figure's unit
    std::string text;      // "+85 ms", "1.2 % in, 0.3 % out", "2 of 5 matches"
    std::string verdicts;  // "3 good, 2 server"
    bool blamed = false;   // the server an answer across matches points at
};

struct ServerComparison {
    std::string title;  // "Servers compared on latency above ping (median), behind server hiccups"
    std::vector<ComparedServer> servers;  // by time played, the blamed ones among them
    std::size_t leftOut = 0;              // servers played but not shown
};

// The figure is that of the problem found most on the server an answer blames, else in
// most matches; median ping when no match had a problem. Shows `most` servers at most.
ServerComparison compareServers(const std::vector<Analysis::ServerSummary>& servers,
                                const std::vector<Analysis::Conclusion>& conclusions,
                                std::size_t most);

}  // namespace Quorvel::Present
