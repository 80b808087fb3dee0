#pragma once
// The host's selection: the active and hilite lists and the soft selection.
// Not installed.
#include <maya/MSelectionList.h>

#include <cstdint>

namespace khost {
namespace detail {

struct SelectionState {
    MSelectionList active;
    MSelectionList hilite;
    MSelectionList rich;   // soft selection; empty when none
    uint64_t version = 0;  // bumps on every change
};

// One per process, never destroyed (like the scene).
SelectionState& selectionState();

}  // namespace detail
}  // namespace khost
