// MPxNode: the base of plug-in node types, and the registration of their
// attributes while a node type's initializer runs.
#include <maya/MPxNode.h>

#include <memory>

#include "attributes.h"
#include "model.h"

using khost::detail::Access;
using khost::detail::attachedAttribute;
using khost::detail::AttrDef;
using khost::detail::Scene;

// ---------------------------------------------------------------- MPxNode
MObject MPxNode::message = khost::detail::builtinObject("message");
MObject MPxNode::isHistoricallyInteresting = khost::detail::builtinObject("isHistoricallyInteresting");
MObject MPxNode::caching = khost::detail::builtinObject("caching");
MObject MPxNode::state = khost::detail::builtinObject("nodeState");
MObject MPxNode::frozen = khost::detail::builtinObject("frozen");

MObject MPxNode::thisMObject() const {
    return node_ ? khost::detail::objectOf(node_->shared_from_this()) : MObject();
}

MString MPxNode::name() const {
    return node_ ? MString(node_->name.c_str()) : MString();
}
MString MPxNode::typeName() const {
    return node_ && node_->pluginType() ? MString(node_->pluginType()->name.c_str()) : MString();
}
MTypeId MPxNode::typeId() const {
    return node_ && node_->pluginType() ? node_->pluginType()->id : MTypeId();
}

MStatus MPxNode::addAttribute(const MObject& attr) {
    khost::detail::NodeType* target = khost::detail::pluginRegistry().initializingType;
    if (!target) {
        return MStatus::kFailure;  // only inside a node type's initializer
    }
    std::shared_ptr<AttrDef> a = std::dynamic_pointer_cast<AttrDef>(Access::data(attr));
    if (!a || a->builtin) {
        return MStatus::kInvalidParameter;
    }
    if (a->index >= 0) {
        return MStatus::kFailure;  // already part of a node type
    }
    if (khost::detail::findTypeAttribute(*target, a->longName) ||
        khost::detail::findTypeAttribute(*target, a->shortName) ||
        khost::detail::findBuiltinAttribute(a->longName) ||
        khost::detail::findBuiltinAttribute(a->shortName)) {
        return MStatus::kFailure;
    }
    a->index = static_cast<int>(target->attributes.size());
    target->attributes.push_back(std::move(a));
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    // The embedded host evaluates no dependency graph: the relation is
    // checked, not stored.
    const khost::detail::NodeType* target = khost::detail::pluginRegistry().initializingType;
    if (!target) {
        return MStatus::kFailure;
    }
    for (const MObject* obj : {&whenChanges, &isAffected}) {
        const AttrDef* a = attachedAttribute(*obj);
        if (!a || (!a->builtin && !khost::detail::typeOwnsAttribute(*target, *a))) {
            return MStatus::kInvalidParameter;
        }
    }
    return MStatus::kSuccess;
}

MStatus MPxNode::inheritAttributesFrom(const MString& parentClassName) {
    khost::detail::NodeType* target = khost::detail::pluginRegistry().initializingType;
    if (!target || !target->attributes.empty()) {
        return MStatus::kFailure;  // must come first in an initializer
    }
    for (const auto& t : khost::detail::pluginRegistry().nodeTypes) {
        if (t->name == parentClassName.asChar() && t.get() != target) {
            // Shared definitions keep their slots: they come first here too.
            target->attributes = t->attributes;
            return MStatus::kSuccess;
        }
    }
    return MStatus::kInvalidParameter;
}
