#pragma once

// Control interface of the stand-in host: scripts the in-memory game, drives the
// virtual clock and injects faults. Used by tests and tools; a plugin never sees it.

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tarvik/wrappers/CVarManagerWrapper.h"
#include "tarvik/wrappers/GameWrapper.h"

namespace Tarvik::StandIn {

// Every host operation a plugin can call, for call counting and fault injection.
enum class HostOperation {
    Log,
    GetUniqueID,
    UniqueIdStr,
    GetDataFolder,
    IsInOnlineGame,
    GetOnlineGame,
    GetEngine,
    GetStatGraphs,
    StatGraphsIsNull,
    SetTimeout,
    ActorIsNull,
    GetMatchGUID,
    GetLocalPrimaryPlayer,
    GetPlaylist,
    GetPlaylistId,
    GetPRI,
    GetExactPing,
    GetNetStatGraph,
    GetInputBufferGraph,
    GetPerfStatGraph,
    GetSampleHistory,
    GetPendingSample,
};
inline constexpr std::size_t kHostOperationCount = 22;

TARVIK_SDK_API const char* operationName(HostOperation operation);

// The eight sample histories, in the order the statistics graphs hold them.
enum class History {
    Latency,
    PacketsOut,
    PacketsIn,
    LostPacketsOut,
    LostPacketsIn,
    Buffer,
    BufferTarget,
    FPS,
};
inline constexpr std::size_t kHistoryCount = 8;

// What the scripted game reports. Change it between clock advances.
struct GameState {
    std::string uniqueId = "Steam|76561190000000000|0";
    std::filesystem::path dataFolder;
    bool inOnlineGame = false;
    bool onlineGamePresent = true;
    bool localPlayerPresent = true;
    bool replicationInfoPresent = true;
    bool statGraphsPresent = true;
    float exactPing = 0.0f;
    std::string matchGuid;
    std::int32_t playlistId = 0;
    std::array<RecordedSample, kHistoryCount> pendingSamples{};

    RecordedSample& sample(History history) {
        return pendingSamples[static_cast<std::size_t>(history)];
    }
};

struct ConsoleLine {
    double time;  // virtual seconds
    std::string text;
};

// What an injected fault throws out of a host operation.
class HostFault : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct HostState;

// One stand-in host with its own game, console and virtual clock. Wrappers it hands
// out refer to it, so it must outlive every plugin object it is given to.
class TARVIK_SDK_API Host {
  public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    GameState& game();
    const GameState& game() const;
    std::shared_ptr<GameWrapper> gameWrapper();
    std::shared_ptr<CVarManagerWrapper> consoleWrapper();

    const std::vector<ConsoleLine>& console() const;
    std::vector<std::string> consoleTexts() const;
    void clearConsole();

    // Virtual clock. advance runs, on the calling thread and in due order, every
    // callback that falls due within the next `seconds`, including ones they schedule.
    double now() const;
    void advance(double seconds);
    std::size_t queuedTimeouts() const;
    // Drops every queued callback without running it.
    void cancelTimeouts();

    // Which calls of an operation fail: after `skip` more calls that succeed, the next
    // `count`.
    struct FailingCalls {
        int count = 1;
        int skip = 0;
    };
    // The calls of `operation` that `calls` names throw HostFault.
    void failNextCalls(HostOperation operation, FailingCalls calls);
    std::uint64_t callCount(HostOperation operation) const;

    // Wrapper values alive in the process (all hosts), to catch leaked wrappers.
    static std::int64_t liveWrappers();

  private:
    std::unique_ptr<HostState> state;
};

}  // namespace Tarvik::StandIn
