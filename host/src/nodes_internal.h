#pragma once
// Shared internals of the node and attribute parts of the embedded host:
// numeric value conversion and attribute lookup. Not installed.
#include "model.h"

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace MHWRender {
class MFrameContext;
class MUIDrawManager;
}  // namespace MHWRender

namespace khost {
namespace detail {

// ---------------------------------------------------------------- numeric values
// Number of values an MFnNumericData::Type holds; 0 for kInvalid, kLast and
// the kinds the embedded host cannot store (k4Double, kAddr).
int numericComponents(int numericType);
// Converts a value to what an attribute of that type holds: 0/1 for
// booleans, rounded integers saturated to the type's range, float precision
// for float kinds.
double storeNumeric(int numericType, double value);

// Saturating conversion of a stored value to an integer getter's type
// (NaN gives 0).
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

// ---------------------------------------------------------------- attributes
// The built-in node state attribute ("nodeState", "nds", enum 0..5).
const AttrDef& stateAttribute();
// A built-in attribute by long or short name, or null.
const AttrDef* findBuiltinAttribute(const std::string& name);
// A plug-in attribute of a node type by long or short name, or null.
const AttrDef* findTypeAttribute(const NodeType& type, const std::string& name);
// True when `attr` is the attribute in slot attr.index of `type`.
inline bool typeOwnsAttribute(const NodeType& type, const AttrDef& attr) {
    return attr.index >= 0 && static_cast<std::size_t>(attr.index) < type.attributes.size() &&
           type.attributes[static_cast<std::size_t>(attr.index)].get() == &attr;
}

}  // namespace detail
}  // namespace khost
