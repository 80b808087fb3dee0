// The registries of loaded plug-in modules, node types and draw override
// creators.
#include <algorithm>
#include <memory>

#include "plugin_registry.h"

namespace khost {
namespace detail {

void retireType(std::size_t index) {
    PluginRegistry& registry = pluginRegistry();
    registry.nodeTypes.erase(registry.nodeTypes.begin() + static_cast<std::ptrdiff_t>(index));
}

PluginRegistry& pluginRegistry() {
    static PluginRegistry* registry = new PluginRegistry();
    return *registry;
}

PluginModule*& currentModule() {
    static PluginModule* module = nullptr;
    return module;
}

void dropRegistrations(PluginModule& module) {
    PluginRegistry& registry = pluginRegistry();
    auto& overrides = registry.overrides;
    overrides.erase(std::remove_if(overrides.begin(), overrides.end(),
                                   [&](const OverrideRegistration& r) { return r.owner == &module; }),
                    overrides.end());
    for (std::size_t i = registry.nodeTypes.size(); i-- > 0;) {
        if (registry.nodeTypes[i]->ownedBy(&module)) {
            retireType(i);
        }
    }
}

}  // namespace detail
}  // namespace khost
