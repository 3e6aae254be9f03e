#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "tarvik/plugin/TarvikPlugin.h"

namespace Tarvik::Plugin {

using GetPluginFunction = std::shared_ptr<TarvikPlugin>* (*)();
using DeleteMeFunction = void (*)();

// The record a plugin module exports as `exports` (C linkage). The host reads it
// straight out of the loaded module, so its layout is a binary contract.
struct PluginExportRecord {
    std::int32_t apiVersion;
    const char* sourceFile;
    const char* className;
    const char* displayName;
    const char* version;
    std::int32_t pluginType;
    GetPluginFunction getPlugin;
    DeleteMeFunction deleteMe;
};

inline constexpr std::int32_t kApiVersion = 95;

static_assert(sizeof(void*) == 8, "the host is a 64-bit process");
static_assert(std::is_standard_layout_v<PluginExportRecord>);
static_assert(sizeof(PluginExportRecord) == 64);
static_assert(offsetof(PluginExportRecord, apiVersion) == 0);
static_assert(offsetof(PluginExportRecord, sourceFile) == 8);
static_assert(offsetof(PluginExportRecord, className) == 16);
static_assert(offsetof(PluginExportRecord, displayName) == 24);
static_assert(offsetof(PluginExportRecord, version) == 32);
static_assert(offsetof(PluginExportRecord, pluginType) == 40);
static_assert(offsetof(PluginExportRecord, getPlugin) == 48);
static_assert(offsetof(PluginExportRecord, deleteMe) == 56);

}  // namespace Tarvik::Plugin
