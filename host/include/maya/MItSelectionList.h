#pragma once
// Embedded host: iterator over a selection list, optionally restricted to
// items compatible with one function set type. It iterates over the list as
// it was when the iterator was made.
#include <maya/MApiNamespace.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MStringArray.h>

#include <cstddef>
#include <memory>

class MItSelectionList {
public:
    enum selItemType {
        kUnknownItem = -1,
        kDagSelectionItem = 0,
        kAnimSelectionItem = 1,
        kDNselectionItem = 2,
        kPlugSelectionItem = 3
    };

    MItSelectionList(const MSelectionList& list, MFn::Type filter = MFn::kInvalid,
                     MStatus* ReturnStatus = nullptr);
    virtual ~MItSelectionList();

    bool isDone(MStatus* ReturnStatus = nullptr);
    MStatus next();
    MStatus reset();
    MStatus getDagPath(MDagPath& dagPath, MObject& component);
    MStatus getDagPath(MDagPath& dagPath);
    MStatus getDependNode(MObject& depNode);
    MStatus getStrings(MStringArray& array);
    MStatus setFilter(MFn::Type filter);
    bool hasComponents(MStatus* ReturnStatus = nullptr) const;
    selItemType itemType(MStatus* ReturnStatus = nullptr);

private:
    friend struct MHostAccess;
    MItSelectionList(const MItSelectionList&);
    MItSelectionList& operator=(const MItSelectionList&);
    // Moves index_ forward to the first item at or after it that passes the filter.
    void skipFiltered();

    std::shared_ptr<khost::detail::SelectionItems> items_;
    std::size_t index_ = 0;
    MFn::Type filter_ = MFn::kInvalid;
};
