// MItSelectionList: a walk over the items of a selection list as it was when
// the iterator was made, optionally restricted to items compatible with one
// function set type.
#include <maya/MItSelectionList.h>

#include <algorithm>

#include "selection_items.h"

namespace khost {
namespace detail {
namespace {

// An item passes a filter when its component, its node or (for a
// transform) one of the shapes below it is compatible with the filter type.
bool passesFilter(const SelectionItem& item, MFn::Type filter) {
    if (filter == MFn::kInvalid || item.component.hasFn(filter) || item.object.hasFn(filter)) {
        return true;
    }
    return item.dag != nullptr &&
           std::any_of(item.dag->children.begin(), item.dag->children.end(),
                       [&](const Node* c) { return c->isShape() && c->hasFn(filter); });
}

// The item at `index`, or null past the end.
const SelectionItem* itemAt(const MSelectionList& list, unsigned int index) {
    const auto& items = itemsOf(list);
    return index < items.size() ? &items[index] : nullptr;
}

}  // namespace
}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

MItSelectionList::MItSelectionList(const MSelectionList& list, MFn::Type filter, MStatus* ReturnStatus)
    : list_(list), filter_(filter) {
    skipFiltered();
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
}

MItSelectionList::~MItSelectionList() = default;

void MItSelectionList::skipFiltered() {
    const auto& items = kd::itemsOf(list_);
    while (index_ < items.size() && !kd::passesFilter(items[index_], filter_)) {
        ++index_;
    }
}

bool MItSelectionList::isDone(MStatus* ReturnStatus) {
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return index_ >= kd::itemsOf(list_).size();
}

MStatus MItSelectionList::next() {
    if (isDone()) {
        return MStatus::kFailure;
    }
    ++index_;
    skipFiltered();
    return MStatus::kSuccess;
}

MStatus MItSelectionList::reset() {
    index_ = 0;
    skipFiltered();
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath, MObject& component) {
    const kd::SelectionItem* item = kd::itemAt(list_, index_);
    return item != nullptr ? kd::dagPathOf(*item, dagPath, component) : MStatus::kFailure;
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath) {
    return getDagPath(dagPath, MObject::kNullObj);
}

MStatus MItSelectionList::getDependNode(MObject& depNode) {
    const kd::SelectionItem* item = kd::itemAt(list_, index_);
    if (item == nullptr) {
        return MStatus::kFailure;
    }
    depNode = item->object;
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getStrings(MStringArray& array) {
    array.clear();
    const kd::SelectionItem* item = kd::itemAt(list_, index_);
    if (item == nullptr) {
        return MStatus::kFailure;
    }
    kd::itemStrings(*item, array);
    return MStatus::kSuccess;
}

MStatus MItSelectionList::setFilter(MFn::Type filter) {
    filter_ = filter;
    return reset();
}

bool MItSelectionList::hasComponents(MStatus* ReturnStatus) const {
    const kd::SelectionItem* item = kd::itemAt(list_, index_);
    kd::setStatus(ReturnStatus, item != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    return item != nullptr && !item->component.isNull();
}

MItSelectionList::selItemType MItSelectionList::itemType(MStatus* ReturnStatus) {
    const kd::SelectionItem* item = kd::itemAt(list_, index_);
    kd::setStatus(ReturnStatus, item != nullptr ? MStatus::kSuccess : MStatus::kFailure);
    if (item == nullptr) {
        return kUnknownItem;
    }
    return item->dag != nullptr ? kDagSelectionItem : kDNselectionItem;
}
