#include "tarvik/loader/PluginModule.h"

#include "PathText.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace Tarvik::Loader {

namespace {

#if defined(_WIN32)
void* openModule(const std::filesystem::path& file, std::string& error) {
    HMODULE module = LoadLibraryW(file.c_str());
    if (module == nullptr) {
        error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
    return reinterpret_cast<void*>(module);
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeModule(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
#else
void* openModule(const std::filesystem::path& file, std::string& error) {
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "dlopen failed";
    }
    return handle;
}
void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}
void closeModule(void* handle) {
    dlclose(handle);
}
#endif

using Quorvel::Platform::displayPath;

}  // namespace

PluginModule::PluginModule(const std::filesystem::path& file) {
    std::string error;
    handle = openModule(file, error);
    if (handle == nullptr) {
        throw ModuleLoadError("cannot load plugin module " + displayPath(file) + ": " + error);
    }
    exportRecord = static_cast<const Plugin::PluginExportRecord*>(findSymbol(handle, "exports"));
    if (exportRecord == nullptr) {
        closeModule(handle);
        throw ModuleLoadError("plugin module " + displayPath(file) +
                              " exports no 'exports' record");
    }
    if (exportRecord->apiVersion != Plugin::kApiVersion) {
        const int found = exportRecord->apiVersion;
        closeModule(handle);
        throw ModuleLoadError("plugin module " + displayPath(file) + " was built for API version " +
                              std::to_string(found) + ", expected " +
                              std::to_string(Plugin::kApiVersion));
    }
}

PluginModule::~PluginModule() {
    closeModule(handle);
}

void* PluginModule::symbol(const char* name) const {
    return findSymbol(handle, name);
}

}  // namespace Tarvik::Loader
