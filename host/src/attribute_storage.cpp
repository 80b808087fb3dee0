// Attribute storage: the kinds of attribute and how a numeric value is
// held, and the built-in attributes every node (and every locator) has.
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "attributes.h"
#include "model.h"

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
    // By type, in enumeration order: kInvalid; kBoolean, kByte, kChar; kShort, k2Short, k3Short; kInt,
    // k2Int, k3Int; kInt64; kFloat, k2Float, k3Float; kDouble, k2Double, k3Double. Then k4Double, kAddr and
    // kLast, which hold nothing the host stores.
    static_assert(MFnNumericData::k3Double == 16, "numbered as the host numbers them");
    constexpr int counts[] = {0, 1, 1, 1, 1, 2, 3, 1, 2, 3, 1, 1, 2, 3, 1, 2, 3};
    return numericType >= 0 && numericType <= MFnNumericData::k3Double ? counts[numericType] : 0;
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

// The one of `attrs` whose long or short name is a non-empty `name`, or null.
const std::shared_ptr<AttrDef>* findNamed(const std::vector<std::shared_ptr<AttrDef>>& attrs,
                                          const std::string& name) {
    const auto it = std::find_if(attrs.begin(), attrs.end(), [&](const std::shared_ptr<AttrDef>& a) {
        return !name.empty() && (a->longName == name || a->shortName == name);
    });
    return it == attrs.end() ? nullptr : &*it;
}

}  // namespace

MObject builtinObject(const char* longName) {
    const std::shared_ptr<AttrDef>* a = findNamed(builtins(), longName);
    return a ? objectOf(*a) : MObject();
}

const AttrDef& stateAttribute() {
    return *builtins().front();
}

const AttrDef* findBuiltinAttribute(const std::string& name) {
    const std::shared_ptr<AttrDef>* a = findNamed(builtins(), name);
    return a ? a->get() : nullptr;
}

const AttrDef* findTypeAttribute(const NodeType& type, const std::string& name) {
    const std::shared_ptr<AttrDef>* a = findNamed(type.attributes, name);
    return a ? a->get() : nullptr;
}

bool typeOwnsAttribute(const NodeType& type, const AttrDef& attr) {
    return attr.index >= 0 && static_cast<std::size_t>(attr.index) < type.attributes.size() &&
           type.attributes[static_cast<std::size_t>(attr.index)].get() == &attr;
}

}  // namespace detail
}  // namespace khost
