// MFnNumericAttribute: numeric attributes, their defaults and ranges. Range
// and default setters act on the attribute the function set is attached to.
#include <maya/MFnNumericAttribute.h>

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "attributes.h"

using khost::detail::AttrDef;
using khost::detail::AttrKind;

namespace {

using khost::detail::setStatus;

AttrDef* attachedNumeric(const MObject& obj) {
    AttrDef* a = khost::detail::attachedAttribute(obj);
    return a && a->kind == AttrKind::Numeric && !a->builtin ? a : nullptr;
}

// Stores one value per component; the count must match the attribute's.
template <class... T>
MStatus setDefaults(const MObject& obj, T... values) {
    AttrDef* a = attachedNumeric(obj);
    return a ? khost::detail::storeValues(a->defaults.data(), a->components, a->numericType,
                                          {static_cast<double>(values)...})
             : MStatus(MStatus::kInvalidParameter);
}

template <class T>
MStatus getDefaults(const MObject& obj, std::initializer_list<T*> out) {
    const AttrDef* a = attachedNumeric(obj);
    return a ? khost::detail::readValues(a->defaults.data(), a->components, out)
             : MStatus(MStatus::kInvalidParameter);
}

// One bound for every component: the embedded host keeps a single range per
// attribute, so several values are accepted only when they agree.
MStatus setBound(const MObject& obj, std::initializer_list<double> values, bool isMin) {
    AttrDef* a = attachedNumeric(obj);
    if (!a || (values.size() > 1 && static_cast<int>(values.size()) != a->components)) {
        return MStatus::kInvalidParameter;
    }
    const double first = *values.begin();
    if (std::any_of(values.begin(), values.end(), [first](double v) { return v != first; })) {
        return MStatus::kNotImplemented;
    }
    if (isMin) {
        a->hasMin = true;
        a->minValue = first;
    } else {
        a->hasMax = true;
        a->maxValue = first;
    }
    return MStatus::kSuccess;
}

}  // namespace

// ---------------------------------------------------------------- MFnNumericAttribute
KHOST_FUNCTION_SET(MFnNumericAttribute, MFn::kNumericAttribute)

MObject MFnNumericAttribute::create(const MString& fullName, const MString& briefName,
                                    MFnNumericData::Type unitType, double defaultValue,
                                    MStatus* ReturnStatus) {
    const int components = khost::detail::numericComponents(unitType);
    if (components == 0 || fullName.length() == 0 || briefName.length() == 0) {
        obj_ = MObject();
        setStatus(ReturnStatus,
                  components == 0 && unitType != MFnNumericData::kInvalid && unitType != MFnNumericData::kLast
                      ? MStatus::kNotImplemented
                      : MStatus::kInvalidParameter);
        return MObject();
    }
    auto a = std::make_shared<AttrDef>();
    a->kind = AttrKind::Numeric;
    a->longName = fullName.asChar();
    a->shortName = briefName.asChar();
    a->numericType = unitType;
    a->components = components;
    a->defaults.fill(khost::detail::storeNumeric(unitType, defaultValue));
    obj_ = khost::detail::objectOf(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MObject MFnNumericAttribute::createColor(const MString& fullName, const MString& briefName,
                                         MStatus* ReturnStatus) {
    MObject obj = create(fullName, briefName, MFnNumericData::k3Float, 0.0, ReturnStatus);
    if (AttrDef* a = attachedNumeric(obj)) {
        a->usedAsColor = true;
    }
    return obj;
}

MObject MFnNumericAttribute::createPoint(const MString& fullName, const MString& briefName,
                                         MStatus* ReturnStatus) {
    return create(fullName, briefName, MFnNumericData::k3Float, 0.0, ReturnStatus);
}

MStatus MFnNumericAttribute::setMin(double min1) {
    return setBound(obj_, {min1}, true);
}
MStatus MFnNumericAttribute::setMin(double min1, double min2) {
    return setBound(obj_, {min1, min2}, true);
}
MStatus MFnNumericAttribute::setMin(double min1, double min2, double min3) {
    return setBound(obj_, {min1, min2, min3}, true);
}
MStatus MFnNumericAttribute::setMin(double min1, double min2, double min3, double min4) {
    return setBound(obj_, {min1, min2, min3, min4}, true);
}
MStatus MFnNumericAttribute::setMax(double max1) {
    return setBound(obj_, {max1}, false);
}
MStatus MFnNumericAttribute::setMax(double max1, double max2) {
    return setBound(obj_, {max1, max2}, false);
}
MStatus MFnNumericAttribute::setMax(double max1, double max2, double max3) {
    return setBound(obj_, {max1, max2, max3}, false);
}
MStatus MFnNumericAttribute::setMax(double max1, double max2, double max3, double max4) {
    return setBound(obj_, {max1, max2, max3, max4}, false);
}

MStatus MFnNumericAttribute::setDefault(bool value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(char value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(int value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(int value1, int value2) {
    return setDefaults(obj_, value1, value2);
}
MStatus MFnNumericAttribute::setDefault(int value1, int value2, int value3) {
    return setDefaults(obj_, value1, value2, value3);
}
MStatus MFnNumericAttribute::setDefault(MInt64 value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(float value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2) {
    return setDefaults(obj_, value1, value2);
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    return setDefaults(obj_, value1, value2, value3);
}
MStatus MFnNumericAttribute::setDefault(double value) {
    return setDefaults(obj_, value);
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2) {
    return setDefaults(obj_, value1, value2);
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2, double value3) {
    return setDefaults(obj_, value1, value2, value3);
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2, double value3, double value4) {
    // No four-component kind can be created in the embedded host.
    return setDefaults(obj_, value1, value2, value3, value4);
}
MStatus MFnNumericAttribute::setDefault(void*) {
    // Address attributes (kAddr) cannot be created in the embedded host.
    return MStatus::kInvalidParameter;
}

MStatus MFnNumericAttribute::getDefault(bool& value) {
    return getDefaults<bool>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(char& value) {
    return getDefaults<char>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(int& value) {
    return getDefaults<int>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(int& value1, int& value2) {
    return getDefaults<int>(obj_, {&value1, &value2});
}
MStatus MFnNumericAttribute::getDefault(int& value1, int& value2, int& value3) {
    return getDefaults<int>(obj_, {&value1, &value2, &value3});
}
MStatus MFnNumericAttribute::getDefault(MInt64& value) {
    return getDefaults<MInt64>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(float& value) {
    return getDefaults<float>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(float& value1, float& value2) {
    return getDefaults<float>(obj_, {&value1, &value2});
}
MStatus MFnNumericAttribute::getDefault(float& value1, float& value2, float& value3) {
    return getDefaults<float>(obj_, {&value1, &value2, &value3});
}
MStatus MFnNumericAttribute::getDefault(double& value) {
    return getDefaults<double>(obj_, {&value});
}
MStatus MFnNumericAttribute::getDefault(double& value1, double& value2) {
    return getDefaults<double>(obj_, {&value1, &value2});
}
MStatus MFnNumericAttribute::getDefault(double& value1, double& value2, double& value3) {
    return getDefaults<double>(obj_, {&value1, &value2, &value3});
}
