// What the host sees of the module: the `exports` record and the two entry points.

#include <memory>
#include <new>

#include "QuorvelPlugin.h"
#include "tarvik/plugin/PluginExportRecord.h"

using Tarvik::Plugin::PluginExportRecord;
using Tarvik::Plugin::TarvikPlugin;

namespace {

// The module's one plugin object; released with the module's statics if deleteMe
// was never called.
std::shared_ptr<TarvikPlugin> pluginInstance;

}  // namespace

extern "C" {

TARVIK_PLUGIN_API std::shared_ptr<TarvikPlugin>* getPlugin() noexcept {
    if (!pluginInstance) {
        try {
            // The control block is allocated apart from the object and deletes it as
            // the most derived type, since the base has no virtual destructor.
            pluginInstance = std::shared_ptr<TarvikPlugin>(new QuorvelPlugin());
        } catch (const std::bad_alloc&) {
            // The host finds the pointer empty.
        }
    }
    return &pluginInstance;
}

TARVIK_PLUGIN_API void deleteMe() noexcept {
    // Empty the instance first, then release its use: the object dies here unless
    // the host still holds a copy.
    std::shared_ptr<TarvikPlugin> released = std::move(pluginInstance);
    pluginInstance.reset();
}

TARVIK_PLUGIN_API extern const PluginExportRecord exports;
const PluginExportRecord exports = {
    Tarvik::Plugin::kApiVersion,
    QUORVEL_PLUGIN_SOURCE,
    "QuorvelPlugin",
    "Quorvel Plugin",
    QUORVEL_VERSION,
    0,
    &getPlugin,
    &deleteMe,
};

}  // extern "C"
