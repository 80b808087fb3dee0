// Helpers the harness's sources share (harness_internal.h).
#include <maya/MFn.h>
#include <maya/MSelectionList.h>

#include <memory>

#include "callbacks.h"
#include "component_data.h"
#include "harness_internal.h"
#include "model.h"
#include "nurbs.h"
#include "selection_state.h"

namespace khost {
namespace detail {

void fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
}

// The transform a name refers to: the node itself, or a shape's parent.
Node* transformOf(const std::string& name) {
    Node* n = findNode(name);
    if (n != nullptr && n->isShape()) {
        n = n->parent;
    }
    return (n != nullptr && n->kind == NodeKind::Transform) ? n : nullptr;
}

// The shape of the given kind a name refers to: the node itself, or the
// first such shape below a transform.
Node* shapeOfKind(const std::string& name, NodeKind kind) {
    Node* n = findNode(name);
    if (n == nullptr) {
        return nullptr;
    }
    if (n->kind == kind) {
        return n;
    }
    if (n->kind == NodeKind::Transform) {
        for (Node* c : n->children) {
            if (c->kind == kind) {
                return c;
            }
        }
    }
    return nullptr;
}

// Resolves a parent name ("" is the world). False when it names no transform.
bool resolveParent(const std::string& parent, Node*& out, std::string* error) {
    out = nullptr;
    if (parent.empty()) {
        return true;
    }
    out = findNode(parent);
    if (out == nullptr || out->kind != NodeKind::Transform) {
        fail(error, "no transform named '" + parent + "'");
        return false;
    }
    return true;
}

bool checkName(const std::string& name, std::string* error) {
    if (!name.empty() && !isValidNodeName(name)) {
        fail(error, "invalid node name '" + name + "'");
        return false;
    }
    return true;
}

// A transform with one shape of `kind` below it; returns the shape.
Node& addTransformAndShape(NodeKind kind, const std::string& name, const std::string& defaultBase,
                           Node* parent) {
    const std::string transformName = uniqueNodeName(name, defaultBase);
    Node& transform = addNode(NodeKind::Transform, transformName, parent);
    return addNode(kind, shapeNameFor(transformName), &transform);
}

std::vector<double> defaultKnots(int numCVs, int degree, int form) {
    return form == geom::kFormPeriodic ? geom::uniformPeriodicKnots(numCVs, degree)
                                       : geom::uniformClampedKnots(numCVs, degree);
}

MObject objectOf(Node* n) {
    MObject o;
    Access::data(o) = sharedNode(n);
    return o;
}

MDagPath pathOf(Node* n) {
    MDagPath p;
    Access::node(p) = sharedNode(n);
    return p;
}

MObject componentObject(MFn::Type type, const std::vector<int>& elements, const std::vector<float>& weights) {
    auto c = std::make_shared<ComponentData>();
    c->type = type;
    c->elements = elements;
    c->hasWeights = !weights.empty();
    if (c->hasWeights) {
        c->weights = weights;
        c->weights.resize(elements.size(), 1.0f);
    }
    MObject o;
    Access::data(o) = c;
    return o;
}

// Element indices a curve has for a component type; -1 when not checked.
int elementLimit(const Node& curve, MFn::Type type) {
    const int cvs = static_cast<int>(curve.curve().cvs.size());
    const int spans = geom::numSpans(curve.curve().degree, cvs);
    switch (type) {
        case MFn::kCurveCVComponent:
            return cvs;
        case MFn::kCurveEPComponent:
            return curve.curve().form == geom::kFormPeriodic ? spans : spans + 1;
        case MFn::kCurveKnotComponent:
            return static_cast<int>(curve.curve().knots.size());
        default:
            return -1;
    }
}

void selectionChanged() {
    ++selectionState().version;
    fireEvent("SelectionChanged");
}

MSelectionList objectList(const std::vector<std::string>& names) {
    MSelectionList list;
    for (const std::string& name : names) {
        if (Node* n = findNode(name)) {
            list.add(pathOf(n));
        }
    }
    return list;
}

std::shared_ptr<NodeType> nodeTypeNamed(const std::string& name) {
    for (const auto& t : pluginRegistry().nodeTypes) {
        if (t->name == name) {
            return t;
        }
    }
    return nullptr;
}

}  // namespace detail
}  // namespace khost
