#pragma once
// Attributes in the embedded host: their definitions, the values nodes hold
// for them, numeric data objects, numeric value conversion and attribute
// lookup. Not installed.
#include <maya/MObject.h>

#include <array>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

struct NodeType;

enum class AttrKind { Numeric, Typed, Enum };

struct AttrDef : ObjectData {
    AttrKind kind = AttrKind::Numeric;
    std::string longName;
    std::string shortName;
    int numericType = 0;  // MFnNumericData::Type for Numeric
    int dataType = 0;     // MFnData::Type for Typed
    int components = 1;   // 3 for k3Float and the like
    std::array<double, 3> defaults{{0.0, 0.0, 0.0}};
    bool hasMin = false, hasMax = false;
    double minValue = 0.0, maxValue = 0.0;
    bool usedAsColor = false;
    bool builtin = false;  // attributes every node has (e.g. nodeState)
    int index = -1;        // slot in the owning node type's value table
    MFn::Type apiType() const override;
};

// One attribute value on one node.
struct AttrValue {
    std::array<double, 3> num{{0.0, 0.0, 0.0}};
    std::string str;
    bool strNull = true;  // typed attribute with no data yet
};

// Numeric data object (what MPlug::asMObject returns for compound numerics).
struct NumericData : ObjectData {
    int numericType = 0;
    std::array<double, 4> v{{0.0, 0.0, 0.0, 0.0}};
    MFn::Type apiType() const override;
};

// ---------------------------------------------------------------- numeric values
// Number of values an MFnNumericData::Type holds; 0 for kInvalid, kLast and
// the kinds the embedded host cannot store (k4Double, kAddr).
int numericComponents(int numericType);
// Converts a value to what an attribute of that type holds: 0/1 for
// booleans, rounded integers saturated to the type's range, float precision
// for float kinds.
double storeNumeric(int numericType, double value);

// Saturating conversion of a stored value to an integer type (NaN gives 0).
template <class I>
I saturateCast(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    const double lo = static_cast<double>(std::numeric_limits<I>::lowest());
    const double hi = static_cast<double>(std::numeric_limits<I>::max());
    if (value <= lo) {
        return std::numeric_limits<I>::lowest();
    }
    if (value >= hi) {
        return std::numeric_limits<I>::max();
    }
    return static_cast<I>(value);
}

// A stored value as a getter's type: true when non-zero for bool, as it is
// for floating types, saturated for integers.
template <class T>
T numericAs(double value) {
    if constexpr (std::is_same<T, bool>::value) {
        return value != 0.0;
    } else if constexpr (std::is_floating_point<T>::value) {
        return static_cast<T>(value);
    } else {
        return saturateCast<T>(value);
    }
}

// Copies `count` stored values to the outputs, which must be as many.
template <class T>
MStatus readValues(const double* values, int count, std::initializer_list<T*> out) {
    if (static_cast<int>(out.size()) != count) {
        return MStatus::kInvalidParameter;
    }
    for (T* p : out) {
        *p = numericAs<T>(*values++);
    }
    return MStatus::kSuccess;
}

// Stores `in` as `numericType` holds values; there must be `count` of them.
inline MStatus storeValues(double* values, int count, int numericType, std::initializer_list<double> in) {
    if (static_cast<int>(in.size()) != count) {
        return MStatus::kInvalidParameter;
    }
    for (double v : in) {
        *values++ = storeNumeric(numericType, v);
    }
    return MStatus::kSuccess;
}

// ---------------------------------------------------------------- attributes
// The built-in node state attribute ("nodeState", "nds", enum 0..5).
const AttrDef& stateAttribute();
// A built-in attribute by long or short name, or null.
const AttrDef* findBuiltinAttribute(const std::string& name);
// An MObject referring to a built-in attribute, by long name.
MObject builtinObject(const char* longName);
// A plug-in attribute of a node type by long or short name, or null.
const AttrDef* findTypeAttribute(const NodeType& type, const std::string& name);
// True when `attr` is the attribute in slot attr.index of `type`.
bool typeOwnsAttribute(const NodeType& type, const AttrDef& attr);

// The attribute `obj` refers to, or null.
inline AttrDef* attachedAttribute(const MObject& obj) {
    return dynamic_cast<AttrDef*>(Access::data(obj).get());
}

}  // namespace detail
}  // namespace khost
