#pragma once
// Attribute definitions, attribute values and numeric data objects. Not
// installed.
#include <array>
#include <string>

#include "host_access.h"

namespace khost {
namespace detail {

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

}  // namespace detail
}  // namespace khost
