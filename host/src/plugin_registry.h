#pragma once
// Loaded plug-in modules and what they registered (node types and draw
// override creators), and loading and unloading modules. Not installed.
#include <maya/MStatus.h>
#include <maya/MTypeId.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "attributes.h"
#include "host_access.h"

class MPxNode;
namespace MHWRender {
class MPxDrawOverride;
}

namespace khost {
namespace detail {

struct PluginModule;

struct NodeType {
    std::string name;
    MTypeId id;
    void* (*creator)() = nullptr;
    int pxType = 0;  // MPxNode::Type
    std::string classification;
    std::vector<std::shared_ptr<AttrDef>> attributes;  // plug-in attributes, in addAttribute order
    // The module that registered the type; expired once that module is
    // unloaded and nothing else refers to it.
    std::weak_ptr<PluginModule> owner;
    bool ownedBy(const PluginModule* module) const {
        return module != nullptr && owner.lock().get() == module;
    }
};

struct OverrideRegistration {
    std::string classification;
    std::string registrantId;
    MHWRender::MPxDrawOverride* (*creator)(const MObject&) = nullptr;
    PluginModule* owner = nullptr;
};

struct PluginModule : ObjectData {
    std::string name;  // file stem, e.g. "knotlens"
    std::string path;
    void* handle = nullptr;  // dlopen handle, null for in-process entries
    MStatus (*initialize)(MObject) = nullptr;
    MStatus (*uninitialize)(MObject) = nullptr;
    std::string apiVersion;
    std::string vendor, version, requiredApi;
    // The deletion procedure of MFnPlugin::registerUI that the host runs when
    // the module unloads: the interactive or the batch one, as it was loaded.
    std::string uiDeletionProc;
    bool loaded = false;
    MFn::Type apiType() const override { return MFn::kPlugin; }
};

// The data of a plug-in node. The node keeps its type alive: a deregistered
// type lasts as long as a node of it (in the undo queue, or held by a
// handle) refers to it.
struct PluginNodeData {
    std::shared_ptr<NodeType> type;
    MPxNode* user = nullptr;        // the plug-in's object; deleted through its virtual destructor
    std::vector<AttrValue> values;  // indexed by AttrDef::index
};

struct PluginRegistry {
    std::vector<std::shared_ptr<PluginModule>> plugins;  // loaded modules, load order
    std::vector<std::shared_ptr<NodeType>> nodeTypes;    // registered types
    std::vector<OverrideRegistration> overrides;
    NodeType* initializingType = nullptr;  // target of MPxNode::addAttribute during an initializer
};
// One per process, never destroyed (like the scene).
PluginRegistry& pluginRegistry();

// The module whose initializePlugin or uninitializePlugin is running (null
// outside them); registrations made meanwhile belong to it.
PluginModule*& currentModule();
// Removes a registered type (by index) from the registry; nodes that still
// refer to it (in the undo queue) keep it alive until they go.
void retireType(std::size_t index);
// Drops every registration a module still holds (after a failed initialize
// or an uninitialize that left some behind).
void dropRegistrations(PluginModule& module);

// plugin_modules.cpp: loading and unloading modules, as the harness asks.
// Loads a module file: dlopen, look up initializePlugin, uninitializePlugin
// and MApiVersion, call initializePlugin. False, with a reason, on refusal.
bool loadModule(const std::string& path, std::string* error);
// The same for entry points linked into the calling program.
bool loadModuleEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error);
// Calls uninitializePlugin and unloads; refused while nodes of the module's
// types exist.
bool unloadModule(const std::string& name, std::string* error);

}  // namespace detail
}  // namespace khost
