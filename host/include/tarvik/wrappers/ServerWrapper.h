#pragma once

#include <string>

#include "tarvik/wrappers/ActorWrapper.h"
#include "tarvik/wrappers/PlayerWrappers.h"

class TARVIK_SDK_API GameSettingPlaylistWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(GameSettingPlaylistWrapper);

    std::int32_t GetPlaylistId();
};

class TARVIK_SDK_API GameEventWrapper : public ActorWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(GameEventWrapper);

    // May be null.
    PlayerControllerWrapper GetLocalPrimaryPlayer();
    GameSettingPlaylistWrapper GetPlaylist();
};

// The current online match.
class TARVIK_SDK_API ServerWrapper : public GameEventWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(ServerWrapper);

    std::string GetMatchGUID();
};
