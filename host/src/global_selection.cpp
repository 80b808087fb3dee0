// MGlobal: the host's selection lists (active, soft and hilite) and its
// messages.
#include <maya/MGlobal.h>

#include <iostream>

#include "model.h"
#include "selection_state.h"

namespace khost {
namespace detail {

SelectionState& selectionState() {
    static SelectionState* state = new SelectionState();
    return *state;
}

}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

MStatus MGlobal::getActiveSelectionList(MSelectionList& dest, bool /*orderedSelectionIfAvailable*/) {
    dest = kd::selectionState().active;
    return MStatus::kSuccess;
}

MStatus MGlobal::getRichSelection(MRichSelection& dest, bool defaultToActiveSelection) {
    const kd::SelectionState& sel = kd::selectionState();
    if (!sel.rich.isEmpty()) {
        return dest.setSelection(sel.rich);
    }
    if (defaultToActiveSelection) {
        return dest.setSelection(sel.active);
    }
    return dest.clear();
}

MStatus MGlobal::getHiliteList(MSelectionList& dest) {
    dest = kd::selectionState().hilite;
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
