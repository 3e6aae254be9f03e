#pragma once

#include <filesystem>
#include <functional>

#include "tarvik/wrappers/ServerWrapper.h"
#include "tarvik/wrappers/StatGraphWrappers.h"
#include "tarvik/wrappers/UniqueIDWrapper.h"

// The game. Every operation must be called on the host's game thread.
class TARVIK_SDK_API GameWrapper : public ObjectWrapper {
  public:
    TARVIK_WRAPPER_MEMBERS(GameWrapper);

    UniqueIDWrapper GetUniqueID();
    // A folder the plugin may write into.
    std::filesystem::path GetDataFolder();
    bool IsInOnlineGame();
    // The current match; may be null.
    ServerWrapper GetOnlineGame();
    EngineTAWrapper GetEngine();
    // Calls `callback` once, on the game thread, `seconds` from now.
    void SetTimeout(std::function<void(GameWrapper*)> callback, float seconds);
};
