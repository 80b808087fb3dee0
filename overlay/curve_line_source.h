#pragma once
// What one frame's curve overlay was made from. The overlay is a function of
// these inputs alone, so a frame whose inputs are the same can take the
// previous frame's finished lists instead of building them again.
#include <maya/MColor.h>
#include <maya/MPoint.h>

#include <cstdint>
#include <vector>

struct CurveLineSource {
    // One drawn curve: its number in the walk and the generation of the
    // cached evaluation its samples came from.
    struct Curve {
        uint32_t curveIndex = 0;
        uint64_t generation = 0;
    };
    bool valid = false;          // the fields below describe kept lists
    std::vector<Curve> curves;   // the drawn curves, in walk order
    MColor color;                // curveColor given to every sample
    bool distanceColor = false;  // useCurveDistanceColor
    float distanceColorMin = 0;  // ramp floor, when distanceColor
    float rampTop = 0;           // ramp top, when distanceColor
    MPoint cameraPoint;          // the point the sample distances were measured from
};
