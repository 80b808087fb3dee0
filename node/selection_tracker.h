#pragma once
// The process-wide state block shared by every draw manager node and every
// draw override in the process, and the selection refresh that follows the
// host's "SelectionChanged" event.
//
// The objects are defined in plugin/process_objects.cpp. Everything runs on
// the host's main thread, one call at a time, so nothing here is guarded.
#include <maya/MCallbackIdArray.h>
#include <maya/MSelectionList.h>

#include <cstdint>
#include <string>

// Ids of the "SelectionChanged" callbacks installed by live nodes, one per node.
extern MCallbackIdArray selectionCallbackIds;
// The selection the overlay draws from; written only by refreshTrackedSelection.
extern MSelectionList trackedSelection;
// Concatenated selection strings of the latest frame that computed them; the
// per-curve caches are emptied when this changes.
extern std::string lastSelectionKey;
// True when trackedSelection came from the host's rich (soft) selection.
extern bool softSelectionActive;
// True once frame preparation has fetched the selection itself.
extern bool selectionPrimed;
// The node state read by the latest frame preparation that got that far.
extern int32_t lastNodeState;

// Copies the host's selection into trackedSelection: the rich selection when it
// is not empty, otherwise the active list merged with the hilite list. The
// client pointer is ignored; frame preparation calls this with none.
void refreshTrackedSelection(void* clientData);
