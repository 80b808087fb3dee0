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

#include <memory>

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
    // The items, defined by the host library. Null when empty. Shared with
    // copies; cloned before a change when shared.
    struct Items;
    std::shared_ptr<Items> items_;
};
