// Plugs: reading a node's attribute values, and the numeric data objects
// that carry multi-component values.
#include <maya/MFnData.h>
#include <maya/MFnNumericData.h>
#include <maya/MPlug.h>

#include <algorithm>
#include <array>
#include <initializer_list>

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

// The numbers behind a numeric plug: the node's own for plug-in attributes,
// the default for built-ins (only nodeState has a per-node value).
const std::array<double, 3>& numbers(const Node* node, const AttrDef* attr) {
    return attr->builtin ? attr->defaults : node->plugin().values[static_cast<std::size_t>(attr->index)].num;
}

// The single value behind a plug, for the scalar getters. Fails for null
// plugs, deleted nodes, typed attributes and multi-component attributes.
template <class T>
T readScalar(const Node* node, const AttrDef* attr, MStatus* status) {
    if (!khost::detail::reportValid(
            attr && node->alive && attr->kind != AttrKind::Typed && attr->components == 1, status)) {
        return T(0);
    }
    return khost::detail::numericAs<T>(
        attr == &khost::detail::stateAttribute() ? static_cast<double>(node->state) : numbers(node, attr)[0]);
}

}  // namespace

bool MPlug::asBool(MStatus* ReturnStatus) const {
    return readScalar<bool>(nodeData_, attrDef(attrData_), ReturnStatus);
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
    const AttrDef* a = attrDef(attrData_);
    if (!khost::detail::reportValid(
            a && nodeData_->alive && a->kind == AttrKind::Numeric && a->components >= 2, ReturnStatus)) {
        return MObject();
    }
    auto data = std::make_shared<NumericData>();
    data->numericType = a->numericType;
    std::copy_n(numbers(nodeData_, a).begin(), a->components, data->v.begin());
    return khost::detail::objectOf(data);
}

MString MPlug::asString(MStatus* ReturnStatus) const {
    const AttrDef* a = attrDef(attrData_);
    if (!khost::detail::reportValid(
            a && nodeData_->alive && a->kind == AttrKind::Typed && a->dataType == MFnData::kString,
            ReturnStatus)) {
        return MString();
    }
    return MString(nodeData_->plugin().values[static_cast<std::size_t>(a->index)].str.c_str());
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
    return d ? khost::detail::readValues(d->v.data(), dataComponents(*d), out)
             : MStatus(MStatus::kInvalidParameter);
}

template <class... T>
MStatus setValues(const MObject& obj, T... values) {
    NumericData* d = attachedData(obj);
    return d ? khost::detail::storeValues(d->v.data(), dataComponents(*d), d->numericType,
                                          {static_cast<double>(values)...})
             : MStatus(MStatus::kInvalidParameter);
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
    obj_ = khost::detail::objectOf(data);
    setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
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
    return setValues(obj_, val1, val2);
}
MStatus MFnNumericData::setData(int val1, int val2) {
    return setValues(obj_, val1, val2);
}
MStatus MFnNumericData::setData(float val1, float val2) {
    return setValues(obj_, val1, val2);
}
MStatus MFnNumericData::setData(double val1, double val2) {
    return setValues(obj_, val1, val2);
}
MStatus MFnNumericData::setData(short val1, short val2, short val3) {
    return setValues(obj_, val1, val2, val3);
}
MStatus MFnNumericData::setData(int val1, int val2, int val3) {
    return setValues(obj_, val1, val2, val3);
}
MStatus MFnNumericData::setData(float val1, float val2, float val3) {
    return setValues(obj_, val1, val2, val3);
}
MStatus MFnNumericData::setData(double val1, double val2, double val3) {
    return setValues(obj_, val1, val2, val3);
}
MStatus MFnNumericData::setData(double val1, double val2, double val3, double val4) {
    return setValues(obj_, val1, val2, val3, val4);
}
