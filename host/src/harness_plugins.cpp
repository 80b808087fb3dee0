// Scene harness: loading and unloading plug-ins and what they registered.
#include <khost/harness.h>

#include <algorithm>
#include <string>
#include <vector>

#include "callbacks.h"
#include "harness_internal.h"
#include "model.h"
#include "plugin_registry.h"

namespace khost {

namespace kd = detail;
using detail::NodeType;
using detail::PluginModule;
using detail::Scene;

namespace {

const PluginModule* loadedModule(const std::string& name) {
    for (const auto& p : kd::pluginRegistry().plugins) {
        if (p->loaded && p->name == name) {
            return p.get();
        }
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------- plug-ins
bool loadPlugin(const std::string& path, std::string* error) {
    return kd::loadModule(path, error);
}

bool loadPluginEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error) {
    return kd::loadModuleEntry(name, initialize, uninitialize, apiVersion, error);
}

bool unloadPlugin(const std::string& name, std::string* error) {
    return kd::unloadModule(name, error);
}

bool isPluginLoaded(const std::string& name) {
    return loadedModule(name) != nullptr;
}

std::string pluginVendor(const std::string& name) {
    const PluginModule* m = loadedModule(name);
    return m ? m->vendor : std::string();
}

std::string pluginVersion(const std::string& name) {
    const PluginModule* m = loadedModule(name);
    return m ? m->version : std::string();
}

std::string pluginApiVersion(const std::string& name) {
    const PluginModule* m = loadedModule(name);
    return m ? m->apiVersion : std::string();
}

bool nodeTypeRegistered(const std::string& typeName) {
    return kd::nodeTypeNamed(typeName) != nullptr;
}

bool drawOverrideRegistered(const std::string& classification, const std::string& registrantId) {
    const auto& overrides = kd::pluginRegistry().overrides;
    return std::any_of(overrides.begin(), overrides.end(), [&](const detail::OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrantId;
    });
}

std::size_t installedCallbackCount() {
    return kd::callbackRegistry().callbacks.size();
}

std::size_t danglingCallbackCount() {
    return kd::callbackRegistry().dangling;
}

}  // namespace khost
