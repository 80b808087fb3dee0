// Plug-in modules: loading and unloading, the plug-in function set, node
// type registration and the draw override registry.
#define MNoVersionString
#include <maya/MDrawRegistry.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "model.h"
#include "nodes_internal.h"
#include "test_hooks.h"

using khost::detail::Access;
using khost::detail::logRegistration;
using khost::detail::Node;
using khost::detail::NodeType;
using khost::detail::OverrideRegistration;
using khost::detail::PluginModule;
using khost::detail::RegistrationStep;
using khost::detail::Scene;
using khost::detail::takeInjectedFailure;
using khost::detail::testHooks;

namespace khost {
namespace detail {
namespace {

// A deregistered type leaves the registry; nodes that still refer to it
// (in the undo queue) keep it alive until they go.
void retireType(std::size_t index) {
    Scene& scene = Scene::get();
    scene.nodeTypes.erase(scene.nodeTypes.begin() + static_cast<std::ptrdiff_t>(index));
}

}  // namespace

PluginModule*& currentModule() {
    static PluginModule* module = nullptr;
    return module;
}

std::shared_ptr<PluginModule> modulePtr(PluginModule* module) {
    for (const auto& p : Scene::get().plugins) {
        if (p.get() == module) {
            return p;
        }
    }
    return nullptr;
}

void dropRegistrations(PluginModule& module) {
    Scene& scene = Scene::get();
    auto& overrides = scene.overrides;
    overrides.erase(std::remove_if(overrides.begin(), overrides.end(),
                                   [&](const OverrideRegistration& r) { return r.owner == &module; }),
                    overrides.end());
    for (std::size_t i = scene.nodeTypes.size(); i-- > 0;) {
        if (scene.nodeTypes[i]->ownedBy(&module)) {
            retireType(i);
        }
    }
}

}  // namespace detail
}  // namespace khost

namespace {

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status) {
        *status = code;
    }
}

PluginModule* attachedModule(const MObject& obj) {
    return dynamic_cast<PluginModule*>(Access::data(obj).get());
}

bool hasLiveNodes(const NodeType& type) {
    const auto& nodes = Scene::get().nodes;
    return std::any_of(nodes.begin(), nodes.end(),
                       [&](const std::shared_ptr<Node>& n) { return n->alive && n->type.get() == &type; });
}

}  // namespace

// ---------------------------------------------------------------- MFnPlugin
MFnPlugin::MFnPlugin() = default;

MFnPlugin::MFnPlugin(MObject& object, const char* vendor, const char* version, const char* requiredApiVersion,
                     MStatus* ReturnStatus) {
    const MStatus attached = setObject(object);
    PluginModule* module = attachedModule(obj_);
    if (!attached || !module) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return;
    }
    module->vendor = vendor ? vendor : "";
    module->version = version ? version : "";
    module->requiredApi = requiredApiVersion ? requiredApiVersion : "";
    // A plug-in that needs a newer API than the host's is told so; the
    // function set stays attached.
    const bool any = module->requiredApi.empty() || module->requiredApi == "Any";
    const bool tooNew = !any && std::strtol(module->requiredApi.c_str(), nullptr, 10) > MAYA_API_VERSION;
    setStatus(ReturnStatus, tooNew ? MStatus::kFailure : MStatus::kSuccess);
}

MFnPlugin::~MFnPlugin() = default;
MFn::Type MFnPlugin::type() const {
    return MFn::kPlugin;
}
MFn::Type MFnPlugin::requiredType() const {
    return MFn::kPlugin;
}

namespace {

MString moduleText(const MObject& obj, std::string PluginModule::*field, MStatus* status) {
    const PluginModule* module = attachedModule(obj);
    setStatus(status, module ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return module ? MString((module->*field).c_str()) : MString();
}

}  // namespace

MString MFnPlugin::vendor(MStatus* ReturnStatus) const {
    return moduleText(obj_, &PluginModule::vendor, ReturnStatus);
}
MString MFnPlugin::version(MStatus* ReturnStatus) const {
    return moduleText(obj_, &PluginModule::version, ReturnStatus);
}
MString MFnPlugin::apiVersion(MStatus* ReturnStatus) const {
    return moduleText(obj_, &PluginModule::apiVersion, ReturnStatus);
}
MString MFnPlugin::name(MStatus* ReturnStatus) const {
    return moduleText(obj_, &PluginModule::name, ReturnStatus);
}
MString MFnPlugin::loadPath(MStatus* ReturnStatus) const {
    const PluginModule* module = attachedModule(obj_);
    setStatus(ReturnStatus, module ? MStatus::kSuccess : MStatus::kInvalidParameter);
    if (!module) {
        return MString();
    }
    const std::size_t slash = module->path.rfind('/');
    return MString(slash == std::string::npos ? "" : module->path.substr(0, slash).c_str());
}

MStatus MFnPlugin::setVersion(const MString& newVersion) {
    PluginModule* module = attachedModule(obj_);
    if (!module) {
        return MStatus::kInvalidParameter;
    }
    module->version = newVersion.asChar();
    return MStatus::kSuccess;
}

MStatus MFnPlugin::registerNode(const MString& typeName, const MTypeId& typeId,
                                MCreatorFunction creatorFunction, MInitializeFunction initFunction,
                                MPxNode::Type nodeKind, const MString* classification) {
    Scene& scene = Scene::get();
    const std::string name = typeName.asChar();
    const std::string entry = "registerNode " + name;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::RegisterNode);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    PluginModule* module = attachedModule(obj_);
    if (!module || !module->loaded || name.empty() || !creatorFunction || !initFunction) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    if (nodeKind != MPxNode::kDependNode && nodeKind != MPxNode::kLocatorNode) {
        return logRegistration(entry, MStatus::kNotImplemented);
    }
    for (const auto& t : scene.nodeTypes) {
        if (t->name == name || t->id == typeId) {
            return logRegistration(entry, MStatus::kFailure);
        }
    }
    auto type = std::make_shared<NodeType>();
    type->name = name;
    type->id = typeId;
    type->creator = creatorFunction;
    type->initializer = initFunction;
    type->pxType = nodeKind;
    type->classification = classification ? classification->asChar() : "";
    type->owner = std::static_pointer_cast<PluginModule>(module->shared_from_this());

