#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tarvik/standin/HostControl.h"

namespace Tarvik::StandIn {

struct QueuedTimeout {
    double due;
    std::uint64_t sequence;
    std::function<void(GameWrapper*)> callback;
};

struct HostState {
    GameState game;
    std::vector<ConsoleLine> console;
    double now = 0.0;
    std::uint64_t nextSequence = 0;
    std::vector<QueuedTimeout> timeouts;  // a min-heap on (due, sequence)
    std::array<std::uint64_t, kHostOperationCount> calls{};
    std::array<int, kHostOperationCount> failuresArmed{};
    std::array<int, kHostOperationCount> callsBeforeFailure{};
    std::shared_ptr<GameWrapper> gameWrapper;
    std::shared_ptr<CVarManagerWrapper> consoleWrapper;

    // Counts the call and throws if a fault was armed for it.
    void enter(HostOperation operation);
};

// The wrappers carry the address of their host's state; zero means null.
HostState& hostAt(std::uintptr_t memoryAddress);
std::uintptr_t addressOf(HostState& state);
std::uintptr_t addressIf(HostState& state, bool present);

extern std::atomic<std::int64_t> liveWrapperCount;

}  // namespace Tarvik::StandIn

namespace Tarvik::StandIn {
void scheduleTimeout(HostState& host, std::function<void(GameWrapper*)> callback, float seconds);
}  // namespace Tarvik::StandIn
