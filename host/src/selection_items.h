#pragma once
// The items behind MSelectionList, and the operations on them that the
// selection sources (list, iterator, parsing, strings, merging) share. Not
// installed: the public header holds only an opaque pointer to Items.
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "component_data.h"
#include "model.h"
#include "selection_index.h"

namespace khost {
namespace detail {

// One entry of a selection list.
struct SelectionItem {
    MObject object;       // the selected node
    MObject component;    // null for a whole-object item
    Node* dag = nullptr;  // `object` as a DAG node (kept alive by `object`), or null
};

}  // namespace detail
}  // namespace khost

// The items of a list, in order, and an index from each object to the
// positions of its items, so that merging into a long list stays linear.
// The index is built on the first merge and dropped when items are
// removed; copies leave it out.
struct MSelectionList::Items {
    std::vector<khost::detail::SelectionItem> list;
    khost::detail::ItemIndex index;
    bool indexed = false;

    Items() = default;
    Items(const Items& other) : list(other.list) {}
    Items& operator=(const Items&) = delete;
};

// The host library's way to the items of a list.
struct SelectionListAccess {
    using Items = MSelectionList::Items;
    static const std::shared_ptr<Items>& items(const MSelectionList& list) { return list.items_; }
    static std::shared_ptr<Items>& items(MSelectionList& list) { return list.items_; }
};

namespace khost {
namespace detail {

using SelectionItems = SelectionListAccess::Items;

// The items of `list`, in order (empty when it has none). Inline: an
// iterator asks on every step.
inline const std::vector<SelectionItem>& itemsOf(const MSelectionList& list) {
    static const std::vector<SelectionItem> none;
    const auto& items = SelectionListAccess::items(list);
    return items ? items->list : none;
}
// Removes the items for which `drop` is true; true when any went.
bool removeItemsIf(MSelectionList& list, const std::function<bool(const SelectionItem&)>& drop);

// An MObject referring to `data`.
template <class T>
MObject objectOf(const std::shared_ptr<T>& data) {
    MObject o;
    Access::data(o) = data;
    return o;
}

// The component data an MObject refers to, or null.
inline const ComponentData* componentData(const MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asComponent() : nullptr;
}
inline ComponentData* componentData(MObject& object) {
    const auto& data = Access::data(object);
    return data ? data->asComponent() : nullptr;
}

// The weight of element i (1 when the component carries none).
inline float weightAt(const ComponentData& c, std::size_t i) {
    return (c.hasWeights && i < c.weights.size()) ? c.weights[i] : 1.0f;
}

// Lists own their component data: what is added is copied, so that later
// changes through a function set never reach a list.
MObject copyComponent(const MObject& component);

SelectionItem makeItem(const MObject& object, const MObject& component);
// The list's items, made unshared (and made, when the list has none) so
// that they can be changed.
SelectionItems& writable(std::shared_ptr<SelectionItems>& items);
// The list's object index, built now when the list has none; a list keeps
// it until items are removed (merging builds it too).
const ItemIndex& indexOf(const MSelectionList& list);
// Appends one item, keeping the index when there is one.
void append(SelectionItems& items, SelectionItem item);
// Merges `src` into `dst` as MSelectionList::merge does with `strategy`.
void mergeInto(std::shared_ptr<SelectionItems>& dst, const std::vector<SelectionItem>& src,
               MSelectionList::MergeStrategy strategy);

// Appends what the host's selection listing shows for one item.
void itemStrings(const SelectionItem& item, MStringArray& out);
// The item's path (and component, unless `component` is MObject::kNullObj).
MStatus dagPathOf(const SelectionItem& item, MDagPath& path, MObject& component);

}  // namespace detail
}  // namespace khost
