#pragma once
// What the attribute function sets and MPxNode share: the built-in
// attributes and the attribute an MObject refers to. Not installed.
#include <maya/MObject.h>

#include <memory>
#include <string>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

// An MObject referring to a built-in attribute, by long name.
MObject builtinObject(const char* longName);
// True when a non-empty `name` is the long or short name of one of `attrs`.
bool attributeNameTaken(const std::vector<std::shared_ptr<AttrDef>>& attrs, const std::string& name);

// The attribute `obj` refers to, or null.
inline AttrDef* attachedAttribute(const MObject& obj) {
    return dynamic_cast<AttrDef*>(Access::data(obj).get());
}

inline MObject attributeObject(const std::shared_ptr<AttrDef>& attr) {
    MObject obj;
    Access::data(obj) = attr;
    return obj;
}

}  // namespace detail
}  // namespace khost