    NodeType* const previous = scene.initializingType;
    scene.initializingType = type.get();
    const MStatus initialized = initFunction();
    scene.initializingType = previous;
    if (!initialized) {
        // The attributes stay free for a later attempt.
        for (const auto& a : type->attributes) {
            a->index = -1;
        }
        return logRegistration(entry, MStatus::kFailure);
    }
    scene.nodeTypes.push_back(std::move(type));
    return logRegistration(entry, MStatus::kSuccess);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    Scene& scene = Scene::get();
    std::size_t index = scene.nodeTypes.size();
    for (std::size_t i = 0; i < scene.nodeTypes.size(); ++i) {
        if (scene.nodeTypes[i]->id == typeId) {
            index = i;
        }
    }
    const bool known = index < scene.nodeTypes.size();
    const std::string entry =
        "deregisterNode " + (known ? scene.nodeTypes[index]->name : std::to_string(typeId.id()));
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::DeregisterNode);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    PluginModule* module = attachedModule(obj_);
    if (!module || !known || !scene.nodeTypes[index]->ownedBy(module)) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    if (hasLiveNodes(*scene.nodeTypes[index])) {
        return logRegistration(entry, MStatus::kFailure);
    }
    khost::detail::retireType(index);
    return logRegistration(entry, MStatus::kSuccess);
}

MStatus MFnPlugin::registerUI(const MString& creationProc, const MString& deletionProc,
                              const MString& creationBatchProc, const MString& deletionBatchProc) {
    const std::string creation = creationProc.asChar();
    const std::string deletion = deletionProc.asChar();
    const std::string entry = "registerUI " + creation + " " + deletion;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::RegisterUI);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    PluginModule* module = attachedModule(obj_);
    if (!module || !module->loaded || creation.empty() || deletion.empty()) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    module->uiDeletionProc = testHooks().batchMode ? std::string(deletionBatchProc.asChar()) : deletion;
    // The host runs the creation procedure at once.
    const std::string run = testHooks().batchMode ? std::string(creationBatchProc.asChar()) : creation;
    if (!run.empty()) {
        testHooks().uiProcedureLog.push_back(run);
    }
    return logRegistration(entry, MStatus::kSuccess);
}

// ---------------------------------------------------------------- MDrawRegistry
namespace MHWRender {

MStatus MDrawRegistry::registerDrawOverrideCreator(const MString& drawClassification,
                                                   const MString& registrantId, DrawOverrideCreator creator) {
    Scene& scene = Scene::get();
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "registerDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::RegisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    if (classification.empty() || registrant.empty() || !creator) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    for (const OverrideRegistration& r : scene.overrides) {
        if (r.classification == classification && r.registrantId == registrant) {
            return logRegistration(entry, MStatus::kFailure);
        }
    }
    OverrideRegistration r;
    r.classification = classification;
    r.registrantId = registrant;
    r.creator = creator;
    r.owner = khost::detail::currentModule();
    scene.overrides.push_back(r);
    return logRegistration(entry, MStatus::kSuccess);
}

MStatus MDrawRegistry::deregisterDrawOverrideCreator(const MString& drawClassification,
                                                     const MString& registrantId) {
    Scene& scene = Scene::get();
    const std::string classification = drawClassification.asChar();
    const std::string registrant = registrantId.asChar();
    const std::string entry = "deregisterDrawOverrideCreator " + classification;
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::DeregisterDrawOverride);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    auto& overrides = scene.overrides;
    const auto it = std::find_if(overrides.begin(), overrides.end(), [&](const OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrant;
    });
    if (it == overrides.end()) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    overrides.erase(it);
    return logRegistration(entry, MStatus::kSuccess);
}

}  // namespace MHWRender

