#pragma once
// The storage of the segment lists (curve and hull overlays) from frame to
// frame: the record keeps each frame's lists, arrays and storage, when the
// next frame starts, and that frame's builders take them back to refill
// rather than making new arrays, so a steady frame allocates none.
#include <maya/MColorArray.h>
#include <maya/MPointArray.h>

#include <cstddef>
#include <vector>

// Empties `lists` at the start of a frame; lists that a frame made go to
// `spare` (whatever `spare` held before is dropped), so that `spare` always
// holds the lists of the latest frame that made any.
template <class Array>
void keepLists(std::vector<Array>& lists, std::vector<Array>& spare) {
    if (!lists.empty()) {
        spare.swap(lists);
    }
    lists.clear();
}

// Grows `points` / `colors` by `count` list pairs each, for one frame's
// segment lists. When both are empty and spares are given, the spares'
// arrays (from an earlier frame, storage kept) come first, as many as are
// wanted; the rest are new. The contents of taken arrays are stale: the
// builder sets every array's length and elements.
void takeListPairs(std::vector<MPointArray>& points, std::vector<MColorArray>& colors,
                   std::vector<MPointArray>* sparePoints, std::vector<MColorArray>* spareColors,
                   std::size_t count);
