// MObject handles, the function set base and the default object type test.
#include <maya/MFnBase.h>
#include <maya/MObject.h>

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

}  // namespace detail
}  // namespace khost

bool MObject::Data::hasFn(MFn::Type t) const {
    return khost::detail::isKindOf(apiType(), t);
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
