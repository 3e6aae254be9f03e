// The stand-in SDK: every wrapper operation, answered from the scripted game state
// of the host whose address the wrapper carries.

#include "HostState.h"

using Tarvik::StandIn::addressIf;
using Tarvik::StandIn::addressOf;
using Tarvik::StandIn::History;
using Tarvik::StandIn::hostAt;
using Tarvik::StandIn::HostOperation;
using Tarvik::StandIn::HostState;

namespace {

// The host a wrapper belongs to, with the call counted (and a fault thrown if armed).
HostState& enterHost(std::uintptr_t memoryAddress, HostOperation operation) {
    HostState& host = hostAt(memoryAddress);
    host.enter(operation);
    return host;
}

}  // namespace

ObjectWrapper::ObjectWrapper(std::uintptr_t address) : memoryAddress(address) {
    ++Tarvik::StandIn::liveWrapperCount;
}
ObjectWrapper::ObjectWrapper(const ObjectWrapper& other) : memoryAddress(other.memoryAddress) {
    ++Tarvik::StandIn::liveWrapperCount;
}
ObjectWrapper& ObjectWrapper::operator=(const ObjectWrapper& other) = default;
ObjectWrapper::~ObjectWrapper() {
    --Tarvik::StandIn::liveWrapperCount;
}

// NOLINTBEGIN(bugprone-macro-parentheses): class names cannot be parenthesized
#define DEFINE_WRAPPER_MEMBERS(ClassName, BaseName)                     \
    ClassName::ClassName(std::uintptr_t address) : BaseName(address) {} \
    ClassName::ClassName(const ClassName& other) = default;             \
    ClassName& ClassName::operator=(const ClassName& other) = default;  \
    ClassName::~ClassName() = default

// NOLINTEND(bugprone-macro-parentheses)

DEFINE_WRAPPER_MEMBERS(CVarManagerWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(UniqueIDWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(ActorWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(PlayerReplicationInfoWrapper, ActorWrapper);
DEFINE_WRAPPER_MEMBERS(PriWrapper, PlayerReplicationInfoWrapper);
DEFINE_WRAPPER_MEMBERS(PlayerControllerWrapper, ActorWrapper);
DEFINE_WRAPPER_MEMBERS(GameSettingPlaylistWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(GameEventWrapper, ActorWrapper);
DEFINE_WRAPPER_MEMBERS(ServerWrapper, GameEventWrapper);
DEFINE_WRAPPER_MEMBERS(SampleHistoryWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(NetStatGraphWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(InputBufferGraphWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(PerfStatGraphWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(StatGraphSystemWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(EngineTAWrapper, ObjectWrapper);
DEFINE_WRAPPER_MEMBERS(GameWrapper, ObjectWrapper);

void CVarManagerWrapper::log(std::string text) {
    HostState& host = enterHost(memoryAddress, HostOperation::Log);
    host.console.push_back({host.now, std::move(text)});
}

std::string UniqueIDWrapper::str() const {
    HostState& host = enterHost(memoryAddress, HostOperation::UniqueIdStr);
    return host.game.uniqueId;
}

bool ActorWrapper::IsNull() {
    if (memoryAddress != 0) {
        hostAt(memoryAddress).enter(HostOperation::ActorIsNull);
    }
    return memoryAddress == 0;
}

float PlayerReplicationInfoWrapper::GetExactPing() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetExactPing);
    return host.game.exactPing;
}

PriWrapper PlayerControllerWrapper::GetPRI() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetPRI);
    return PriWrapper(addressIf(host, host.game.replicationInfoPresent));
}

std::int32_t GameSettingPlaylistWrapper::GetPlaylistId() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetPlaylistId);
    return host.game.playlistId;
}

PlayerControllerWrapper GameEventWrapper::GetLocalPrimaryPlayer() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetLocalPrimaryPlayer);
    return PlayerControllerWrapper(addressIf(host, host.game.localPlayerPresent));
}

GameSettingPlaylistWrapper GameEventWrapper::GetPlaylist() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetPlaylist);
    return GameSettingPlaylistWrapper(addressOf(host));
}

std::string ServerWrapper::GetMatchGUID() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetMatchGUID);
    return host.game.matchGuid;
}

