#include "node/selection_tracker.h"

#include <maya/MGlobal.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>

void refreshTrackedSelection(void* /*clientData*/) {
    trackedSelection.clear();

    // The rich selection carries soft-selection weights in its components;
    // no fallback to the active list here, that is done below.
    MRichSelection richSelection;
    MGlobal::getRichSelection(richSelection, false);
    MSelectionList list;
    richSelection.getSelection(list);
    softSelectionActive = true;

    if (list.isEmpty()) {
        softSelectionActive = false;
        MGlobal::getActiveSelectionList(list, false);
        // Curves whose components are being edited are in the hilite list,
        // not necessarily in the active list.
        MSelectionList hiliteList;
        MGlobal::getHiliteList(hiliteList);
        if (!hiliteList.isEmpty()) {
            list.merge(hiliteList, MSelectionList::kMergeNormal);
        }
    }

    trackedSelection = list;
}
