// Components (elements of a shape, such as some CVs of a curve, with
// optional soft-selection weights) and their function sets MFnComponent and
// MFnSingleIndexedComponent.
#include <maya/MFnComponent.h>
#include <maya/MFnSingleIndexedComponent.h>

#include <algorithm>
#include <memory>

#include "selection_items.h"

namespace khost {
namespace detail {

namespace {

bool isSingleIndexed(MFn::Type t) {
    return t == MFn::kCurveCVComponent || t == MFn::kCurveEPComponent || t == MFn::kCurveKnotComponent ||
           t == MFn::kMeshVertComponent;
}

}  // namespace

bool ComponentData::hasFn(MFn::Type t) const {
    if (t == type || t == MFn::kComponent || t == MFn::kBase) {
        return type != MFn::kInvalid;
    }
    return t == MFn::kSingleIndexedComponent && isSingleIndexed(type);
}

}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

// ---------------------------------------------------------------- MFnComponent

MFnComponent::MFnComponent() = default;
MFnComponent::MFnComponent(MObject& object, MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, MFnComponent::setObject(static_cast<const MObject&>(object)));
}
MFnComponent::MFnComponent(const MObject& object, MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, MFnComponent::setObject(object));
}
MFnComponent::~MFnComponent() = default;

MFn::Type MFnComponent::type() const {
    return MFn::kComponent;
}
MFn::Type MFnComponent::requiredType() const {
    return MFn::kComponent;
}

MStatus MFnComponent::setObject(MObject& object) {
    return setObject(static_cast<const MObject&>(object));
}

MStatus MFnComponent::setObject(const MObject& object) {
    const kd::ComponentData* c = kd::componentData(object);
    if (c == nullptr || !c->hasFn(requiredType())) {
        obj_ = MObject();
        return MStatus::kInvalidParameter;
    }
    obj_ = object;
    return MStatus::kSuccess;
}

MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr ? MFn::kInvalid : c->type;
}

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr ? 0 : static_cast<int>(c->elements.size());
}

bool MFnComponent::hasWeights() const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return c != nullptr && c->hasWeights;
}

MWeight MFnComponent::weight(int index, MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    MWeight w;
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->elements.size()) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return w;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    w.setInfluence(kd::weightAt(*c, static_cast<std::size_t>(index)));
    return w;
}

bool MFnComponent::isEmpty(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return c == nullptr || c->elements.empty();
}

bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    // A component does not know its owner's element count here; components
    // are always listed element by element.
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    return false;
}

// ---------------------------------------------------------------- MFnSingleIndexedComponent

MFnSingleIndexedComponent::MFnSingleIndexedComponent() = default;
MFnSingleIndexedComponent::MFnSingleIndexedComponent(MObject& object, MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, setObject(object));
}
MFnSingleIndexedComponent::MFnSingleIndexedComponent(const MObject& object, MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, setObject(object));
}
MFnSingleIndexedComponent::~MFnSingleIndexedComponent() = default;

MFn::Type MFnSingleIndexedComponent::type() const {
    return MFn::kSingleIndexedComponent;
}
MFn::Type MFnSingleIndexedComponent::requiredType() const {
    return MFn::kSingleIndexedComponent;
}

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->elements.size()) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return -1;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return c->elements[static_cast<std::size_t>(index)];
}

MStatus MFnSingleIndexedComponent::getElements(MIntArray& elements) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    elements.clear();
    if (c == nullptr) {
        return MStatus::kInvalidParameter;
    }
    for (int e : c->elements) {
        elements.append(e);
    }
    return MStatus::kSuccess;
}

int MFnSingleIndexedComponent::elementMax(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    kd::setStatus(ReturnStatus, c == nullptr ? MStatus::kInvalidParameter : MStatus::kSuccess);
    if (c == nullptr || c->elements.empty()) {
        return -1;
    }
    return *std::max_element(c->elements.begin(), c->elements.end());
}

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    if (!kd::isSingleIndexed(compType)) {
        kd::setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MObject();
    }
    auto c = std::make_shared<kd::ComponentData>();
    c->type = compType;
    obj_ = kd::objectOf(c);
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return obj_;
}

MStatus MFnSingleIndexedComponent::addElement(int element) {
    kd::ComponentData* c = kd::componentData(obj_);
    if (c == nullptr || element < 0) {
        return MStatus::kInvalidParameter;
    }
    if (std::find(c->elements.begin(), c->elements.end(), element) == c->elements.end()) {
        c->elements.push_back(element);
        if (c->hasWeights) {
            c->weights.push_back(1.0f);
        }
    }
    return MStatus::kSuccess;
}
