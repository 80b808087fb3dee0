#pragma once
// What the harness's sources share: finding the nodes that names refer to
// (harness_dag.cpp) and handing out refusals. Not installed.
#include <maya/MDagPath.h>

#include <string>

#include "model.h"

namespace khost {
namespace detail {

// The shape of the given kind a name refers to: the node itself, or the
// first such shape below a transform.
Node* shapeOfKind(const std::string& name, NodeKind kind);
// A path to a node, as the API hands them out.
MDagPath pathOf(Node* n);

// Hands a refusal's reason to the caller when it asked for one; false.
inline bool refuse(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

}  // namespace detail
}  // namespace khost
