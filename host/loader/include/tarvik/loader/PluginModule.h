#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "tarvik/plugin/PluginExportRecord.h"

namespace Tarvik::Loader {

class ModuleLoadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A plugin module loaded the way the host loads it: the module file opened with
// the platform's dynamic loader and its `exports` record looked up by name.
// Unloading the module (on destruction) runs its static destructors; the caller
// must first drop every callback the module scheduled and every object it made.
class PluginModule {
  public:
    // Throws ModuleLoadError naming the file and the cause.
    explicit PluginModule(const std::filesystem::path& file);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    const Plugin::PluginExportRecord& record() const { return *exportRecord; }
    // Looks up any exported symbol by its undecorated name; null when absent.
    void* symbol(const char* name) const;
    // The platform's handle of the loaded module (an HMODULE on Windows).
    void* nativeHandle() const { return handle; }

  private:
    void* handle = nullptr;
    const Plugin::PluginExportRecord* exportRecord = nullptr;
};

}  // namespace Tarvik::Loader
