#pragma once
// What the harness's sources share: finding the nodes and node types that
// names refer to. Not installed.
#include <maya/MDagPath.h>

#include <memory>
#include <string>

#include "model.h"

namespace khost {
namespace detail {

// The shape of the given kind a name refers to: the node itself, or the
// first such shape below a transform (harness_dag.cpp).
Node* shapeOfKind(const std::string& name, NodeKind kind);
// A path to a node, as the API hands them out (harness_dag.cpp).
MDagPath pathOf(Node* n);
// The registered node type of that name, or null (harness_plugins.cpp).
std::shared_ptr<NodeType> nodeTypeNamed(const std::string& name);

}  // namespace detail
}  // namespace khost
