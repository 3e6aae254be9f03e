#pragma once

#include <memory>

#include "tarvik/Export.h"

class CVarManagerWrapper;
class GameWrapper;

namespace Tarvik::Plugin {

// Base of every plugin. The host fills `console` and `game` before it calls onLoad;
// the plugin never assigns them. The members below are defined in, and exported
// from, the plugin module. There is deliberately no virtual destructor: a plugin
// object is always destroyed through the shared-pointer control block made for
// its most derived type.
class TARVIK_PLUGIN_API TarvikPlugin {
  public:
    TarvikPlugin();
    TarvikPlugin(const TarvikPlugin& other);
    TarvikPlugin(TarvikPlugin&& other) noexcept;
    TarvikPlugin& operator=(const TarvikPlugin& other);
    TarvikPlugin& operator=(TarvikPlugin&& other) noexcept;
    ~TarvikPlugin();

    virtual void onLoad();    // slot 0
    virtual void onUnload();  // slot 1

    std::shared_ptr<CVarManagerWrapper> console;
    std::shared_ptr<GameWrapper> game;
};

}  // namespace Tarvik::Plugin
