#pragma once
// The process-wide state block, shared by every draw manager node and every
// draw override in the process (defined in plugin/process_objects.cpp with
// the plug-in's other process-wide objects). Everything runs on the host's
// main thread, one call at a time, so nothing here is guarded.
#include <maya/MCallbackIdArray.h>
#include <maya/MSelectionList.h>

#include <cstdint>
#include <string>

// Ids of the "SelectionChanged" callbacks installed by live nodes, one per node.
extern MCallbackIdArray selectionCallbackIds;
// The selection the overlay draws from; written only by refreshTrackedSelection.
extern MSelectionList trackedSelection;
// Concatenated selection strings of the latest frame that computed them.
extern std::string lastSelectionKey;
// True when trackedSelection came from the host's rich (soft) selection.
extern bool softSelectionActive;
// True once frame preparation has fetched the selection itself.
extern bool selectionPrimed;
// The node state read by the latest frame preparation that got that far.
extern int32_t lastNodeState;

// Puts every value of the block back to its value at load. For test programs
// that link the plug-in's sources and load it more than once; to be called
// while no draw manager node exists.
void resetProcessState();