// ---------------------------------------------------------------- loading
namespace {

using InitFn = MStatus (*)(MObject);

// The entry points have C++ linkage (MFnPlugin.h declares them outside any
// extern "C" block), so the module exports them under their mangled names.
constexpr const char* kInitializeSymbol = "_Z16initializePlugin7MObject";
constexpr const char* kUninitializeSymbol = "_Z18uninitializePlugin7MObject";

void fail(std::string* error, const std::string& reason) {
    if (error) {
        *error = reason;
    }
}

MObject moduleObject(const std::shared_ptr<PluginModule>& module) {
    MObject obj;
    Access::data(obj) = module;
    return obj;
}

// Load base of the object file that holds `address`, or null.
const void* objectBase(const void* address) {
    Dl_info info{};
    return address && dladdr(address, &info) ? info.dli_fbase : nullptr;
}

// Removes the callbacks whose function lies in the module's object file and
// counts them as left behind.
void dropModuleCallbacks(const PluginModule& module) {
    Scene& scene = Scene::get();
    const void* base = objectBase(reinterpret_cast<const void*>(module.initialize));
    if (!base) {
        return;
    }
    for (auto it = scene.callbacks.begin(); it != scene.callbacks.end();) {
        if (objectBase(reinterpret_cast<const void*>(it->second.fn)) == base) {
            ++scene.danglingCallbacks;
            it = scene.callbacks.erase(it);
        } else {
            ++it;
        }
    }
}

// Everything of the module is gone from the host: forget it and close it.
void closeModule(const std::shared_ptr<PluginModule>& module) {
    Scene& scene = Scene::get();
    khost::detail::releaseModuleOverrides(*module);
    khost::detail::dropRegistrations(*module);
    dropModuleCallbacks(*module);
    module->loaded = false;
    scene.plugins.erase(std::remove(scene.plugins.begin(), scene.plugins.end(), module), scene.plugins.end());
    if (module->handle) {
        dlclose(module->handle);
        module->handle = nullptr;
    }
}

std::shared_ptr<PluginModule> findLoaded(const std::string& name) {
    for (const auto& p : Scene::get().plugins) {
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
        fail(error, reason);
        return false;
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

    Scene& scene = Scene::get();
    auto module = std::make_shared<PluginModule>();
    module->name = name;
    module->path = path;
    module->handle = handle;
    module->initialize = initialize;
    module->uninitialize = uninitialize;
    module->apiVersion = version;
    module->loaded = true;
    scene.plugins.push_back(module);

    PluginModule*& current = khost::detail::currentModule();
    PluginModule* const previous = current;
    current = module.get();
    const MStatus status = initialize(moduleObject(module));
    current = previous;
    if (!status) {
        closeModule(module);
        fail(error, "initializePlugin of \"" + name + "\" failed: " + status.errorString().asChar());
        return false;
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

namespace khost {

bool loadPlugin(const std::string& path, std::string* error) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) {
        fail(error, "no plug-in file at \"" + path + "\"");
        return false;
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        fail(error, "cannot load \"" + path + "\": " + (why ? why : "unknown reason"));
        return false;
    }
    void* init = dlsym(handle, kInitializeSymbol);
    void* uninit = dlsym(handle, kUninitializeSymbol);
    const char* version = static_cast<const char*>(dlsym(handle, "MApiVersion"));
    if (!init || !version) {
        dlclose(handle);
        fail(error,
             "\"" + path + "\" is not a plug-in: it lacks " + (init ? "MApiVersion" : "initializePlugin"));
        return false;
    }
    return startModule(fileStem(path), path, handle, reinterpret_cast<InitFn>(init),
                       reinterpret_cast<InitFn>(uninit), version, error);
}

bool loadPluginEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error) {
    if (name.empty() || !initialize) {
        fail(error, "a plug-in needs a name and an initializePlugin");
        return false;
    }
    return startModule(name, "", nullptr, initialize, uninitialize, apiVersion, error);
}

bool unloadPlugin(const std::string& name, std::string* error) {
    Scene& scene = Scene::get();
    const std::shared_ptr<PluginModule> module = findLoaded(name);
    if (!module) {
        fail(error, "plug-in \"" + name + "\" is not loaded");
        return false;
    }
    if (!module->uninitialize) {
        fail(error, "plug-in \"" + name + "\" has no uninitializePlugin and cannot be unloaded");
        return false;
    }
    for (const auto& n : scene.nodes) {
        if (n->alive && n->type && n->type->ownedBy(module.get())) {
            fail(error, "plug-in \"" + name + "\" is in use: node \"" + n->name + "\" of type \"" +
                            n->type->name + "\" exists");
            return false;
        }
    }

    PluginModule*& current = khost::detail::currentModule();
    PluginModule* const previous = current;
    current = module.get();
    const MStatus status = module->uninitialize(moduleObject(module));
    current = previous;
    if (!status) {
        fail(error, "uninitializePlugin of \"" + name + "\" failed: " + status.errorString().asChar());
        return false;
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
        if (n->type && n->type->ownedBy(module.get())) {
            khost::detail::destroyPluginNode(*n);
        }
    }
    closeModule(module);
    return true;
}

}  // namespace khost
