// Scene harness: loading and unloading plug-ins, what they registered, and
// nodes of their types with their attributes.
#include <khost/harness.h>
#include <maya/MFnData.h>
#include <maya/MPxNode.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "attributes.h"
#include "frame_state.h"
#include "harness_internal.h"
#include "model.h"
#include "plugin_registry.h"
#include "ui_state.h"

namespace khost {

namespace kd = detail;
using detail::Access;
using detail::AttrDef;
using detail::AttrKind;
using detail::Node;
using detail::NodeKind;
using detail::NodeType;

namespace {

// The registered node type of that name, or null.
std::shared_ptr<NodeType> nodeTypeNamed(const std::string& name) {
    const auto& types = detail::pluginRegistry().nodeTypes;
    const auto it = std::find_if(types.begin(), types.end(), [&](const auto& t) { return t->name == name; });
    return it != types.end() ? *it : nullptr;
}

const detail::PluginModule* loadedModule(const std::string& name) {
    const auto& modules = detail::pluginRegistry().plugins;
    const auto it = std::find_if(modules.begin(), modules.end(),
                                 [&](const auto& m) { return m->loaded && m->name == name; });
    return it != modules.end() ? it->get() : nullptr;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

Node* liveNode(const std::string& name) {
    Node* n = detail::findNode(name);
    return n && n->alive ? n : nullptr;
}

// One attribute of one live node: a plug-in attribute of the node's type,
// or a built-in one.
struct Target {
    Node* node = nullptr;
    const AttrDef* attr = nullptr;
    bool isState() const { return attr == &detail::stateAttribute(); }
    detail::AttrValue& value() const { return node->plugin().values[static_cast<std::size_t>(attr->index)]; }
};

Target resolve(const std::string& nodeName, const std::string& attrName) {
    Target t;
    t.node = liveNode(nodeName);
    if (!t.node) {
        return t;
    }
    t.attr = t.node->pluginType() ? detail::findTypeAttribute(*t.node->pluginType(), attrName) : nullptr;
    if (!t.attr) {
        t.attr = detail::findBuiltinAttribute(attrName);
    }
    return t;
}

// The stored value of a plug-in's typed attribute, or null.
const detail::AttrValue* typedValue(const std::string& nodeName, const std::string& attrName) {
    const Target t = resolve(nodeName, attrName);
    return t.attr && !t.attr->builtin && t.attr->kind == AttrKind::Typed ? &t.value() : nullptr;
}

// Writes numeric components: clamped to the attribute's range for setAttr,
// as they come for forceAttr.
bool writeNumeric(const std::string& nodeName, const std::string& attrName, const std::vector<double>& in,
                  bool clamp) {
    const Target t = resolve(nodeName, attrName);
    if (!t.attr) {
        return false;
    }
    if (clamp && std::any_of(in.begin(), in.end(), [](double v) { return std::isnan(v); })) {
        return false;
    }
    if (t.isState()) {
        if (in.size() != 1) {
            return false;
        }
        const double v = std::round(in[0]);
        // setAttr accepts only the enum's values; a connection may deliver any.
        if (clamp && (v < t.attr->minValue || v > t.attr->maxValue)) {
            return false;
        }
        t.node->state = detail::saturateCast<int>(v);
        detail::markDrawDirty(*t.node);
        return true;
    }
    if (t.attr->builtin || t.attr->kind != AttrKind::Numeric ||
        static_cast<int>(in.size()) != t.attr->components) {
        return false;
    }
    auto& num = t.value().num;
    for (std::size_t i = 0; i < in.size(); ++i) {
        double v = in[i];
        if (clamp && t.attr->hasMin && v < t.attr->minValue) {
            v = t.attr->minValue;
        }
        if (clamp && t.attr->hasMax && v > t.attr->maxValue) {
            v = t.attr->maxValue;
        }
        num[i] = detail::storeNumeric(t.attr->numericType, v);
    }
    detail::markDrawDirty(*t.node);
    return true;
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
    const kd::PluginModule* m = loadedModule(name);
    return m ? m->vendor : std::string();
}

std::string pluginVersion(const std::string& name) {
    const kd::PluginModule* m = loadedModule(name);
    return m ? m->version : std::string();
}

std::string pluginApiVersion(const std::string& name) {
    const kd::PluginModule* m = loadedModule(name);
    return m ? m->apiVersion : std::string();
}

bool nodeTypeRegistered(const std::string& typeName) {
    return nodeTypeNamed(typeName) != nullptr;
}

bool drawOverrideRegistered(const std::string& classification, const std::string& registrantId) {
    const auto& overrides = kd::pluginRegistry().overrides;
    return std::any_of(overrides.begin(), overrides.end(), [&](const kd::OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrantId;
    });
}

std::size_t installedCallbackCount() {
    return kd::callbackRegistry().callbacks.size();
}

std::size_t danglingCallbackCount() {
    return kd::callbackRegistry().dangling;
}

// ---------------------------------------------------------------- nodes
std::string createNode(const std::string& typeName, const std::string& name, std::string* error) {
    const std::shared_ptr<NodeType> type = nodeTypeNamed(typeName);
    if (!type) {
        detail::refuse(error, "unknown node type \"" + typeName + "\"");
        return "";
    }
    if (!name.empty() && !detail::isValidNodeName(name)) {
        detail::refuse(error, "invalid node name \"" + name + "\"");
        return "";
    }
    // A locator lives under a transform of its own.
    Node* parent = nullptr;
    if (type->pxType == MPxNode::kLocatorNode) {
        parent = &detail::addNode(NodeKind::Transform, detail::uniqueNodeName("", "transform"), nullptr);
    }
    Node& node = detail::addNode(NodeKind::PluginShape, detail::uniqueNodeName(name, typeName), parent);
    node.plugin().type = type;
    node.state = 0;
    node.plugin().values.resize(type->attributes.size());
    for (std::size_t i = 0; i < type->attributes.size(); ++i) {
        node.plugin().values[i].num = type->attributes[i]->defaults;
    }

    void* made = type->creator();
    if (!made) {
        detail::removeSubtree(parent ? *parent : node, false);
        detail::refuse(error, "the creator of \"" + typeName + "\" returned no object");
        return "";
    }
    // The host takes the creator's object as the node's MPxNode.
    MPxNode* user = static_cast<MPxNode*>(made);
    Access::node(*user) = &node;
    node.plugin().user = user;
    user->postConstructor();
    return node.name;
}

// ---------------------------------------------------------------- attributes
bool setAttr(const std::string& node, const std::string& attr, double value) {
    return writeNumeric(node, attr, {value}, true);
}

bool setAttr(const std::string& node, const std::string& attr, double a, double b, double c) {
    return writeNumeric(node, attr, {a, b, c}, true);
}

bool forceAttr(const std::string& node, const std::string& attr, double value) {
    return writeNumeric(node, attr, {value}, false);
}

bool forceAttr(const std::string& node, const std::string& attr, double a, double b, double c) {
    return writeNumeric(node, attr, {a, b, c}, false);
}

bool setAttrString(const std::string& node, const std::string& attr, const std::string& value) {
    const Target t = resolve(node, attr);
    if (!t.attr || t.attr->builtin || t.attr->kind != AttrKind::Typed ||
        t.attr->dataType != MFnData::kString) {
        return false;
    }
    t.value().str = value;
    t.value().strNull = false;
    detail::markDrawDirty(*t.node);
    return true;
}

double getAttr(const std::string& node, const std::string& attr) {
    const Target t = resolve(node, attr);
    if (!t.attr) {
        return kNaN;
    }
    if (t.isState()) {
        return t.node->state;
    }
    if (t.attr->kind != AttrKind::Numeric || t.attr->components != 1) {
        return kNaN;
    }
    return t.attr->builtin ? t.attr->defaults[0] : t.value().num[0];
}

std::array<double, 3> getAttr3(const std::string& node, const std::string& attr) {
    const Target t = resolve(node, attr);
    if (!t.attr || t.isState() || t.attr->kind != AttrKind::Numeric || t.attr->components != 3) {
        return {{kNaN, kNaN, kNaN}};
    }
    return t.attr->builtin ? t.attr->defaults : t.value().num;
}

std::string getAttrString(const std::string& node, const std::string& attr) {
    const detail::AttrValue* value = typedValue(node, attr);
    return value ? value->str : std::string();
}

bool attrStringIsNull(const std::string& node, const std::string& attr) {
    const detail::AttrValue* value = typedValue(node, attr);
    return value && value->strNull;
}

std::vector<AttributeInfo> listAttributes(const std::string& node) {
    std::vector<AttributeInfo> out;
    const Node* n = liveNode(node);
    if (!n || !n->pluginType()) {
        return out;
    }
    for (const auto& a : n->pluginType()->attributes) {
        out.push_back(AttributeInfo{a->longName, a->shortName, a->kind == AttrKind::Typed, a->numericType,
                                    a->dataType, a->components, a->defaults, a->hasMin, a->hasMax,
                                    a->minValue, a->maxValue, a->usedAsColor, a->builtin});
    }
    return out;
}

}  // namespace khost
