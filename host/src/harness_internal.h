#pragma once
// What the harness's sources share: resolving names to nodes, making the
// handles and components they hand to the API, and reporting refusals.
// Not installed.
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>

#include <memory>
#include <string>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

// Hands a refusal's reason to the caller when it asked for one.
void fail(std::string* error, const std::string& reason);
// The transform a name refers to: the node itself, or a shape's parent.
Node* transformOf(const std::string& name);
// The shape of the given kind a name refers to: the node itself, or the
// first such shape below a transform.
Node* shapeOfKind(const std::string& name, NodeKind kind);
// Resolves a parent name ("" is the world). False when it names no transform.
bool resolveParent(const std::string& parent, Node*& out, std::string* error);
// False, with a reason, for a requested name the host would refuse ("" is fine).
bool checkName(const std::string& name, std::string* error);
// A transform with one shape of `kind` below it; returns the shape.
Node& addTransformAndShape(NodeKind kind, const std::string& name, const std::string& defaultBase,
                           Node* parent);
// The uniform knot vector of a curve given without one (clamped unless periodic).
std::vector<double> defaultKnots(int numCVs, int degree, int form);
// Handles to a node, as the API hands them out.
MObject objectOf(Node* n);
MDagPath pathOf(Node* n);
// A single-indexed component object; weights, when given, are padded with 1.
MObject componentObject(MFn::Type type, const std::vector<int>& elements, const std::vector<float>& weights);
// Element indices a curve has for a component type; -1 when not checked.
int elementLimit(const Node& curve, MFn::Type type);
// Bumps the selection's version and fires "SelectionChanged".
void selectionChanged();
// The named nodes that exist, as a selection list of their paths.
MSelectionList objectList(const std::vector<std::string>& names);
// The registered node type of that name, or null.
std::shared_ptr<NodeType> nodeTypeNamed(const std::string& name);

}  // namespace detail
}  // namespace khost
