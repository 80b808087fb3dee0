#pragma once
// The host's selection: component objects, the items behind MSelectionList
// and the index of their positions by object, the operations on them that
// the selection sources (list, iterator, parsing, strings, merging) share,
// and the active, hilite and soft selection lists. Not installed: the
// public header holds only an opaque pointer to Items.
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "model.h"

namespace khost {
namespace detail {

// Component objects (CVs, edit points, knots), with optional weights.
struct ComponentData : ObjectData {
    MFn::Type type = MFn::kInvalid;  // kCurveCVComponent, kCurveEPComponent, ...
    std::vector<int> elements;
    std::vector<float> weights;  // empty or parallel to elements
    bool hasWeights = false;
    MFn::Type apiType() const override { return type; }
    bool hasFn(MFn::Type t) const override;
    ComponentData* asComponent() override { return this; }
};

// The positions of a selection list's items by the object they name, so
// that merging into a long list stays linear: an open-addressing table
// from each object to the first and last position of its items, and for
// every position the next one naming the same object. Two vectors, so a
// list of any length is indexed with a few allocations rather than one or
// two per object.
class ItemIndex {
public:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

    void clear();
    // Empties the index, with room for `positions` positions.
    void reset(std::size_t positions);
    // Records that the next position names `key`.
    void append(const ObjectData* key);
    // The first position naming `key`, or kNone; then next(position).
    std::size_t first(const ObjectData* key) const;
    std::size_t next(std::size_t position) const { return next_[position]; }
    // Has the index been built since it was last cleared?
    bool built() const { return !slots_.empty(); }

private:
    struct Slot {
        const ObjectData* key = nullptr;
        std::size_t first = kNone;  // kNone: the slot is free
        std::size_t last = kNone;
    };
    std::size_t slotOf(const ObjectData* key) const;  // its slot, or the free one it would take
    void rehash(std::size_t slotCount);

    std::vector<Slot> slots_;  // a power of two long, at most half full
    std::vector<std::size_t> next_;
    std::size_t keys_ = 0;
};

// One entry of a selection list.
struct SelectionItem {
    MObject object;       // the selected node
    MObject component;    // null for a whole-object item
    Node* dag = nullptr;  // `object` as a DAG node (kept alive by `object`), or null
};

}  // namespace detail
}  // namespace khost

namespace khost {
namespace detail {
// A number no list contents had before (1, 2, ...).
uint64_t nextSelectionVersion();
}  // namespace detail
}  // namespace khost

// The items of a list, in order, and an index from each object to the
// positions of its items, so that merging into a long list stays linear.
// The index is built on the first merge and cleared when items are
// removed; copies leave it out. `version` is new whenever the items may
// change (made, copied, or made writable), so that what was read from one
// version can be kept until the next.
struct MSelectionList::Items {
    std::vector<khost::detail::SelectionItem> list;
    khost::detail::ItemIndex index;
    uint64_t version = khost::detail::nextSelectionVersion();

    Items() = default;
    Items(const Items& other) : list(other.list) {}
    Items& operator=(const Items&) = delete;
};

namespace khost {
namespace detail {

using SelectionItems = Access::SelectionItems;

// The items of `list`, in order (empty when it has none). Inline: an
// iterator asks on every step.
inline const std::vector<SelectionItem>& itemsOf(const MSelectionList& list) {
    static const std::vector<SelectionItem> none;
    const auto& items = Access::items(list);
    return items ? items->list : none;
}
// The version of the list's items (0 when it has none).
inline uint64_t versionOf(const MSelectionList& list) {
    const auto& items = Access::items(list);
    return items ? items->version : 0;
}
// Removes the items for which `drop` is true; true when any went.
bool removeItemsIf(MSelectionList& list, const std::function<bool(const SelectionItem&)>& drop);

// The component data an MObject refers to, or null.
inline ComponentData* componentData(const MObject& object) {
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
// An item for a live path's node and a component (or none); false when
// the path or the component is not one.
bool pathItem(const MDagPath& path, const MObject& component, SelectionItem& item);
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

// The host's selection lists.
struct SelectionState {
    MSelectionList active;
    MSelectionList hilite;
    MSelectionList rich;  // soft selection; empty when none
};
// One per process, never destroyed (like the scene).
SelectionState& selectionState();

}  // namespace detail
}  // namespace khost
