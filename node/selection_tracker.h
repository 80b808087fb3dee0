#pragma once
// The selection refresh that follows the host's "SelectionChanged" event,
// and the process-wide state block it writes.
#include "plugin/process_objects.h"

// Copies the host's selection into trackedSelection: the rich selection when it
// is not empty, otherwise the active list merged with the hilite list. The
// client pointer is ignored; frame preparation calls this with none.
void refreshTrackedSelection(void* clientData);
