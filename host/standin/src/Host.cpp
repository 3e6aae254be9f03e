#include <algorithm>

#include "HostState.h"

namespace Tarvik::StandIn {

namespace {

bool runsLater(const QueuedTimeout& a, const QueuedTimeout& b) {
    return a.due != b.due ? a.due > b.due : a.sequence > b.sequence;
}

constexpr std::array<const char*, kHostOperationCount> kOperationNames = {
    "CVarManagerWrapper::log",
    "GameWrapper::GetUniqueID",
    "UniqueIDWrapper::str",
    "GameWrapper::GetDataFolder",
    "GameWrapper::IsInOnlineGame",
    "GameWrapper::GetOnlineGame",
    "GameWrapper::GetEngine",
    "EngineTAWrapper::GetStatGraphs",
    "StatGraphSystemWrapper::IsNull",
    "GameWrapper::SetTimeout",
    "ActorWrapper::IsNull",
    "ServerWrapper::GetMatchGUID",
    "GameEventWrapper::GetLocalPrimaryPlayer",
    "GameEventWrapper::GetPlaylist",
    "GameSettingPlaylistWrapper::GetPlaylistId",
    "PlayerControllerWrapper::GetPRI",
    "PlayerReplicationInfoWrapper::GetExactPing",
    "StatGraphSystemWrapper::GetNetStatGraph",
    "StatGraphSystemWrapper::GetInputBufferGraph",
    "StatGraphSystemWrapper::GetPerfStatGraph",
    "graph sample history getter",
    "SampleHistoryWrapper::GetPendingSample",
};

}  // namespace

std::atomic<std::int64_t> liveWrapperCount{0};

const char* operationName(HostOperation operation) {
    return kOperationNames.at(static_cast<std::size_t>(operation));
}

void HostState::enter(HostOperation operation) {
    const auto index = static_cast<std::size_t>(operation);
    ++calls[index];
    if (callsBeforeFailure[index] > 0) {
        --callsBeforeFailure[index];
        return;
    }
    if (failuresArmed[index] > 0) {
        --failuresArmed[index];
        throw HostFault(std::string("injected fault in ") + operationName(operation));
    }
}

HostState& hostAt(std::uintptr_t memoryAddress) {
    if (memoryAddress == 0) {
        throw std::logic_error("host operation called on a null wrapper");
    }
    // A wrapper names its object by address, as the host SDK does.
    return *reinterpret_cast<HostState*>(memoryAddress);  // NOLINT(performance-no-int-to-ptr)
}

std::uintptr_t addressOf(HostState& state) {
    return reinterpret_cast<std::uintptr_t>(&state);
}

std::uintptr_t addressIf(HostState& state, bool present) {
    return present ? addressOf(state) : 0;
}

Host::Host() : state(std::make_unique<HostState>()) {
    state->gameWrapper = std::make_shared<GameWrapper>(addressOf(*state));
    state->consoleWrapper = std::make_shared<CVarManagerWrapper>(addressOf(*state));
}

Host::~Host() = default;

GameState& Host::game() {
    return state->game;
}
const GameState& Host::game() const {
    return state->game;
}
std::shared_ptr<GameWrapper> Host::gameWrapper() {
    return state->gameWrapper;
}
std::shared_ptr<CVarManagerWrapper> Host::consoleWrapper() {
    return state->consoleWrapper;
}

const std::vector<ConsoleLine>& Host::console() const {
    return state->console;
}

std::vector<std::string> Host::consoleTexts() const {
    std::vector<std::string> texts;
    texts.reserve(state->console.size());
    for (const ConsoleLine& line : state->console) {
        texts.push_back(line.text);
    }
    return texts;
}

void Host::clearConsole() {
    state->console.clear();
}

double Host::now() const {
    return state->now;
}

void Host::advance(double seconds) {
    const double target = state->now + seconds;
    auto& queue = state->timeouts;
    while (!queue.empty() && queue.front().due <= target) {
        std::pop_heap(queue.begin(), queue.end(), runsLater);
        QueuedTimeout next = std::move(queue.back());
        queue.pop_back();
        state->now = next.due;
        next.callback(state->gameWrapper.get());
    }
    state->now = target;
}

std::size_t Host::queuedTimeouts() const {
    return state->timeouts.size();
}

void Host::cancelTimeouts() {
    state->timeouts.clear();
}

void Host::failNextCalls(HostOperation operation, FailingCalls calls) {
    state->failuresArmed.at(static_cast<std::size_t>(operation)) += calls.count;
    state->callsBeforeFailure.at(static_cast<std::size_t>(operation)) = calls.skip;
}

std::uint64_t Host::callCount(HostOperation operation) const {
    return state->calls.at(static_cast<std::size_t>(operation));
}

std::int64_t Host::liveWrappers() {
    return liveWrapperCount.load();
}

// Called by GameWrapper::SetTimeout.
void scheduleTimeout(HostState& host, std::function<void(GameWrapper*)> callback, float seconds) {
    host.timeouts.push_back(QueuedTimeout{host.now + static_cast<double>(seconds),
                                          host.nextSequence++, std::move(callback)});
    std::push_heap(host.timeouts.begin(), host.timeouts.end(), runsLater);
}

}  // namespace Tarvik::StandIn