// A sample history's address is its host's address plus the history's index, so
// one integer names both. HostState is far more than eight bytes long and aligned,
// so the low bits are free.
namespace {

SampleHistoryWrapper historyOf(std::uintptr_t graphAddress, History history) {
    HostState& host = hostAt(graphAddress);
    host.enter(HostOperation::GetSampleHistory);
    return SampleHistoryWrapper(addressOf(host) + static_cast<std::uintptr_t>(history));
}

constexpr std::uintptr_t kHistoryBits = 7;
static_assert(alignof(HostState) >= 8);

}  // namespace

RecordedSample SampleHistoryWrapper::GetPendingSample() {
    HostState& host = hostAt(memoryAddress & ~kHistoryBits);
    host.enter(HostOperation::GetPendingSample);
    return host.game.pendingSamples.at(memoryAddress & kHistoryBits);
}

SampleHistoryWrapper NetStatGraphWrapper::GetLatency() {
    return historyOf(memoryAddress, History::Latency);
}
SampleHistoryWrapper NetStatGraphWrapper::GetPacketsOut() {
    return historyOf(memoryAddress, History::PacketsOut);
}
SampleHistoryWrapper NetStatGraphWrapper::GetPacketsIn() {
    return historyOf(memoryAddress, History::PacketsIn);
}
SampleHistoryWrapper NetStatGraphWrapper::GetLostPacketsOut() {
    return historyOf(memoryAddress, History::LostPacketsOut);
}
SampleHistoryWrapper NetStatGraphWrapper::GetLostPacketsIn() {
    return historyOf(memoryAddress, History::LostPacketsIn);
}
SampleHistoryWrapper InputBufferGraphWrapper::GetBuffer() {
    return historyOf(memoryAddress, History::Buffer);
}
SampleHistoryWrapper InputBufferGraphWrapper::GetBufferTarget() {
    return historyOf(memoryAddress, History::BufferTarget);
}
SampleHistoryWrapper PerfStatGraphWrapper::GetFPS() {
    return historyOf(memoryAddress, History::FPS);
}

bool StatGraphSystemWrapper::IsNull() const {
    if (memoryAddress != 0) {
        hostAt(memoryAddress).enter(HostOperation::StatGraphsIsNull);
    }
    return memoryAddress == 0;
}

NetStatGraphWrapper StatGraphSystemWrapper::GetNetStatGraph() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetNetStatGraph);
    return NetStatGraphWrapper(addressOf(host));
}

InputBufferGraphWrapper StatGraphSystemWrapper::GetInputBufferGraph() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetInputBufferGraph);
    return InputBufferGraphWrapper(addressOf(host));
}

PerfStatGraphWrapper StatGraphSystemWrapper::GetPerfStatGraph() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetPerfStatGraph);
    return PerfStatGraphWrapper(addressOf(host));
}

StatGraphSystemWrapper EngineTAWrapper::GetStatGraphs() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetStatGraphs);
    return StatGraphSystemWrapper(addressIf(host, host.game.statGraphsPresent));
}

UniqueIDWrapper GameWrapper::GetUniqueID() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetUniqueID);
    return UniqueIDWrapper(addressOf(host));
}

std::filesystem::path GameWrapper::GetDataFolder() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetDataFolder);
    return host.game.dataFolder;
}

bool GameWrapper::IsInOnlineGame() {
    HostState& host = enterHost(memoryAddress, HostOperation::IsInOnlineGame);
    return host.game.inOnlineGame;
}

ServerWrapper GameWrapper::GetOnlineGame() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetOnlineGame);
    return ServerWrapper(addressIf(host, host.game.onlineGamePresent));
}

EngineTAWrapper GameWrapper::GetEngine() {
    HostState& host = enterHost(memoryAddress, HostOperation::GetEngine);
    return EngineTAWrapper(addressOf(host));
}

void GameWrapper::SetTimeout(std::function<void(GameWrapper*)> callback, float seconds) {
    HostState& host = enterHost(memoryAddress, HostOperation::SetTimeout);
    Tarvik::StandIn::scheduleTimeout(host, std::move(callback), seconds);
}
