#pragma once
// Embedded host: an ordered list of selected items. Each item is a node, or
// a DAG node together with a component (e.g. some CVs of a curve). Copies
// share their items until one of them changes.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace khost {
namespace detail {
using ObjectData = ::MObject::Data;
using Node = ::MObject::Node;
// One entry of a selection list.
struct SelectionItem {
    MObject object;       // the selected node
    MObject component;    // null for a whole-object item
    Node* dag = nullptr;  // `object` as a DAG node (kept alive by `object`), or null
};

// The items of a list, in order, and an index from each object to the
// positions of its items, so that adding to a long list stays cheap. The
// index is rebuilt on demand after items are removed; copies leave it out.
// Positions in the list of the items that name one node, in list order: the
// first inline (most nodes are named once), any further ones after it.
struct ItemPositions {
    std::size_t first = 0;
    std::vector<std::size_t> more;
};

// The index from objects to their positions: open addressing in one flat
// table, so that indexing a list of thousands of items (every frame's
// selection fetch does) allocates nothing per item. Entries are never
// erased one by one, only all at once.
class ObjectIndex {
public:
    const ItemPositions* find(const ObjectData* key) const {
        if (slots_.empty()) {
            return nullptr;
        }
        for (std::size_t i = home(key);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i].key == key) {
                return &slots_[i].positions;
            }
            if (slots_[i].key == nullptr) {
                return nullptr;
            }
        }
    }
    // The positions of `key`, and whether they were just added (empty).
    std::pair<ItemPositions*, bool> tryEmplace(const ObjectData* key) {
        if (2 * (used_ + 1) > slots_.size()) {
            grow(2 * (used_ + 1));
        }
        for (std::size_t i = home(key);; i = (i + 1) & (slots_.size() - 1)) {
            if (slots_[i].key == key) {
                return {&slots_[i].positions, false};
            }
            if (slots_[i].key == nullptr) {
                slots_[i].key = key;
                ++used_;
                return {&slots_[i].positions, true};
            }
        }
    }
    void clear() {
        slots_.clear();
        used_ = 0;
    }
    void reserve(std::size_t count) {
        if (2 * count > slots_.size()) {
            grow(2 * count);
        }
    }

private:
    struct Slot {
        const ObjectData* key = nullptr;
        ItemPositions positions;
    };
    std::size_t home(const ObjectData* key) const {
        const auto bits = reinterpret_cast<std::uintptr_t>(key);
        return static_cast<std::size_t>((bits >> 4) * 0x9E3779B97F4A7C15ull >> 17) & (slots_.size() - 1);
    }
    // Rehashes into a power-of-two table of at least `minimum` slots.
    void grow(std::size_t minimum) {
        std::size_t size = 16;
        while (size < minimum) {
            size *= 2;
        }
        std::vector<Slot> old;
        old.swap(slots_);
        slots_.resize(size);
        for (Slot& slot : old) {
            if (slot.key != nullptr) {
                std::size_t i = home(slot.key);
                while (slots_[i].key != nullptr) {
                    i = (i + 1) & (slots_.size() - 1);
                }
                slots_[i].key = slot.key;
                slots_[i].positions = std::move(slot.positions);
            }
        }
    }
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

struct SelectionItems {
    std::vector<SelectionItem> list;
    ObjectIndex index;
    bool indexed = false;

    SelectionItems() = default;
    SelectionItems(const SelectionItems& other) : list(other.list) {}
    SelectionItems& operator=(const SelectionItems& other) {
        list = other.list;
        index.clear();
        indexed = false;
        return *this;
    }
};
}  // namespace detail
}  // namespace khost

class MSelectionList {
public:
    enum MergeStrategy { kMergeNormal = 0, kXORWithList = 1, kRemoveFromList = 2 };

    MSelectionList();
    MSelectionList(const MSelectionList& src);
    virtual ~MSelectionList();
    MSelectionList& operator=(const MSelectionList& other);

    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = nullptr) const;
    unsigned int length(MStatus* ReturnStatus = nullptr) const;

    MStatus getDagPath(unsigned int index, MDagPath& dagPath, MObject& component = MObject::kNullObj) const;
    MStatus getDependNode(unsigned int index, MObject& depNode) const;

    MStatus add(const MObject& object, const bool mergeWithExisting = false);
    MStatus add(const MDagPath& object, const MObject& component = MObject::kNullObj,
                const bool mergeWithExisting = false);
    // Adds every node whose name or path matches `matchString` (exact names,
    // partial or full paths, '*' and '?' wildcards, optionally a component
    // such as "curve1.cv[2:4]"), in creation order.
    MStatus add(const MString& matchString, const bool searchChildNamespacesToo = false);

    MStatus merge(const MSelectionList& other, const MergeStrategy strategy = kMergeNormal);
    MStatus merge(const MDagPath& object, const MObject& component = MObject::kNullObj,
                  const MergeStrategy strategy = kMergeNormal);

    MStatus remove(unsigned int index);
    bool hasItem(const MObject& item, MStatus* ReturnStatus = nullptr) const;
    bool hasItem(const MDagPath& item, const MObject& component = MObject::kNullObj,
                 MStatus* ReturnStatus = nullptr) const;

    // What the host's selection listing shows: the shortest unique name of
    // each item, components as compressed index ranges.
    MStatus getSelectionStrings(MStringArray& array) const;
    MStatus getSelectionStrings(unsigned int index, MStringArray& array) const;

private:
    friend struct MHostAccess;
    friend class MItSelectionList;
    // Null when empty. Shared with copies; cloned before a change when shared.
    std::shared_ptr<khost::detail::SelectionItems> items_;
};
