// MGlobal: the host's selection lists (active, soft and hilite) and its
// messages.
#include <maya/MGlobal.h>

#include <iostream>

#include "model.h"

namespace kd = khost::detail;

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool /*orderedSelectionIfAvailable*/) {
    dest = kd::Scene::get().selection.active;
    return MStatus::kSuccess;
}

MStatus MGlobal::getRichSelection(MRichSelection& dest, bool defaultToActiveSelection) {
    const kd::SelectionState& sel = kd::Scene::get().selection;
    if (!sel.rich.isEmpty()) {
        return dest.setSelection(sel.rich);
    }
    if (defaultToActiveSelection) {
        return dest.setSelection(sel.active);
    }
    return dest.clear();
}

MStatus MGlobal::getHiliteList(MSelectionList& dest) {
    dest = kd::Scene::get().selection.hilite;
    return MStatus::kSuccess;
}

void MGlobal::displayInfo(const MString& theMessage) {
    std::cout << theMessage.asChar() << std::endl;
}

void MGlobal::displayWarning(const MString& theWarning) {
    std::cerr << "// Warning: " << theWarning.asChar() << std::endl;
}

void MGlobal::displayError(const MString& theError) {
    std::cerr << "// Error: " << theError.asChar() << std::endl;
}
