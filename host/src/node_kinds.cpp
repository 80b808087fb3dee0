// What kind of object a node is: its API type, the function sets it
// supports, and the shapes below a transform.
#include <maya/MPxNode.h>

#include "model.h"

const std::shared_ptr<khost::detail::NodeType>& MObject::Node::pluginType() const {
    static const std::shared_ptr<khost::detail::NodeType> none;
    return kind == khost::detail::NodeKind::PluginShape ? plugin().type : none;
}

MFn::Type MObject::Node::apiType() const {
    // Indexed by NodeKind.
    static const MFn::Type kTypes[] = {MFn::kTransform, MFn::kCamera, MFn::kNurbsCurve, MFn::kMesh};
    if (kind != khost::detail::NodeKind::PluginShape) {
        return kTypes[static_cast<int>(kind)];
    }
    return (plugin().type != nullptr && plugin().type->pxType == MPxNode::kLocatorNode)
               ? MFn::kPluginLocatorNode
               : MFn::kPluginDependNode;
}

bool MObject::Node::hasFn(MFn::Type t) const {
    const MFn::Type own = apiType();
    return t == own || t == MFn::kBase || t == MFn::kDependencyNode || t == MFn::kDagNode ||
           (t == MFn::kCurve && own == MFn::kNurbsCurve) ||
           (t == MFn::kLocator && own == MFn::kPluginLocatorNode);
}

namespace khost {
namespace detail {

Node* onlyShape(const Node& node, MFn::Type type) {
    Node* only = nullptr;
    for (Node* child : node.children) {
        if (child->isShape() && child->hasFn(type)) {
            if (only != nullptr) {
                return nullptr;
            }
            only = child;
        }
    }
    return only;
}

}  // namespace detail
}  // namespace khost
