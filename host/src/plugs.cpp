// Plugs: reading a node's attribute values, and the numeric data objects
// that carry multi-component values.
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MPlug.h>

#include <initializer_list>
#include <type_traits>

#include "attributes.h"
#include "model.h"

using khost::detail::Access;
using khost::detail::AttrDef;
using khost::detail::AttrKind;
using khost::detail::Node;
using khost::detail::NumericData;

namespace khost {
namespace detail {
MFn::Type NumericData::apiType() const {
    return MFn::kNumericData;
}
}  // namespace detail
}  // namespace khost

namespace {

using khost::detail::setStatus;

// A plug keeps its attribute as the object it is (MPlug.h holds it opaque).
const AttrDef* attrDef(const khost::detail::ObjectData* data) {
    return static_cast<const AttrDef*>(data);
}

}  // namespace

// ---------------------------------------------------------------- MPlug
MPlug::MPlug() = default;
MPlug::MPlug(const MPlug& other) = default;
MPlug::~MPlug() = default;
MPlug& MPlug::operator=(const MPlug& other) = default;

MPlug::MPlug(const MObject& node, const MObject& attribute) {
    Node* n = dynamic_cast<Node*>(Access::data(node).get());
    const AttrDef* a = dynamic_cast<const AttrDef*>(Access::data(attribute).get());
    if (!n || !a) {
        return;
    }
    // Built-in attributes belong to every node; plug-in attributes only to
    // nodes of the type they were added to.
    if (!a->builtin && !(n->pluginType() && khost::detail::typeOwnsAttribute(*n->pluginType(), *a))) {
        return;
    }
    node_ = node;
    attr_ = attribute;
    nodeData_ = n;
    attrData_ = a;
}

bool MPlug::isNull(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, MStatus::kSuccess);
    return attrData_ == nullptr;
}

MString MPlug::name(MStatus* ReturnStatus) const {
    return khost::detail::reportValid(attrData_ != nullptr, ReturnStatus)
               ? MString((nodeData_->name + "." + attrDef(attrData_)->longName).c_str())
               : MString();
}

MObject MPlug::attribute(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, attrData_ ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return attr_;
}

