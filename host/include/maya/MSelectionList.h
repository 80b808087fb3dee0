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
#include <memory>
#include <unordered_map>
#include <vector>

namespace khost {
namespace detail {
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

struct SelectionItems {
    std::vector<SelectionItem> list;
    std::unordered_map<const ObjectData*, ItemPositions> index;
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
    friend struct khost::detail::Access;
    friend class MItSelectionList;
    // Null when empty. Shared with copies; cloned before a change when shared.
    std::shared_ptr<khost::detail::SelectionItems> items_;
};
