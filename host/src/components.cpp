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

// The attached component when it has an element `index` (kSuccess), else
// null (kInvalidParameter).
const ComponentData* componentElement(const MObject& object, int index, MStatus* ReturnStatus) {
    const ComponentData* c = componentData(object);
    const bool valid = c != nullptr && index >= 0 && static_cast<std::size_t>(index) < c->elements.size();
    return reportValid(valid, ReturnStatus) ? c : nullptr;
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

KHOST_FUNCTION_SET(MFnComponent, MFn::kComponent)

MFn::Type MFnComponent::componentType(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return kd::reportValid(c != nullptr, ReturnStatus) ? c->type : MFn::kInvalid;
}

int MFnComponent::elementCount(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return kd::reportValid(c != nullptr, ReturnStatus) ? static_cast<int>(c->elements.size()) : 0;
}

bool MFnComponent::hasWeights() const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return c != nullptr && c->hasWeights;
}

MWeight MFnComponent::weight(int index, MStatus* ReturnStatus) const {
    MWeight w;
    if (const kd::ComponentData* c = kd::componentElement(obj_, index, ReturnStatus)) {
        w.setInfluence(kd::weightAt(*c, static_cast<std::size_t>(index)));
    }
    return w;
}

bool MFnComponent::isEmpty(MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentData(obj_);
    return !kd::reportValid(c != nullptr, ReturnStatus) || c->elements.empty();
}

bool MFnComponent::isComplete(MStatus* ReturnStatus) const {
    // A component does not know its owner's element count here; components
    // are always listed element by element.
    kd::reportValid(kd::componentData(obj_) != nullptr, ReturnStatus);
    return false;
}

// ---------------------------------------------------------------- MFnSingleIndexedComponent

KHOST_FUNCTION_SET(MFnSingleIndexedComponent, MFn::kSingleIndexedComponent)

int MFnSingleIndexedComponent::element(int index, MStatus* ReturnStatus) const {
    const kd::ComponentData* c = kd::componentElement(obj_, index, ReturnStatus);
    return c != nullptr ? c->elements[static_cast<std::size_t>(index)] : -1;
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
    if (!kd::reportValid(c != nullptr, ReturnStatus) || c->elements.empty()) {
        return -1;
    }
    return *std::max_element(c->elements.begin(), c->elements.end());
}

MObject MFnSingleIndexedComponent::create(MFn::Type compType, MStatus* ReturnStatus) {
    if (!kd::reportValid(kd::isSingleIndexed(compType), ReturnStatus)) {
        return MObject();
    }
    auto c = std::make_shared<kd::ComponentData>();
    c->type = compType;
    obj_ = kd::objectOf(c);
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
