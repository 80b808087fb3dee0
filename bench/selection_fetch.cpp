#include "selection_fetch.h"

#include <maya/MGlobal.h>
#include <maya/MRichSelection.h>

namespace knotlens_bench {

MSelectionList fetchTrackedSelection() {
    MRichSelection rich;
    MGlobal::getRichSelection(rich, false);
    MSelectionList list;
    rich.getSelection(list);
    if (list.isEmpty()) {
        MGlobal::getActiveSelectionList(list, false);
        MSelectionList hilite;
        MGlobal::getHiliteList(hilite);
        if (!hilite.isEmpty()) {
            list.merge(hilite, MSelectionList::kMergeNormal);
        }
    }
    return list;
}

}  // namespace knotlens_bench
