#pragma once
// Embedded host: a selection with soft-selection weights, which travel in the
// components of its list.
#include <maya/MApiNamespace.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>

class MRichSelection {
public:
    MRichSelection();
    MRichSelection(const MRichSelection& other);
    virtual ~MRichSelection();
    MRichSelection& operator=(const MRichSelection& other);

    MStatus getSelection(MSelectionList& selection) const;
    MStatus setSelection(const MSelectionList& selection);
    MStatus clear();

private:
    friend struct MHostAccess;
    MSelectionList data_;
};
