// Set operations of selection lists: merging items into a list as
// MSelectionList::merge does (union, symmetric difference, removal), on
// whole objects and element by element on components of the same kind; and
// the object index that keeps merging into a long list linear (open
// addressing with linear probing over a table at most half full, chains of
// positions in list order).
#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

#include "selection_items.h"

namespace khost {
namespace detail {

namespace {

std::size_t hashOf(const ObjectData* key) {
    // Fibonacci hashing of the address: objects are at least 16 bytes apart,
    // so the low bits alone would crowd into few slots.
    return static_cast<std::size_t>((reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull >>
                                    32);
}

// A component of the same type holding the chosen elements of `from`, in
// their order, with their weights.
template <class Keep>
void appendFiltered(ComponentData& to, const ComponentData& from, Keep keep) {
    for (std::size_t i = 0; i < from.elements.size(); ++i) {
        if (keep(from.elements[i])) {
            to.elements.push_back(from.elements[i]);
            to.weights.push_back(weightAt(from, i));
        }
    }
}

// The elements of `a` and `b` (components of one type) combined as
// MSelectionList::merge does with `strategy`, in their order, with their
// weights.
std::shared_ptr<ComponentData> combine(const ComponentData& a, const ComponentData& b,
                                       MSelectionList::MergeStrategy strategy) {
    auto c = std::make_shared<ComponentData>();
    c->type = a.type;
    c->hasWeights = a.hasWeights || (strategy != MSelectionList::kRemoveFromList && b.hasWeights);
    if (strategy == MSelectionList::kMergeNormal) {
        std::unordered_set<int> seen;
        appendFiltered(*c, a, [&](int e) { return seen.insert(e).second; });
        appendFiltered(*c, b, [&](int e) { return seen.insert(e).second; });
    } else {
        const std::unordered_set<int> inB(b.elements.begin(), b.elements.end());
        appendFiltered(*c, a, [&](int e) { return inB.count(e) == 0; });
        if (strategy == MSelectionList::kXORWithList) {
            const std::unordered_set<int> inA(a.elements.begin(), a.elements.end());
            appendFiltered(*c, b, [&](int e) { return inA.count(e) == 0; });
        }
    }
    if (!c->hasWeights) {
        c->weights.clear();
    }
    return c;
}

MFn::Type componentTypeOf(const SelectionItem& item) {
    const ComponentData* c = componentData(item.component);
    return c != nullptr ? c->type : MFn::kInvalid;
}

// What the index files an item under: its object. Items are the same
// selectable thing when they name the same object and, for component items,
// the same kind of component.
const ObjectData* objectKey(const SelectionItem& item) {
    return Access::data(item.object).get();
}

// Indexes every item of the list, with room for `more` to come.
void buildIndex(SelectionItems& items, std::size_t more) {
    items.index.reset(items.list.size() + more);
    for (const SelectionItem& item : items.list) {
        items.index.append(objectKey(item));
    }
}

// Position of the first item that is the same selectable thing as `item`
// and not removed, or ItemIndex::kNone.
std::size_t findSame(const SelectionItems& items, const SelectionItem& item) {
    const MFn::Type type = componentTypeOf(item);
    for (std::size_t pos = items.index.first(objectKey(item)); pos != ItemIndex::kNone;
         pos = items.index.next(pos)) {
        if (!items.list[pos].object.isNull() && componentTypeOf(items.list[pos]) == type) {
            return pos;
        }
    }
    return ItemIndex::kNone;
}

}  // namespace

void ItemIndex::clear() {
    slots_.clear();
    next_.clear();
    keys_ = 0;
}

void ItemIndex::reset(std::size_t positions) {
    clear();
    next_.reserve(positions);
    std::size_t slotCount = 16;
    while (slotCount < 2 * positions) {
        slotCount *= 2;
    }
    slots_.assign(slotCount, Slot());
}

std::size_t ItemIndex::slotOf(const ObjectData* key) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t s = hashOf(key) & mask;
    while (slots_[s].first != kNone && slots_[s].key != key) {
        s = (s + 1) & mask;
    }
    return s;
}

void ItemIndex::rehash(std::size_t slotCount) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(slotCount, Slot());
    for (const Slot& slot : old) {
        if (slot.first != kNone) {
            slots_[slotOf(slot.key)] = slot;
        }
    }
}

void ItemIndex::append(const ObjectData* key) {
    if (2 * (keys_ + 1) > slots_.size()) {
        rehash(slots_.empty() ? 16 : 2 * slots_.size());
    }
    const std::size_t position = next_.size();
    next_.push_back(kNone);
    Slot& slot = slots_[slotOf(key)];
    if (slot.first == kNone) {
        slot.key = key;
        slot.first = position;
        ++keys_;
    } else {
        next_[slot.last] = position;
    }
    slot.last = position;
}

std::size_t ItemIndex::first(const ObjectData* key) const {
    return slots_.empty() ? kNone : slots_[slotOf(key)].first;
}

const ItemIndex& indexOf(const MSelectionList& list) {
    static const ItemIndex none;
    const auto& items = Access::items(list);
    if (!items) {
        return none;
    }
    if (!items->index.built()) {
        buildIndex(*items, 0);
    }
    return items->index;
}

void append(SelectionItems& items, SelectionItem item) {
    if (items.index.built()) {
        items.index.append(objectKey(item));
    }
    items.list.push_back(std::move(item));
}

void mergeInto(std::shared_ptr<SelectionItems>& dstPtr, const std::vector<SelectionItem>& src,
               MSelectionList::MergeStrategy strategy) {
    if (src.empty()) {
        return;
    }
    SelectionItems& dst = writable(dstPtr);
    if (!dst.index.built()) {
        buildIndex(dst, src.size());
    }
    bool removed = false;  // items that go are left without an object until the end
    for (const SelectionItem& item : src) {
        const std::size_t pos = findSame(dst, item);
        const ComponentData* comp = componentData(item.component);
        if (pos == ItemIndex::kNone) {
            if (strategy != MSelectionList::kRemoveFromList) {
                // The source item already knows its DAG node.
                SelectionItem copy = item;
                copy.component = copyComponent(item.component);
                append(dst, std::move(copy));
            }
            continue;
        }
        std::shared_ptr<ComponentData> result;
        if (comp != nullptr) {
            result = combine(*componentData(dst.list[pos].component), *comp, strategy);
            dst.list[pos].component = objectOf(result);
        }
        if (comp == nullptr ? strategy != MSelectionList::kMergeNormal : result->elements.empty()) {
            dst.list[pos] = SelectionItem();
            removed = true;
        }
    }
    if (removed) {
        dst.list.erase(std::remove_if(dst.list.begin(), dst.list.end(),
                                      [](const SelectionItem& i) { return i.object.isNull(); }),
                       dst.list.end());
        dst.index.clear();
    }
}

}  // namespace detail
}  // namespace khost
