// Node attributes: numeric value conversion, the built-in attributes, the
// attribute function sets, and the MPxNode / MPxLocatorNode base classes.
#include <maya/MFnAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MPxNode.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <type_traits>
#include <vector>

#include "model.h"
#include "nodes_internal.h"

namespace khost {
namespace detail {

MFn::Type AttrDef::apiType() const {
    switch (kind) {
        case AttrKind::Numeric:
            return MFn::kNumericAttribute;
        case AttrKind::Typed:
            return MFn::kTypedAttribute;
        case AttrKind::Enum:
            return MFn::kEnumAttribute;
    }
    return MFn::kAttribute;
}

// ---------------------------------------------------------------- numeric values
int numericComponents(int numericType) {
    switch (numericType) {
        case MFnNumericData::kBoolean:
        case MFnNumericData::kByte:
        case MFnNumericData::kChar:
        case MFnNumericData::kShort:
        case MFnNumericData::kInt:
        case MFnNumericData::kInt64:
        case MFnNumericData::kFloat:
        case MFnNumericData::kDouble:
            return 1;
        case MFnNumericData::k2Short:
        case MFnNumericData::k2Int:
        case MFnNumericData::k2Float:
        case MFnNumericData::k2Double:
            return 2;
        case MFnNumericData::k3Short:
        case MFnNumericData::k3Int:
        case MFnNumericData::k3Float:
        case MFnNumericData::k3Double:
            return 3;
        default:
            return 0;
    }
}

namespace {

template <class I>
double roundTo(double value) {
    return static_cast<double>(saturateCast<I>(std::round(value)));
}

double toFloatPrecision(double value) {
    constexpr double maxFloat = static_cast<double>(std::numeric_limits<float>::max());
    if (std::isfinite(value) && std::fabs(value) > maxFloat) {
        // Out of float range: IEEE rounding gives infinity.
        return value > 0 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    }
    return static_cast<double>(static_cast<float>(value));
}

}  // namespace

double storeNumeric(int numericType, double value) {
    switch (numericType) {
        case MFnNumericData::kBoolean:
            return value != 0.0 ? 1.0 : 0.0;
        case MFnNumericData::kByte:
            return roundTo<unsigned char>(value);
        case MFnNumericData::kChar:
            return roundTo<signed char>(value);
        case MFnNumericData::kShort:
        case MFnNumericData::k2Short:
        case MFnNumericData::k3Short:
            return roundTo<int16_t>(value);
        case MFnNumericData::kInt:
        case MFnNumericData::k2Int:
        case MFnNumericData::k3Int:
            return roundTo<int32_t>(value);
        case MFnNumericData::kInt64:
            return roundTo<int64_t>(value);
        case MFnNumericData::kFloat:
        case MFnNumericData::k2Float:
        case MFnNumericData::k3Float:
            return toFloatPrecision(value);
        default:
            return value;
    }
}

// ---------------------------------------------------------------- built-in attributes
namespace {

struct BuiltinAttr {
    const char* longName;
    const char* shortName;
    AttrKind kind;
    int type;  // numeric type for Numeric, data type for Typed
    double defaultValue;
};

// Attributes every node has (MPxNode) and those of locators
// (MPxLocatorNode). Only nodeState holds a per-node value; the others read
// as their defaults.
const std::vector<std::shared_ptr<AttrDef>>& builtins() {
    static const std::vector<std::shared_ptr<AttrDef>> table = [] {
        const int d = MFnNumericData::kDouble;
        const int d3 = MFnNumericData::k3Double;
        const int none = MFnData::kInvalid;
        const int matrix = MFnData::kMatrix;
        const BuiltinAttr rows[] = {
            {"nodeState", "nds", AttrKind::Enum, MFnNumericData::kShort, 0.0},
            {"message", "msg", AttrKind::Typed, none, 0.0},
            {"isHistoricallyInteresting", "ihi", AttrKind::Numeric, MFnNumericData::kByte, 2.0},
            {"caching", "cch", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"frozen", "fzn", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"underWorldObject", "", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"localPosition", "", AttrKind::Numeric, d3, 0.0},
            {"localPositionX", "", AttrKind::Numeric, d, 0.0},
            {"localPositionY", "", AttrKind::Numeric, d, 0.0},
            {"localPositionZ", "", AttrKind::Numeric, d, 0.0},
            {"worldPosition", "", AttrKind::Numeric, d3, 0.0},
            {"worldPositionX", "", AttrKind::Numeric, d, 0.0},
            {"worldPositionY", "", AttrKind::Numeric, d, 0.0},
            {"worldPositionZ", "", AttrKind::Numeric, d, 0.0},
            {"localScale", "", AttrKind::Numeric, d3, 1.0},
            {"localScaleX", "", AttrKind::Numeric, d, 1.0},
            {"localScaleY", "", AttrKind::Numeric, d, 1.0},
            {"localScaleZ", "", AttrKind::Numeric, d, 1.0},
            {"nodeBoundingBox", "", AttrKind::Typed, none, 0.0},
            {"nodeBoundingBoxMin", "", AttrKind::Numeric, d3, 0.0},
            {"nodeBoundingBoxMinX", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxMinY", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxMinZ", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxMax", "", AttrKind::Numeric, d3, 0.0},
            {"nodeBoundingBoxMaxX", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxMaxY", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxMaxZ", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxSize", "", AttrKind::Numeric, d3, 0.0},
            {"nodeBoundingBoxSizeX", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxSizeY", "", AttrKind::Numeric, d, 0.0},
            {"nodeBoundingBoxSizeZ", "", AttrKind::Numeric, d, 0.0},
            {"center", "", AttrKind::Numeric, d3, 0.0},
            {"boundingBoxCenterX", "", AttrKind::Numeric, d, 0.0},
            {"boundingBoxCenterY", "", AttrKind::Numeric, d, 0.0},
            {"boundingBoxCenterZ", "", AttrKind::Numeric, d, 0.0},
            {"matrix", "", AttrKind::Typed, matrix, 0.0},
            {"inverseMatrix", "", AttrKind::Typed, matrix, 0.0},
            {"worldMatrix", "", AttrKind::Typed, matrix, 0.0},
            {"worldInverseMatrix", "", AttrKind::Typed, matrix, 0.0},
            {"parentMatrix", "", AttrKind::Typed, matrix, 0.0},
            {"parentInverseMatrix", "", AttrKind::Typed, matrix, 0.0},
            {"visibility", "v", AttrKind::Numeric, MFnNumericData::kBoolean, 1.0},
            {"intermediateObject", "io", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"isTemplated", "", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"instObjGroups", "", AttrKind::Typed, none, 0.0},
            {"objectGroups", "", AttrKind::Typed, none, 0.0},
            {"objectGrpCompList", "", AttrKind::Typed, none, 0.0},
            {"objectGroupId", "", AttrKind::Numeric, MFnNumericData::kInt, 0.0},
            {"objectGroupColor", "", AttrKind::Numeric, MFnNumericData::kShort, 0.0},
            {"useObjectColor", "", AttrKind::Numeric, MFnNumericData::kBoolean, 0.0},
            {"objectColor", "", AttrKind::Numeric, MFnNumericData::kShort, 0.0},
        };
        std::vector<std::shared_ptr<AttrDef>> out;
        for (const BuiltinAttr& desc : rows) {
            auto a = std::make_shared<AttrDef>();
            a->kind = desc.kind;
            a->longName = desc.longName;
            a->shortName = desc.shortName;
            a->builtin = true;
            if (desc.kind == AttrKind::Typed) {
                a->dataType = desc.type;
            } else {
                a->numericType = desc.type;
                a->components = std::max(1, numericComponents(desc.type));
                a->defaults.fill(desc.defaultValue);
            }
            if (desc.kind == AttrKind::Enum) {
                a->hasMin = a->hasMax = true;
                a->minValue = 0.0;
                a->maxValue = 5.0;
            }
            out.push_back(std::move(a));
        }
        return out;
    }();
    return table;
}

MObject builtinObject(const char* longName) {
    MObject obj;
    for (const auto& a : builtins()) {
        if (a->longName == longName) {
            Access::data(obj) = a;
        }
    }
    return obj;
}

bool nameTaken(const std::vector<std::shared_ptr<AttrDef>>& attrs, const std::string& name) {
    return !name.empty() && std::any_of(attrs.begin(), attrs.end(), [&](const std::shared_ptr<AttrDef>& a) {
        return a->longName == name || a->shortName == name;
    });
}

}  // namespace

const AttrDef& stateAttribute() {
    return *builtins().front();
}

const AttrDef* findBuiltinAttribute(const std::string& name) {
    for (const auto& a : builtins()) {
        if (!name.empty() && (a->longName == name || a->shortName == name)) {
            return a.get();
        }
    }
    return nullptr;
}

const AttrDef* findTypeAttribute(const NodeType& type, const std::string& name) {
    for (const auto& a : type.attributes) {
        if (!name.empty() && (a->longName == name || a->shortName == name)) {
            return a.get();
        }
    }
    return nullptr;
}

}  // namespace detail
}  // namespace khost

using khost::detail::Access;
using khost::detail::AttrDef;
using khost::detail::AttrKind;
using khost::detail::Scene;

namespace {

void setStatus(MStatus* status, MStatus::MStatusCode code) {
    if (status) {
        *status = code;
    }
}

// The attribute a function set is attached to, or null.
AttrDef* attachedAttribute(const MObject& obj) {
    return dynamic_cast<AttrDef*>(Access::data(obj).get());
}

AttrDef* attachedNumeric(const MObject& obj) {
    AttrDef* a = attachedAttribute(obj);
    return a && a->kind == AttrKind::Numeric && !a->builtin ? a : nullptr;
}

MObject makeObject(const std::shared_ptr<AttrDef>& attr) {
    MObject obj;
    Access::data(obj) = attr;
    return obj;
}

// Stores one value per component; the count must match the attribute's.
MStatus setDefaults(const MObject& obj, std::initializer_list<double> values) {
    AttrDef* a = attachedNumeric(obj);
    if (!a || static_cast<int>(values.size()) != a->components) {
        return MStatus::kInvalidParameter;
    }
    std::size_t i = 0;
    for (double v : values) {
        a->defaults[i++] = khost::detail::storeNumeric(a->numericType, v);
    }
    return MStatus::kSuccess;
}

template <class T>
MStatus getDefaults(const MObject& obj, std::initializer_list<T*> out) {
    const AttrDef* a = attachedNumeric(obj);
    if (!a || static_cast<int>(out.size()) != a->components) {
        return MStatus::kInvalidParameter;
    }
    std::size_t i = 0;
    for (T* p : out) {
        const double v = a->defaults[i++];
        if (std::is_floating_point<T>::value) {
            *p = static_cast<T>(v);
        } else {
            *p = khost::detail::saturateCast<T>(v);
        }
    }
    return MStatus::kSuccess;
}

// One bound for every component: the embedded host keeps a single range per
// attribute, so several values are accepted only when they agree.
MStatus setBound(const MObject& obj, std::initializer_list<double> values, bool isMin) {
    AttrDef* a = attachedNumeric(obj);
    if (!a || (values.size() > 1 && static_cast<int>(values.size()) != a->components)) {
        return MStatus::kInvalidParameter;
    }
    const double first = *values.begin();
    for (double v : values) {
        if (v != first) {
            return MStatus::kNotImplemented;
        }
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

// ---------------------------------------------------------------- MFnAttribute
MFnAttribute::MFnAttribute() = default;
MFnAttribute::MFnAttribute(MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnAttribute::MFnAttribute(const MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnAttribute::~MFnAttribute() = default;
MFn::Type MFnAttribute::type() const {
    return MFn::kAttribute;
}
MFn::Type MFnAttribute::requiredType() const {
    return MFn::kAttribute;
}

MStatus MFnAttribute::setUsedAsColor(bool state) {
    AttrDef* a = attachedAttribute(obj_);
    if (!a || a->builtin) {
        return MStatus::kInvalidParameter;
    }
    if (state) {
        // A colour is three float or double components.
        const bool colourShaped =
            a->kind == AttrKind::Numeric &&
            (a->numericType == MFnNumericData::k3Float || a->numericType == MFnNumericData::k3Double);
        if (!colourShaped) {
            return MStatus::kInvalidParameter;
        }
    }
    a->usedAsColor = state;
    return MStatus::kSuccess;
}

bool MFnAttribute::isUsedAsColor(MStatus* ReturnStatus) const {
    const AttrDef* a = attachedAttribute(obj_);
    setStatus(ReturnStatus, a ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return a && a->usedAsColor;
}

// ---------------------------------------------------------------- MFnNumericAttribute
MFnNumericAttribute::MFnNumericAttribute() = default;
MFnNumericAttribute::MFnNumericAttribute(MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnNumericAttribute::MFnNumericAttribute(const MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnNumericAttribute::~MFnNumericAttribute() = default;
MFn::Type MFnNumericAttribute::type() const {
    return MFn::kNumericAttribute;
}
MFn::Type MFnNumericAttribute::requiredType() const {
    return MFn::kNumericAttribute;
}

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
    obj_ = makeObject(a);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MObject MFnNumericAttribute::createColor(const MString& fullName, const MString& briefName,
                                         MStatus* ReturnStatus) {
    MStatus s;
    MObject obj = create(fullName, briefName, MFnNumericData::k3Float, 0.0, &s);
    if (s) {
        attachedNumeric(obj_)->usedAsColor = true;
    }
    setStatus(ReturnStatus, s.statusCode());
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
    return setDefaults(obj_, {value ? 1.0 : 0.0});
}
MStatus MFnNumericAttribute::setDefault(char value) {
    return setDefaults(obj_, {static_cast<double>(value)});
}
MStatus MFnNumericAttribute::setDefault(int value) {
    return setDefaults(obj_, {static_cast<double>(value)});
}
MStatus MFnNumericAttribute::setDefault(int value1, int value2) {
    return setDefaults(obj_, {static_cast<double>(value1), static_cast<double>(value2)});
}
MStatus MFnNumericAttribute::setDefault(int value1, int value2, int value3) {
    return setDefaults(
        obj_, {static_cast<double>(value1), static_cast<double>(value2), static_cast<double>(value3)});
}
MStatus MFnNumericAttribute::setDefault(MInt64 value) {
    return setDefaults(obj_, {static_cast<double>(value)});
}
MStatus MFnNumericAttribute::setDefault(float value) {
    return setDefaults(obj_, {static_cast<double>(value)});
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2) {
    return setDefaults(obj_, {static_cast<double>(value1), static_cast<double>(value2)});
}
MStatus MFnNumericAttribute::setDefault(float value1, float value2, float value3) {
    return setDefaults(
        obj_, {static_cast<double>(value1), static_cast<double>(value2), static_cast<double>(value3)});
}
MStatus MFnNumericAttribute::setDefault(double value) {
    return setDefaults(obj_, {value});
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2) {
    return setDefaults(obj_, {value1, value2});
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2, double value3) {
    return setDefaults(obj_, {value1, value2, value3});
}
MStatus MFnNumericAttribute::setDefault(double value1, double value2, double value3, double value4) {
    // No four-component kind can be created in the embedded host.
    return setDefaults(obj_, {value1, value2, value3, value4});
}
MStatus MFnNumericAttribute::setDefault(void*) {
    // Address attributes (kAddr) cannot be created in the embedded host.
    return MStatus::kInvalidParameter;
}

MStatus MFnNumericAttribute::getDefault(bool& value) {
    double v = 0.0;
    const MStatus s = getDefaults<double>(obj_, {&v});
    if (s) {
        value = v != 0.0;
    }
    return s;
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

// ---------------------------------------------------------------- MFnTypedAttribute
MFnTypedAttribute::MFnTypedAttribute() = default;
MFnTypedAttribute::MFnTypedAttribute(MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnTypedAttribute::MFnTypedAttribute(const MObject& object, MStatus* ReturnStatus) {
    const MStatus s = setObject(object);
    if (ReturnStatus) {
        *ReturnStatus = s;
    }
}
MFnTypedAttribute::~MFnTypedAttribute() = default;
MFn::Type MFnTypedAttribute::type() const {
    return MFn::kTypedAttribute;
}
MFn::Type MFnTypedAttribute::requiredType() const {
    return MFn::kTypedAttribute;
}

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
    obj_ = makeObject(a);
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
    setStatus(ReturnStatus, typed ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return typed ? static_cast<MFnData::Type>(a->dataType) : MFnData::kInvalid;
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

// ---------------------------------------------------------------- MPxNode
MObject MPxNode::message = khost::detail::builtinObject("message");
MObject MPxNode::isHistoricallyInteresting = khost::detail::builtinObject("isHistoricallyInteresting");
MObject MPxNode::caching = khost::detail::builtinObject("caching");
MObject MPxNode::state = khost::detail::builtinObject("nodeState");
MObject MPxNode::frozen = khost::detail::builtinObject("frozen");

MPxNode::MPxNode() = default;
MPxNode::~MPxNode() = default;

MObject MPxNode::thisMObject() const {
    MObject obj;
    if (node_) {
        Access::data(obj) = node_->shared_from_this();
    }
    return obj;
}

MString MPxNode::name() const {
    return node_ ? MString(node_->name.c_str()) : MString();
}
MString MPxNode::typeName() const {
    return node_ && node_->type ? MString(node_->type->name.c_str()) : MString();
}
MTypeId MPxNode::typeId() const {
    return node_ && node_->type ? node_->type->id : MTypeId();
}
void MPxNode::postConstructor() {}
MStatus MPxNode::compute(const MPlug&, MDataBlock&) {
    return MStatus::kUnknownParameter;
}
MPxNode::Type MPxNode::type() const {
    return kDependNode;
}

MStatus MPxNode::addAttribute(const MObject& attr) {
    khost::detail::NodeType* target = Scene::get().initializingType;
    if (!target) {
        return MStatus::kFailure;  // only inside a node type's initializer
    }
    std::shared_ptr<AttrDef> a = std::dynamic_pointer_cast<AttrDef>(Access::data(attr));
    if (!a || a->builtin) {
        return MStatus::kInvalidParameter;
    }
    if (a->index >= 0) {
        return MStatus::kFailure;  // already part of a node type
    }
    if (khost::detail::nameTaken(target->attributes, a->longName) ||
        khost::detail::nameTaken(target->attributes, a->shortName) ||
        khost::detail::findBuiltinAttribute(a->longName) ||
        khost::detail::findBuiltinAttribute(a->shortName)) {
        return MStatus::kFailure;
    }
    a->index = static_cast<int>(target->attributes.size());
    target->attributes.push_back(std::move(a));
    return MStatus::kSuccess;
}

MStatus MPxNode::attributeAffects(const MObject& whenChanges, const MObject& isAffected) {
    // The embedded host evaluates no dependency graph: the relation is
    // checked, not stored.
    const khost::detail::NodeType* target = Scene::get().initializingType;
    if (!target) {
        return MStatus::kFailure;
    }
    for (const MObject* obj : {&whenChanges, &isAffected}) {
        const AttrDef* a = attachedAttribute(*obj);
        if (!a || (!a->builtin && !khost::detail::typeOwnsAttribute(*target, *a))) {
            return MStatus::kInvalidParameter;
        }
    }
    return MStatus::kSuccess;
}

MStatus MPxNode::inheritAttributesFrom(const MString& parentClassName) {
    Scene& scene = Scene::get();
    khost::detail::NodeType* target = scene.initializingType;
    if (!target || !target->attributes.empty()) {
        return MStatus::kFailure;  // must come first in an initializer
    }
    for (const auto& t : scene.nodeTypes) {
        if (t->name == parentClassName.asChar() && t.get() != target) {
            // Shared definitions keep their slots: they come first here too.
            target->attributes = t->attributes;
            return MStatus::kSuccess;
        }
    }
    return MStatus::kInvalidParameter;
}

// ---------------------------------------------------------------- MPxLocatorNode
#define KHOST_LOCATOR_ATTR(name) MObject MPxLocatorNode::name = khost::detail::builtinObject(#name)
KHOST_LOCATOR_ATTR(underWorldObject);
KHOST_LOCATOR_ATTR(localPosition);
KHOST_LOCATOR_ATTR(localPositionX);
KHOST_LOCATOR_ATTR(localPositionY);
KHOST_LOCATOR_ATTR(localPositionZ);
KHOST_LOCATOR_ATTR(worldPosition);
KHOST_LOCATOR_ATTR(worldPositionX);
KHOST_LOCATOR_ATTR(worldPositionY);
KHOST_LOCATOR_ATTR(worldPositionZ);
KHOST_LOCATOR_ATTR(localScale);
KHOST_LOCATOR_ATTR(localScaleX);
KHOST_LOCATOR_ATTR(localScaleY);
KHOST_LOCATOR_ATTR(localScaleZ);
KHOST_LOCATOR_ATTR(nodeBoundingBox);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMin);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMinZ);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMax);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxMaxZ);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSize);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeX);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeY);
KHOST_LOCATOR_ATTR(nodeBoundingBoxSizeZ);
KHOST_LOCATOR_ATTR(center);
KHOST_LOCATOR_ATTR(boundingBoxCenterX);
KHOST_LOCATOR_ATTR(boundingBoxCenterY);
KHOST_LOCATOR_ATTR(boundingBoxCenterZ);
KHOST_LOCATOR_ATTR(matrix);
KHOST_LOCATOR_ATTR(inverseMatrix);
KHOST_LOCATOR_ATTR(worldMatrix);
KHOST_LOCATOR_ATTR(worldInverseMatrix);
KHOST_LOCATOR_ATTR(parentMatrix);
KHOST_LOCATOR_ATTR(parentInverseMatrix);
KHOST_LOCATOR_ATTR(visibility);
KHOST_LOCATOR_ATTR(intermediateObject);
KHOST_LOCATOR_ATTR(isTemplated);
KHOST_LOCATOR_ATTR(instObjGroups);
KHOST_LOCATOR_ATTR(objectGroups);
KHOST_LOCATOR_ATTR(objectGrpCompList);
KHOST_LOCATOR_ATTR(objectGroupId);
KHOST_LOCATOR_ATTR(objectGroupColor);
KHOST_LOCATOR_ATTR(useObjectColor);
KHOST_LOCATOR_ATTR(objectColor);
#undef KHOST_LOCATOR_ATTR

MPxLocatorNode::MPxLocatorNode() = default;
MPxLocatorNode::~MPxLocatorNode() = default;
MPxNode::Type MPxLocatorNode::type() const {
    return kLocatorNode;
}
void MPxLocatorNode::draw(M3dView&, const MDagPath&, M3dView::DisplayStyle, M3dView::DisplayStatus) {}
bool MPxLocatorNode::isBounded() const {
    return false;
}
MBoundingBox MPxLocatorNode::boundingBox() const {
    return MBoundingBox();
}
bool MPxLocatorNode::excludeAsLocator() const {
    return true;
}
bool MPxLocatorNode::isTransparent() const {
    return false;
}
bool MPxLocatorNode::drawLast() const {
    return false;
}
bool MPxLocatorNode::useClosestPointForSelection() const {
    return false;
}
MPoint MPxLocatorNode::closestPoint(MPoint cursorRayPoint, MVector) const {
    return cursorRayPoint;
}

namespace {

// Wireframe palette of the embedded host, by display status.
struct StatusColour {
    unsigned int index;
    float r, g, b;
};

StatusColour statusColour(M3dView::DisplayStatus status) {
    switch (status) {
        case M3dView::kLead:
            return {18, 0.26f, 1.0f, 0.64f};
        case M3dView::kActive:
            return {16, 1.0f, 1.0f, 1.0f};
        case M3dView::kHilite:
        case M3dView::kActiveComponent:
            return {9, 1.0f, 0.0f, 1.0f};
        case M3dView::kTemplate:
        case M3dView::kActiveTemplate:
            return {3, 0.5f, 0.5f, 0.5f};
        case M3dView::kLive:
            return {14, 0.0f, 1.0f, 0.0f};
        case M3dView::kActiveAffected:
            return {30, 0.78f, 0.0f, 0.78f};
        default:
            return {5, 0.0f, 0.0f, 0.55f};
    }
}

}  // namespace

unsigned int MPxLocatorNode::color(M3dView::DisplayStatus displayStatus) {
    return statusColour(displayStatus).index;
}

MColor MPxLocatorNode::colorRGB(M3dView::DisplayStatus displayStatus) {
    const StatusColour c = statusColour(displayStatus);
    return MColor(c.r, c.g, c.b, 1.0f);
}
