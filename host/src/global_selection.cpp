// MGlobal: the host's selection lists (active, soft and hilite) and its
// messages; MRichSelection, a selection with soft-selection weights, which
// travel in the components of its list.
#include <maya/MGlobal.h>
#include <maya/MRichSelection.h>

#include <iostream>

#include "model.h"
#include "selection_items.h"

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

// ---------------------------------------------------------------- MRichSelection

MRichSelection::MRichSelection() = default;
MRichSelection::MRichSelection(const MRichSelection& other) = default;
MRichSelection::~MRichSelection() = default;
MRichSelection& MRichSelection::operator=(const MRichSelection& other) = default;

MStatus MRichSelection::getSelection(MSelectionList& selection) const {
    selection = data_;
    return MStatus::kSuccess;
}

MStatus MRichSelection::setSelection(const MSelectionList& selection) {
    data_ = selection;
    return MStatus::kSuccess;
}

MStatus MRichSelection::clear() {
    return data_.clear();
}
