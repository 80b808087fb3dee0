#pragma once
// One evaluated point of a curve.
#include <maya/MColor.h>
#include <maya/MPoint.h>

#include <cstdint>

struct CurveSample {
    uint32_t curveIndex = 0;      // running number of the curve within the frame
    MPoint position;              // world-space point on the curve
    MColor color;                 // vertex colour: curveColor, possibly distance-scaled
    int32_t sampleIndex = 0;      // 0-based number along the curve, in evaluation order
    double cameraDistance = 0.0;  // distance from the frame's camera point
};
