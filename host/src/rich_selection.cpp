// MRichSelection: a selection with soft-selection weights, which travel in
// the components of its list.
#include <maya/MRichSelection.h>

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
