// The attribute function sets MFnAttribute and MFnTypedAttribute.
#include <maya/MFnAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnTypedAttribute.h>

#include <memory>

#include "attributes.h"

using khost::detail::attachedAttribute;
using khost::detail::AttrDef;
using khost::detail::AttrKind;

using khost::detail::setStatus;

// ---------------------------------------------------------------- MFnAttribute
KHOST_FUNCTION_SET(MFnAttribute, MFn::kAttribute)

MStatus MFnAttribute::setUsedAsColor(bool state) {
    AttrDef* a = attachedAttribute(obj_);
    if (!a || a->builtin) {
        return MStatus::kInvalidParameter;
    }
    // A colour is three float or double components.
    const bool colourShaped = a->kind == AttrKind::Numeric && (a->numericType == MFnNumericData::k3Float ||
                                                               a->numericType == MFnNumericData::k3Double);
    if (state && !colourShaped) {
        return MStatus::kInvalidParameter;
    }
    a->usedAsColor = state;
    return MStatus::kSuccess;
}

bool MFnAttribute::isUsedAsColor(MStatus* ReturnStatus) const {
    const AttrDef* a = attachedAttribute(obj_);
    return khost::detail::reportValid(a != nullptr, ReturnStatus) && a->usedAsColor;
}

// ---------------------------------------------------------------- MFnTypedAttribute
KHOST_FUNCTION_SET(MFnTypedAttribute, MFn::kTypedAttribute)

MObject MFnTypedAttribute::create(const MString& fullName, const MString& briefName, MFnData::Type dataType,
                                  MObject defaultData, MStatus* ReturnStatus) {
    obj_ = MObject();
    if (fullName.length() == 0 || briefName.length() == 0 || dataType <= MFnData::kInvalid ||
        dataType >= MFnData::kLast) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    // Node values hold strings only, and there is no string data object to
    // carry a default: other kinds and non-null defaults are refused.
    if (dataType != MFnData::kString || !defaultData.isNull()) {
        setStatus(ReturnStatus, MStatus::kNotImplemented);
        return MObject();
    }
    auto a = std::make_shared<AttrDef>();
    a->kind = AttrKind::Typed;
    a->longName = fullName.asChar();
    a->shortName = briefName.asChar();
    a->dataType = dataType;
    obj_ = khost::detail::objectOf(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MObject MFnTypedAttribute::create(const MString&, const MString&, const MTypeId&, MObject,
                                  MStatus* ReturnStatus) {
    // No plug-in data types can be registered with the embedded host.
    obj_ = MObject();
    setStatus(ReturnStatus, MStatus::kInvalidParameter);
    return MObject();
}

MFnData::Type MFnTypedAttribute::attrType(MStatus* ReturnStatus) const {
    const AttrDef* a = attachedAttribute(obj_);
    const bool typed = a && a->kind == AttrKind::Typed;
    return khost::detail::reportValid(typed, ReturnStatus) ? static_cast<MFnData::Type>(a->dataType)
                                                           : MFnData::kInvalid;
}

MStatus MFnTypedAttribute::getDefault(MObject& defaultData) {
    const AttrDef* a = attachedAttribute(obj_);
    if (!a || a->kind != AttrKind::Typed) {
        return MStatus::kInvalidParameter;
    }
    defaultData = MObject();  // string attributes have no default data
    return MStatus::kSuccess;
}

MStatus MFnTypedAttribute::setDefault(const MObject& defaultData) {
    const AttrDef* a = attachedAttribute(obj_);
    if (!a || a->kind != AttrKind::Typed) {
        return MStatus::kInvalidParameter;
    }
    return defaultData.isNull() ? MStatus::kSuccess : MStatus::kNotImplemented;
}
