#pragma once
// What an MObject refers to (MObject::Data) and the host library's access to
// the private parts of the API classes, which befriend it. Every internal
// header builds on this one. Not installed.
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

#include <array>
#include <memory>

class MPxNode;
namespace MHWRender {
class MPxDrawOverride;
}
class MUserData;

// What an MObject refers to: a node, an attribute, a component, a data
// object or a plug-in. Defined here, declared (privately) in MObject.h.
namespace khost {
namespace detail {
struct ComponentData;

// Stores `status` where an API call's optional ReturnStatus points.
inline void setStatus(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}
// Reports kSuccess when `valid`, else kInvalidParameter, and returns `valid`:
// the check that opens most getters of a handle or function set.
inline bool reportValid(bool valid, MStatus* out) {
    setStatus(out, valid ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return valid;
}
}  // namespace detail
}  // namespace khost

struct MObject::Data : std::enable_shared_from_this<MObject::Data> {
    virtual ~Data() = default;
    virtual MFn::Type apiType() const = 0;
    // This object as a node or a component, or null: what a dynamic_cast
    // would give, at the price of a virtual call (function sets ask on
    // every call, many times per frame).
    virtual MObject::Node* asNode() { return nullptr; }
    virtual khost::detail::ComponentData* asComponent() { return nullptr; }
    // Function-set compatibility: does this object support function set `t`?
    virtual bool hasFn(MFn::Type t) const;
};

// The constructors, destructor and type() of a function set for objects of
// type `fnType`: attaching is setObject's job, which refuses objects that do
// not support type().
#define KHOST_FUNCTION_SET(Class, fnType)                          \
    Class::Class() = default;                                      \
    Class::Class(MObject& object, MStatus* ReturnStatus) {         \
        khost::detail::setStatus(ReturnStatus, setObject(object)); \
    }                                                              \
    Class::Class(const MObject& object, MStatus* ReturnStatus) {   \
        khost::detail::setStatus(ReturnStatus, setObject(object)); \
    }                                                              \
    Class::~Class() = default;                                     \
    MFn::Type Class::type() const {                                \
        return fnType;                                             \
    }
// The same for a DAG function set, which also attaches to a path.
#define KHOST_DAG_FUNCTION_SET(Class, fnType)                      \
    KHOST_FUNCTION_SET(Class, fnType)                              \
    Class::Class(const MDagPath& object, MStatus* ReturnStatus) {  \
        khost::detail::setStatus(ReturnStatus, setObject(object)); \
    }

// The host library's access to the private parts of the API classes, which
// befriend it. Internal code names it khost::detail::Access.
struct MHostAccess {
    using ObjectData = MObject::Data;
    using Node = MObject::Node;

    template <class T>
    static auto& data(T& t) {
        return t.data_;
    }
    template <class T>
    static auto& node(T& t) {
        return t.node_;
    }
    using SelectionItems = MSelectionList::Items;
    template <class T>
    static auto& items(T& t) {
        return t.items_;
    }
    template <class Record>
    static bool deleteAfterUse(const Record& r) {
        return r.deleteAfterUse_;
    }
};

// The same for the draw classes of namespace MHWRender, which befriend
// MHWRender::MHostAccess.
namespace MHWRender {
struct MHostAccess {
    template <class Override>
    static bool alwaysDirty(const Override& o) {
        return o.alwaysDirty_;
    }
    // Runs f with a host-constructed draw manager that records into `recorder`.
    template <class Manager, class F>
    static void withDrawManager(void* recorder, F&& f) {
        Manager manager(recorder);
        f(manager);
    }
};
}  // namespace MHWRender

namespace khost {
namespace detail {

using Vec3 = std::array<double, 3>;
// Row-vector 4x4 matrices, as the host uses them (translation in row 3).
using Mat4 = std::array<std::array<double, 4>, 4>;
using Access = ::MHostAccess;
using ObjectData = MHostAccess::ObjectData;
using Node = MHostAccess::Node;

// An MObject referring to `data`.
template <class T>
MObject objectOf(const std::shared_ptr<T>& data) {
    MObject o;
    Access::data(o) = data;
    return o;
}

// The node an MObject refers to, or null.
inline Node* nodeOf(const MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asNode() : nullptr;
}

}  // namespace detail
}  // namespace khost
