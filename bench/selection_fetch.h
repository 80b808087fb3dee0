#pragma once
// The selection the overlay's tracker fetches each frame, made with the same
// host calls: the rich selection, or when that is empty the active list
// merged with the hilite list. Shared by the benchmarks that replay a frame's
// host work without the plug-in.
#include <maya/MSelectionList.h>

namespace knotlens_bench {

MSelectionList fetchTrackedSelection();

}  // namespace knotlens_bench
