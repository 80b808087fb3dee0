// The plug-in function set: a module's vendor and version, node type
// registration and UI procedure registration.
#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "model.h"
#include "plugin_registry.h"
#include "test_hooks.h"

using khost::detail::Access;
using khost::detail::logRegistration;
using khost::detail::Node;
using khost::detail::NodeType;
using khost::detail::PluginModule;
using khost::detail::PluginRegistry;
using khost::detail::pluginRegistry;
using khost::detail::RegistrationStep;
using khost::detail::Scene;
using khost::detail::takeInjectedFailure;
using khost::detail::testHooks;

namespace {

using khost::detail::setStatus;

PluginModule* attachedModule(const MObject& obj) {
    return dynamic_cast<PluginModule*>(Access::data(obj).get());
}

MString moduleText(const MObject& obj, std::string PluginModule::*field, MStatus* status) {
    const PluginModule* module = attachedModule(obj);
    return khost::detail::reportValid(module != nullptr, status) ? MString((module->*field).c_str())
                                                                 : MString();
}

bool hasLiveNodes(const NodeType& type) {
    const auto& nodes = Scene::get().nodes;
    return std::any_of(nodes.begin(), nodes.end(), [&](const std::shared_ptr<Node>& n) {
        return n->alive && n->pluginType().get() == &type;
    });
}

}  // namespace

// ---------------------------------------------------------------- MFnPlugin
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
    if (!khost::detail::reportValid(module != nullptr, ReturnStatus)) {
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
    PluginRegistry& registry = pluginRegistry();
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
    if (std::any_of(registry.nodeTypes.begin(), registry.nodeTypes.end(),
                    [&](const std::shared_ptr<NodeType>& t) { return t->name == name || t->id == typeId; })) {
        return logRegistration(entry, MStatus::kFailure);
    }
    auto type = std::make_shared<NodeType>();
    type->name = name;
    type->id = typeId;
    type->creator = creatorFunction;
    type->pxType = nodeKind;
    type->classification = classification ? classification->asChar() : "";
    type->owner = std::static_pointer_cast<PluginModule>(module->shared_from_this());

    NodeType* const previous = registry.initializingType;
    registry.initializingType = type.get();
    const MStatus initialized = initFunction();
    registry.initializingType = previous;
    if (!initialized) {
        // The attributes stay free for a later attempt.
        for (const auto& a : type->attributes) {
            a->index = -1;
        }
        return logRegistration(entry, MStatus::kFailure);
    }
    registry.nodeTypes.push_back(std::move(type));
    return logRegistration(entry, MStatus::kSuccess);
}

MStatus MFnPlugin::deregisterNode(const MTypeId& typeId) {
    PluginRegistry& registry = pluginRegistry();
    const auto& types = registry.nodeTypes;
    const std::size_t index = static_cast<std::size_t>(
        std::find_if(types.begin(), types.end(), [&](const auto& t) { return t->id == typeId; }) -
        types.begin());
    const bool known = index < registry.nodeTypes.size();
    const std::string entry =
        "deregisterNode " + (known ? registry.nodeTypes[index]->name : std::to_string(typeId.id()));
    const MStatus::MStatusCode injected = takeInjectedFailure(RegistrationStep::DeregisterNode);
    if (injected != MStatus::kSuccess) {
        return logRegistration(entry, injected);
    }
    PluginModule* module = attachedModule(obj_);
    if (!module || !known || !registry.nodeTypes[index]->ownedBy(module)) {
        return logRegistration(entry, MStatus::kInvalidParameter);
    }
    if (hasLiveNodes(*registry.nodeTypes[index])) {
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
