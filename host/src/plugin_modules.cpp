// Plug-in modules: the registries of loaded modules, node types and draw
// override creators; loading (dlopen or entry points linked in), calling the
// module's initializePlugin and uninitializePlugin, and unloading with
// everything the module left registered.
#define MNoVersionString
#include <maya/MFnPlugin.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <string>

#include "frame_state.h"
#include "model.h"
#include "plugin_registry.h"
#include "test_hooks.h"
#include "ui_state.h"

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

namespace {

using InitFn = MStatus (*)(MObject);

// The entry points have C++ linkage (MFnPlugin.h declares them outside any
// extern "C" block), so the module exports them under their mangled names.
constexpr const char* kInitializeSymbol = "_Z16initializePlugin7MObject";
constexpr const char* kUninitializeSymbol = "_Z18uninitializePlugin7MObject";

// Gives the reason for a refusal, and false.
bool fail(std::string* error, const std::string& reason) {
    if (error) {
        *error = reason;
    }
    return false;
}

// Load base of the object file that holds `address`, or null.
const void* objectBase(const void* address) {
    Dl_info info{};
    return address && dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Removes the callbacks whose function lies in the module's object file and
// counts them as left behind.
void dropModuleCallbacks(const PluginModule& module) {
    CallbackRegistry& callbacks = callbackRegistry();
    const void* base = objectBase(reinterpret_cast<const void*>(module.initialize));
    if (!base) {
        return;
    }
    for (auto it = callbacks.callbacks.begin(); it != callbacks.callbacks.end();) {
        if (objectBase(reinterpret_cast<const void*>(it->second.fn)) == base) {
            ++callbacks.dangling;
            it = callbacks.callbacks.erase(it);
        } else {
            ++it;
        }
    }
}

// Everything of the module is gone from the host: forget it and close it.
void closeModule(const std::shared_ptr<PluginModule>& module) {
    PluginRegistry& registry = pluginRegistry();
    khost::detail::releaseModuleOverrides(*module);
    khost::detail::dropRegistrations(*module);
    dropModuleCallbacks(*module);
    module->loaded = false;
    registry.plugins.erase(std::remove(registry.plugins.begin(), registry.plugins.end(), module),
                           registry.plugins.end());
    if (module->handle) {
        dlclose(module->handle);
        module->handle = nullptr;
    }
}

std::shared_ptr<PluginModule> findLoaded(const std::string& name) {
    for (const auto& p : pluginRegistry().plugins) {
        if (p->loaded && p->name == name) {
            return p;
        }
    }
    return nullptr;
}

bool startModule(const std::string& name, const std::string& path, void* handle, InitFn initialize,
                 InitFn uninitialize, const char* apiVersion, std::string* error) {
    auto refuse = [&](const std::string& reason) {
        if (handle) {
            dlclose(handle);
        }
        return fail(error, reason);
    };
    if (findLoaded(name)) {
        return refuse("plug-in \"" + name + "\" is already loaded");
    }
    // Modules built against another major release are refused.
    const std::string hostMajor = std::to_string(MAYA_API_VERSION / 10000);
    const std::string version = apiVersion ? apiVersion : "";
    if (version.size() != 8 || version.compare(0, 4, hostMajor) != 0) {
        return refuse("plug-in \"" + name + "\" was built for API version \"" + version + "\", the host is " +
                      std::to_string(MAYA_API_VERSION));
    }

    auto module = std::make_shared<PluginModule>();
    module->name = name;
    module->path = path;
    module->handle = handle;
    module->initialize = initialize;
    module->uninitialize = uninitialize;
    module->apiVersion = version;
    module->loaded = true;
    pluginRegistry().plugins.push_back(module);

    PluginModule*& current = khost::detail::currentModule();
    PluginModule* const previous = current;
    current = module.get();
    const MStatus status = initialize(objectOf(module));
    current = previous;
    if (!status) {
        closeModule(module);
        return fail(error, "initializePlugin of \"" + name + "\" failed: " + status.errorString().asChar());
    }
    return true;
}

std::string fileStem(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = file.find('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

}  // namespace

bool loadModule(const std::string& path, std::string* error) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
        return fail(error, "no plug-in file at \"" + path + "\"");
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        return fail(error, "cannot load \"" + path + "\": " + (why ? why : "unknown reason"));
    }
    void* init = dlsym(handle, kInitializeSymbol);
    void* uninit = dlsym(handle, kUninitializeSymbol);
    const char* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    if (!init || !version) {
        dlclose(handle);
        return fail(error, "\"" + path + "\" is not a plug-in: it lacks " +
                               (init ? "MApiVersion" : "initializePlugin"));
    }
    return startModule(fileStem(path), path, handle, reinterpret_cast<InitFn>(init),
                       reinterpret_cast<InitFn>(uninit), version, error);
}

bool loadModuleEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error) {
    if (name.empty() || !initialize) {
        return fail(error, "a plug-in needs a name and an initializePlugin");
    }
    return startModule(name, "", nullptr, initialize, uninitialize, apiVersion, error);
}

bool unloadModule(const std::string& name, std::string* error) {
    Scene& scene = Scene::get();
    const std::shared_ptr<PluginModule> module = findLoaded(name);
    if (!module) {
        return fail(error, "plug-in \"" + name + "\" is not loaded");
    }
    if (!module->uninitialize) {
        return fail(error, "plug-in \"" + name + "\" has no uninitializePlugin and cannot be unloaded");
    }
    for (const auto& n : scene.nodes) {
        if (n->alive && n->pluginType() && n->pluginType()->ownedBy(module.get())) {
            return fail(error, "plug-in \"" + name + "\" is in use: node \"" + n->name + "\" of type \"" +
                                   n->pluginType()->name + "\" exists");
        }
    }

    PluginModule*& current = khost::detail::currentModule();
    PluginModule* const previous = current;
    current = module.get();
    const MStatus status = module->uninitialize(objectOf(module));
    current = previous;
    if (!status) {
        return fail(error, "uninitializePlugin of \"" + name + "\" failed: " + status.errorString().asChar());
    }
    // The plug-in is going: its UI goes with it.
    if (!module->uiDeletionProc.empty()) {
        testHooks().uiProcedureLog.push_back(module->uiDeletionProc);
    }

    // Deleted nodes of the plug-in's types still wait in the undo queue:
    // destroy their plug-in objects while the module's code is still there.
    // The nodes themselves stay queued, still linked to their transforms,
    // until the queue is flushed (destroying them again is a no-op).
    for (const auto& n : scene.undoQueue) {
        if (n->pluginType() && n->pluginType()->ownedBy(module.get())) {
            khost::detail::destroyPluginNode(*n);
        }
    }
    closeModule(module);
    return true;
}

}  // namespace detail
}  // namespace khost