MObject MPlug::node(MStatus* ReturnStatus) const {
    setStatus(ReturnStatus, attrData_ ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return node_;
}

namespace {

// The single value behind a plug, for the scalar getters. Fails for null
// plugs, deleted nodes, typed attributes and multi-component attributes.
bool scalarValue(const Node* node, const AttrDef* attr, double& value) {
    if (!attr || !node->alive) {
        return false;
    }
    if (attr == &khost::detail::stateAttribute()) {
        value = static_cast<double>(node->state);
        return true;
    }
    if (attr->kind == AttrKind::Typed || attr->components != 1) {
        return false;
    }
    value = attr->builtin ? attr->defaults[0]
                          : node->plugin().values[static_cast<std::size_t>(attr->index)].num[0];
    return true;
}

template <class T>
T readScalar(const Node* node, const AttrDef* attr, MStatus* status) {
    double v = 0.0;
    if (!scalarValue(node, attr, v)) {
        setStatus(status, MStatus::kInvalidParameter);
        return T(0);
    }
    setStatus(status, MStatus::kSuccess);
    if (std::is_floating_point<T>::value) {
        return static_cast<T>(v);
    }
    return khost::detail::saturateCast<T>(v);
}

}  // namespace

bool MPlug::asBool(MStatus* ReturnStatus) const {
    double v = 0.0;
    const bool ok = scalarValue(nodeData_, attrDef(attrData_), v);
    setStatus(ReturnStatus, ok ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return ok && v != 0.0;
}
int MPlug::asInt(MStatus* ReturnStatus) const {
    return readScalar<int>(nodeData_, attrDef(attrData_), ReturnStatus);
}
short MPlug::asShort(MStatus* ReturnStatus) const {
    return readScalar<short>(nodeData_, attrDef(attrData_), ReturnStatus);
}
MInt64 MPlug::asInt64(MStatus* ReturnStatus) const {
    return readScalar<MInt64>(nodeData_, attrDef(attrData_), ReturnStatus);
}
float MPlug::asFloat(MStatus* ReturnStatus) const {
    return readScalar<float>(nodeData_, attrDef(attrData_), ReturnStatus);
}
double MPlug::asDouble(MStatus* ReturnStatus) const {
    return readScalar<double>(nodeData_, attrDef(attrData_), ReturnStatus);
}

MObject MPlug::asMObject(MStatus* ReturnStatus) const {
    // Multi-component numeric values come back as a numeric data object.
    if (!attrData_ || !nodeData_->alive || attrDef(attrData_)->kind != AttrKind::Numeric ||
        attrDef(attrData_)->components < 2) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    auto data = std::make_shared<NumericData>();
    data->numericType = attrDef(attrData_)->numericType;
    const auto& num =
        attrDef(attrData_)->builtin
            ? attrDef(attrData_)->defaults
            : nodeData_->plugin().values[static_cast<std::size_t>(attrDef(attrData_)->index)].num;
    for (int i = 0; i < attrDef(attrData_)->components; ++i) {
        data->v[static_cast<std::size_t>(i)] = num[static_cast<std::size_t>(i)];
    }
    MObject obj;
    Access::data(obj) = std::move(data);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj;
}

MString MPlug::asString(MStatus* ReturnStatus) const {
    if (!attrData_ || !nodeData_->alive || attrDef(attrData_)->kind != AttrKind::Typed ||
        attrDef(attrData_)->dataType != MFnData::kString) {
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MString();
    }
    setStatus(ReturnStatus, MStatus::kSuccess);
    return MString(
        nodeData_->plugin().values[static_cast<std::size_t>(attrDef(attrData_)->index)].str.c_str());
}

// ---------------------------------------------------------------- MFnData
KHOST_FUNCTION_SET(MFnData, MFn::kData)

// ---------------------------------------------------------------- MFnNumericData
KHOST_FUNCTION_SET(MFnNumericData, MFn::kNumericData)

namespace {

NumericData* attachedData(const MObject& obj) {
    return dynamic_cast<NumericData*>(Access::data(obj).get());
}

int dataComponents(const NumericData& d) {
    // k4Double is a data-only kind: attributes of it cannot be created.
    return d.numericType == MFnNumericData::k4Double ? 4 : khost::detail::numericComponents(d.numericType);
}

// Reads the data's values into the given outputs; the count must match.
template <class T>
MStatus getValues(const MObject& obj, std::initializer_list<T*> out) {
    const NumericData* d = attachedData(obj);
    if (!d || static_cast<int>(out.size()) != dataComponents(*d)) {
        return MStatus::kInvalidParameter;
    }
    std::size_t i = 0;
    for (T* p : out) {
        const double v = d->v[i++];
        if (std::is_floating_point<T>::value) {
            *p = static_cast<T>(v);
        } else {
            *p = khost::detail::saturateCast<T>(v);
        }
    }
    return MStatus::kSuccess;
}

MStatus setValues(const MObject& obj, std::initializer_list<double> in) {
    NumericData* d = attachedData(obj);
    if (!d || static_cast<int>(in.size()) != dataComponents(*d)) {
        return MStatus::kInvalidParameter;
    }
    std::size_t i = 0;
    for (double v : in) {
        d->v[i++] = khost::detail::storeNumeric(d->numericType, v);
    }
    return MStatus::kSuccess;
}

}  // namespace

MObject MFnNumericData::create(Type dataType, MStatus* ReturnStatus) {
    auto data = std::make_shared<NumericData>();
    data->numericType = dataType;
    // Only multi-component kinds make data objects.
    if (dataComponents(*data) < 2) {
        obj_ = MObject();
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    MObject obj;
    Access::data(obj) = std::move(data);
    obj_ = obj;
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj;
}

MFnNumericData::Type MFnNumericData::numericType(MStatus* ReturnStatus) {
    const NumericData* d = attachedData(obj_);
    setStatus(ReturnStatus, d ? MStatus::kSuccess : MStatus::kInvalidParameter);
    return d ? static_cast<Type>(d->numericType) : kInvalid;
}

MStatus MFnNumericData::getData(short& val1, short& val2) {
    return getValues<short>(obj_, {&val1, &val2});
}
MStatus MFnNumericData::getData(int& val1, int& val2) {
    return getValues<int>(obj_, {&val1, &val2});
}
MStatus MFnNumericData::getData(float& val1, float& val2) {
    return getValues<float>(obj_, {&val1, &val2});
}
MStatus MFnNumericData::getData(double& val1, double& val2) {
    return getValues<double>(obj_, {&val1, &val2});
}
MStatus MFnNumericData::getData(short& val1, short& val2, short& val3) {
    return getValues<short>(obj_, {&val1, &val2, &val3});
}
MStatus MFnNumericData::getData(int& val1, int& val2, int& val3) {
    return getValues<int>(obj_, {&val1, &val2, &val3});
}
MStatus MFnNumericData::getData(float& val1, float& val2, float& val3) {
    return getValues<float>(obj_, {&val1, &val2, &val3});
}
MStatus MFnNumericData::getData(double& val1, double& val2, double& val3) {
    return getValues<double>(obj_, {&val1, &val2, &val3});
}
MStatus MFnNumericData::getData(double& val1, double& val2, double& val3, double& val4) {
    return getValues<double>(obj_, {&val1, &val2, &val3, &val4});
}
MStatus MFnNumericData::getData3Float(float& val1, float& val2, float& val3) {
    return getData(val1, val2, val3);
}

MStatus MFnNumericData::setData(short val1, short val2) {
    return setValues(obj_, {double(val1), double(val2)});
}
MStatus MFnNumericData::setData(int val1, int val2) {
    return setValues(obj_, {double(val1), double(val2)});
}
MStatus MFnNumericData::setData(float val1, float val2) {
    return setValues(obj_, {double(val1), double(val2)});
}
MStatus MFnNumericData::setData(double val1, double val2) {
    return setValues(obj_, {val1, val2});
}
MStatus MFnNumericData::setData(short val1, short val2, short val3) {
    return setValues(obj_, {double(val1), double(val2), double(val3)});
}
MStatus MFnNumericData::setData(int val1, int val2, int val3) {
    return setValues(obj_, {double(val1), double(val2), double(val3)});
}
MStatus MFnNumericData::setData(float val1, float val2, float val3) {
    return setValues(obj_, {double(val1), double(val2), double(val3)});
}
MStatus MFnNumericData::setData(double val1, double val2, double val3) {
    return setValues(obj_, {val1, val2, val3});
}
MStatus MFnNumericData::setData(double val1, double val2, double val3, double val4) {
    return setValues(obj_, {val1, val2, val3, val4});
}
