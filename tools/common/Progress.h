#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace Quorvel::Tools {

// A progress line on standard error for work that takes more than a second, shown
// only when standard error is a terminal.
class Progress {
  public:
    explicit Progress(std::string text);
    ~Progress();

    void update(std::uint64_t done, std::uint64_t total);
    // Removes the line, so a message can be printed in its place.
    void clear();

  private:
    using Clock = std::chrono::steady_clock;
    std::string label;
    bool enabled;
    bool shown = false;
    Clock::time_point started = Clock::now();
    Clock::time_point lastShown{};
};

bool standardErrorIsTerminal();

}  // namespace Quorvel::Tools
