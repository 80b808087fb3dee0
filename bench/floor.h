#pragma once
// The floor of a frame: the least any overlay must do each frame for N CVs.
// It reads N positions from per-curve arrays (as the host hands CVs over,
// one array per curve), measures each one's distance from the camera point,
// orders them farthest first and writes N points and N colours in that
// order into the host's output arrays. Frame benchmarks are quoted as a
// ratio to this floor for the same N.
//
// The order comes from a least-significant-digit radix sort on a 64-bit key
// that orders distances farthest first (11-bit digits; each key carries the
// CV's 32-bit index), and from a comparison sort on (key, index) pairs below
// kFloorRadixMinimum keys, where clearing the radix histograms costs more
// than the sort. Both give the same order: descending distance, CVs at equal
// distances in input order, every NaN distance first.
//
// runFloorComparisonSort is the older, weaker reference kept for comparison:
// it copies the points and colours in input order and sorts a copy of the
// distances with std::sort.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace knotlens_bench {

struct FloorInput {
    std::vector<MPointArray> curves;  // CV positions, one array per curve, in curve order
    MPoint camera;                    // the camera point the distances are measured from
    std::vector<MPoint> points;       // the same positions, flattened in curve order
    std::vector<MColor> colors;       // one colour per CV, in that order
    std::vector<double> distances;    // the CVs' distances from the camera, in that order
};

// A key and the index of its CV, moved together by the radix passes.
struct FloorItem {
    uint64_t key;
    uint32_t index;
};

// Working storage and outputs, kept between frames as a steady overlay keeps them.
struct FloorOutput {
    MPointArray points;             // drawn order (input order for runFloorComparisonSort)
    MColorArray colors;             // parallel to points
    std::vector<uint32_t> order;    // CV indices, farthest first (runFloor only)
    std::vector<double> distances;  // farthest first
    // Radix sort storage.
    std::vector<MPoint> staged;
    std::vector<uint64_t> keys;
    std::vector<FloorItem> items, itemsSwap;
    std::vector<uint32_t> histogram;
    std::vector<std::pair<uint64_t, uint32_t>> pairs;  // comparison path
};

// Below this many keys the floor orders by comparison sort.
constexpr std::size_t kFloorRadixMinimum = 1024;

// N CVs laid out as the benchmark scenes lay them out (guide curves of ten
// CVs, in curve order, the last one cut short when N is not a multiple of
// ten), N colours, and the default camera point.
FloorInput makeFloorInput(std::size_t n);

// The order-preserving key of a distance: ascending keys are descending
// distances; every NaN maps to 0 (first).
uint64_t floorKey(double distance);

// Orders keys[0, n) ascending, ties in index order, into out.order (the
// radix path at kFloorRadixMinimum keys or more, unless forceRadix).
void floorOrder(const std::vector<uint64_t>& keys, FloorOutput& out, bool forceRadix = false);

// One frame's floor work. Reuses the output's storage from the previous call.
void runFloor(const FloorInput& in, FloorOutput& out);
void runFloorComparisonSort(const FloorInput& in, FloorOutput& out);

}  // namespace knotlens_bench
