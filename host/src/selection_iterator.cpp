// MItSelectionList: a walk over the items of a selection list as it was when
// the iterator was made, optionally restricted to items compatible with one
// function set type.
#include <maya/MItSelectionList.h>

#include "selection_items.h"

namespace khost {
namespace detail {
namespace {

// An item passes a filter when its component, its node or (for a
// transform) one of the shapes below it is compatible with the filter type.
bool passesFilter(const SelectionItem& item, MFn::Type filter) {
    if (filter == MFn::kInvalid) {
        return true;
    }
    if (!item.component.isNull() && item.component.hasFn(filter)) {
        return true;
    }
    if (item.object.hasFn(filter)) {
        return true;
    }
    if (item.dag != nullptr && item.dag->kind == NodeKind::Transform) {
        for (const Node* c : item.dag->children) {
            if (c->isShape() && c->hasFn(filter)) {
                return true;
            }
        }
    }
    return false;
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
    if (isDone()) {
        return MStatus::kFailure;
    }
    return kd::dagPathOf(kd::itemsOf(list_)[index_], dagPath, component);
}

MStatus MItSelectionList::getDagPath(MDagPath& dagPath) {
    return getDagPath(dagPath, MObject::kNullObj);
}

MStatus MItSelectionList::getDependNode(MObject& depNode) {
    if (isDone()) {
        return MStatus::kFailure;
    }
    depNode = kd::itemsOf(list_)[index_].object;
    return MStatus::kSuccess;
}

MStatus MItSelectionList::getStrings(MStringArray& array) {
    array.clear();
    if (isDone()) {
        return MStatus::kFailure;
    }
    kd::itemStrings(kd::itemsOf(list_)[index_], array);
    return MStatus::kSuccess;
}

MStatus MItSelectionList::setFilter(MFn::Type filter) {
    filter_ = filter;
    return reset();
}

bool MItSelectionList::hasComponents(MStatus* ReturnStatus) const {
    const auto& items = kd::itemsOf(list_);
    if (index_ >= items.size()) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return false;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return !items[index_].component.isNull();
}

MItSelectionList::selItemType MItSelectionList::itemType(MStatus* ReturnStatus) {
    if (isDone()) {
        kd::setStatus(ReturnStatus, MStatus::kFailure);
        return kUnknownItem;
    }
    kd::setStatus(ReturnStatus, MStatus::kSuccess);
    return kd::itemsOf(list_)[index_].dag != nullptr ? kDagSelectionItem : kDNselectionItem;
}
