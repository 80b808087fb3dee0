// What kind of object a node is: its API type and the function sets it
// supports.
#include <maya/MPxNode.h>

#include "model.h"

const std::shared_ptr<khost::detail::NodeType>& MObject::Node::pluginType() const {
    static const std::shared_ptr<khost::detail::NodeType> none;
    return kind == khost::detail::NodeKind::PluginShape ? plugin().type : none;
}

MFn::Type MObject::Node::apiType() const {
    switch (kind) {
        case khost::detail::NodeKind::Transform:
            return MFn::kTransform;
        case khost::detail::NodeKind::Camera:
            return MFn::kCamera;
        case khost::detail::NodeKind::NurbsCurve:
            return MFn::kNurbsCurve;
        case khost::detail::NodeKind::Mesh:
            return MFn::kMesh;
        case khost::detail::NodeKind::PluginShape:
            return (plugin().type != nullptr && plugin().type->pxType == MPxNode::kLocatorNode)
                       ? MFn::kPluginLocatorNode
                       : MFn::kPluginDependNode;
    }
    return MFn::kInvalid;
}

bool MObject::Node::hasFn(MFn::Type t) const {
    if (t == MFn::kBase || t == MFn::kDependencyNode || t == MFn::kDagNode) {
        return true;
    }
    switch (kind) {
        case khost::detail::NodeKind::Transform:
            return t == MFn::kTransform;
        case khost::detail::NodeKind::Camera:
            return t == MFn::kCamera;
        case khost::detail::NodeKind::NurbsCurve:
            return t == MFn::kCurve || t == MFn::kNurbsCurve;
        case khost::detail::NodeKind::Mesh:
            return t == MFn::kMesh;
        case khost::detail::NodeKind::PluginShape:
            if (apiType() == MFn::kPluginLocatorNode) {
                return t == MFn::kLocator || t == MFn::kPluginLocatorNode;
            }
            return t == MFn::kPluginDependNode;
    }
    return false;
}
