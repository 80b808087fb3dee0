// MObject handles, the function set base, and what kind of object a handle
// refers to: its API type and the function sets it supports; and the shapes
// below a transform.
#include <maya/MFnBase.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>

#include <utility>

#include "model.h"

namespace khost {
namespace detail {
namespace {

// Function-set compatibility by kind alone, for the object kinds whose
// hierarchy is not decided by the object itself: attributes and data
// objects. Nodes and components refine hasFn.
bool isKindOf(MFn::Type type, MFn::Type base) {
    if (type == base || base == MFn::kBase) {
        return type != MFn::kInvalid;
    }
    switch (type) {
        case MFn::kNumericAttribute:
        case MFn::kTypedAttribute:
        case MFn::kEnumAttribute:
            return base == MFn::kAttribute;
        case MFn::kNumericData:
        case MFn::kStringData:
            return base == MFn::kData;
        default:
            return false;
    }
}

}  // namespace

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

bool MObject::Data::hasFn(MFn::Type t) const {
    return khost::detail::isKindOf(apiType(), t);
}

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

using khost::detail::Access;

// ---------------------------------------------------------------- MObject
MObject MObject::kNullObj;

MObject::MObject() = default;
MObject::MObject(const MObject& other) = default;
MObject::~MObject() = default;
MObject& MObject::operator=(const MObject& other) = default;
bool MObject::operator==(const MObject& other) const {
    return data_ == other.data_;
}
bool MObject::operator!=(const MObject& other) const {
    return data_ != other.data_;
}

bool MObject::hasFn(MFn::Type fs) const {
    return data_ && data_->hasFn(fs);
}
bool MObject::isNull() const {
    return !data_;
}
MFn::Type MObject::apiType() const {
    return data_ ? data_->apiType() : MFn::kInvalid;
}

const char* MObject::apiTypeStr() const {
    static const std::pair<MFn::Type, const char*> kNames[] = {
        {MFn::kInvalid, "kInvalid"},
        {MFn::kBase, "kBase"},
        {MFn::kDagNode, "kDagNode"},
        {MFn::kTransform, "kTransform"},
        {MFn::kCamera, "kCamera"},
        {MFn::kCurve, "kCurve"},
        {MFn::kNurbsCurve, "kNurbsCurve"},
        {MFn::kLocator, "kLocator"},
        {MFn::kMesh, "kMesh"},
        {MFn::kPluginLocatorNode, "kPluginLocatorNode"},
        {MFn::kComponent, "kComponent"},
        {MFn::kCurveCVComponent, "kCurveCVComponent"},
        {MFn::kMeshVertComponent, "kMeshVertComponent"},
        {MFn::kSingleIndexedComponent, "kSingleIndexedComponent"},
        {MFn::kDependencyNode, "kDependencyNode"},
        {MFn::kPlugin, "kPlugin"},
        {MFn::kAttribute, "kAttribute"},
        {MFn::kNumericAttribute, "kNumericAttribute"},
        {MFn::kTypedAttribute, "kTypedAttribute"},
        {MFn::kEnumAttribute, "kEnumAttribute"},
        {MFn::kData, "kData"},
        {MFn::kNumericData, "kNumericData"},
        {MFn::kStringData, "kStringData"},
        {MFn::kCurveEPComponent, "kCurveEPComponent"},
        {MFn::kCurveKnotComponent, "kCurveKnotComponent"},
        {MFn::kCurveParamComponent, "kCurveParamComponent"},
        {MFn::kPluginDependNode, "kPluginDependNode"},
        {MFn::kLast, "kLast"}};
    for (const auto& entry : kNames) {
        if (entry.first == apiType()) {
            return entry.second;
        }
    }
    return "kInvalid";
}

// ---------------------------------------------------------------- MFnBase
MFnBase::MFnBase() = default;
MFnBase::~MFnBase() = default;

MFn::Type MFnBase::type() const {
    return MFn::kBase;
}

bool MFnBase::hasObj(MFn::Type tp) const {
    return khost::detail::isKindOf(tp, type());
}

bool MFnBase::hasObj(const MObject& obj) const {
    return obj.hasFn(type());
}

MObject MFnBase::object(MStatus* ReturnStatus) const {
    khost::detail::reportValid(!obj_.isNull(), ReturnStatus);
    return obj_;
}

MStatus MFnBase::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnBase::setObject(const MObject& object) {
    if (!object.hasFn(type())) {
        obj_ = MObject();
        return MStatus::kInvalidParameter;
    }
    obj_ = object;
    return MStatus::kSuccess;
}
