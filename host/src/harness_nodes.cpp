// Scene harness: plug-in queries, node creation for plug-in types,
// attribute access and the results of the last frame.
#include <maya/MFnData.h>
#include <maya/MPxNode.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <khost/harness.h>

#include "model.h"
#include "nodes_internal.h"
#include "scene_internal.h"

namespace khost {

using detail::Access;
using detail::AttrDef;
using detail::AttrKind;
using detail::Node;
using detail::NodeKind;
using detail::NodeType;
using detail::PluginModule;
using detail::Scene;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const PluginModule* loadedModule(const std::string& name) {
    for (const auto& p : Scene::get().plugins) {
        if (p->loaded && p->name == name) {
            return p.get();
        }
    }
    return nullptr;
}

std::shared_ptr<NodeType> nodeTypeNamed(const std::string& name) {
    for (const auto& t : Scene::get().nodeTypes) {
        if (t->name == name) {
            return t;
        }
    }
    return nullptr;
}

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
    detail::AttrValue& value() const { return node->values[static_cast<std::size_t>(attr->index)]; }
};

Target resolve(const std::string& nodeName, const std::string& attrName) {
    Target t;
    t.node = liveNode(nodeName);
    if (!t.node) {
        return t;
    }
    t.attr = t.node->type ? detail::findTypeAttribute(*t.node->type, attrName) : nullptr;
    if (!t.attr) {
        t.attr = detail::findBuiltinAttribute(attrName);
    }
    return t;
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
    return nodeTypeNamed(typeName) != nullptr;
}

bool drawOverrideRegistered(const std::string& classification, const std::string& registrantId) {
    const auto& overrides = Scene::get().overrides;
    return std::any_of(overrides.begin(), overrides.end(), [&](const detail::OverrideRegistration& r) {
        return r.classification == classification && r.registrantId == registrantId;
    });
}

// ---------------------------------------------------------------- nodes
std::string createNode(const std::string& typeName, const std::string& name, std::string* error) {
    auto refuse = [&](const std::string& reason) {
        if (error) {
            *error = reason;
        }
        return std::string();
    };
    const std::shared_ptr<NodeType> type = nodeTypeNamed(typeName);
    if (!type) {
        return refuse("unknown node type \"" + typeName + "\"");
    }
    if (!name.empty() && !detail::isValidNodeName(name)) {
        return refuse("invalid node name \"" + name + "\"");
    }
    // A locator lives under a transform of its own.
    Node* parent = nullptr;
    if (type->pxType == MPxNode::kLocatorNode) {
        parent = &detail::addNode(NodeKind::Transform, detail::uniqueNodeName("", "transform"), nullptr);
    }
    Node& node = detail::addNode(NodeKind::PluginShape, detail::uniqueNodeName(name, typeName), parent);
    node.type = type;
    node.state = 0;
    node.values.resize(type->attributes.size());
    for (std::size_t i = 0; i < type->attributes.size(); ++i) {
        node.values[i].num = type->attributes[i]->defaults;
    }

    void* made = type->creator();
    if (!made) {
        detail::removeSubtree(parent ? *parent : node, false);
        return refuse("the creator of \"" + typeName + "\" returned no object");
    }
    // The host takes the creator's object as the node's MPxNode.
    MPxNode* user = static_cast<MPxNode*>(made);
    Access::node(*user) = &node;
    node.user = user;
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
    const Target t = resolve(node, attr);
    if (!t.attr || t.attr->builtin || t.attr->kind != AttrKind::Typed) {
        return std::string();
    }
    return t.value().str;
}

bool attrStringIsNull(const std::string& node, const std::string& attr) {
    const Target t = resolve(node, attr);
    if (!t.attr || t.attr->builtin || t.attr->kind != AttrKind::Typed) {
        return false;
    }
    return t.value().strNull;
}

std::vector<AttributeInfo> listAttributes(const std::string& node) {
    std::vector<AttributeInfo> out;
    const Node* n = liveNode(node);
    if (!n || !n->type) {
        return out;
    }
    for (const auto& a : n->type->attributes) {
        AttributeInfo info;
        info.longName = a->longName;
        info.shortName = a->shortName;
        info.typed = a->kind == AttrKind::Typed;
        info.numericType = a->numericType;
        info.dataType = a->dataType;
        info.components = a->components;
        info.defaults = a->defaults;
        info.hasMin = a->hasMin;
        info.hasMax = a->hasMax;
        info.minValue = a->minValue;
        info.maxValue = a->maxValue;
        info.usedAsColor = a->usedAsColor;
        info.builtin = a->builtin;
        out.push_back(info);
    }
    return out;
}

// ---------------------------------------------------------------- frames
namespace {

const detail::FrameSlot* slotOf(const std::string& node) {
    const Node* n = detail::findNode(node);
    if (!n) {
        return nullptr;
    }
    const auto& frames = Scene::get().frames;
    const auto it = frames.find(n);
    return it == frames.end() ? nullptr : &it->second;
}

}  // namespace

const std::vector<DrawCall>& drawCalls(int view, const std::string& node) {
    static const std::vector<DrawCall> none;
    const detail::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->calls.size()) {
        return none;
    }
    return slot->calls[static_cast<std::size_t>(view)];
}

const MUserData* userData(int view, const std::string& node) {
    const detail::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->records.size()) {
        return nullptr;
    }
    return slot->records[static_cast<std::size_t>(view)];
}

MHWRender::MPxDrawOverride* drawOverride(const std::string& node) {
    const detail::FrameSlot* slot = slotOf(node);
    return slot ? slot->override : nullptr;
}

}  // namespace khost
