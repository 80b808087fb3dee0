#pragma once
// The floor of a frame: the least any overlay must do each frame for N CVs,
// namely copy N positions and N colours into the host's output arrays and
// order N camera distances farthest first. Frame benchmarks are quoted as a
// ratio to this floor for the same N.
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <cstddef>
#include <vector>

namespace knotlens_bench {

struct FloorInput {
    std::vector<MPoint> points;
    std::vector<MColor> colors;
    std::vector<double> distances;  // in no particular order
};

struct FloorOutput {
    MPointArray points;
    MColorArray colors;
    std::vector<double> distances;  // descending after runFloor
};

// N CVs laid out as the benchmark scenes lay them out (guide curves of ten
// CVs, in curve order), N colours, and the CVs' distances from the default
// camera point in that order, which is the order a frame meets them in.
FloorInput makeFloorInput(std::size_t n);

// One frame's floor work. Reuses the output's storage from the previous call.
void runFloor(const FloorInput& in, FloorOutput& out);

}  // namespace knotlens_bench
