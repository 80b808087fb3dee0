#pragma once
// One CV of a tracked curve in one frame: the unit that is depth-sorted,
// occlusion-tested and coloured, and from which CV points, first-CV markers
// and hull vertices are made.
#include <maya/MPoint.h>

#include <cstdint>

struct CvRecord {
    uint32_t curveIndex = 0;      // running number of the curve in the frame's selection walk
    uint32_t cvIndex = 0;         // index of the CV in the curve's CV array
    MPoint position;              // world-space position of the CV
    bool selected = false;        // named by the selection item's CV component
    float weight = 1.0f;          // soft-selection influence, 1 without weights
    float rampPosition = 1.0f;    // rank in depth order as a fraction, 1 when no ramp applies
    float alphaScale = 1.0f;      // factor on the alpha of the CV's colours; 0 when occluded
    double cameraDistance = 0.0;  // distance of position from the frame's camera point
};
