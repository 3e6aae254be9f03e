// The host-declared base class is defined in, and exported from, the plugin module.

#include "tarvik/plugin/TarvikPlugin.h"

#include "tarvik/wrappers/CVarManagerWrapper.h"
#include "tarvik/wrappers/GameWrapper.h"

namespace Tarvik::Plugin {

TarvikPlugin::TarvikPlugin() = default;
TarvikPlugin::TarvikPlugin(const TarvikPlugin& other) = default;
TarvikPlugin::TarvikPlugin(TarvikPlugin&& other) noexcept = default;
TarvikPlugin& TarvikPlugin::operator=(const TarvikPlugin& other) = default;
TarvikPlugin& TarvikPlugin::operator=(TarvikPlugin&& other) noexcept = default;
// Members go in reverse order: `game` is released before `console`.
TarvikPlugin::~TarvikPlugin() = default;

void TarvikPlugin::onLoad() {}
void TarvikPlugin::onUnload() {}

}  // namespace Tarvik::Plugin
