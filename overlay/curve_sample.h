#pragma once
// Evaluated points of a curve, and what sampling one curve returns.
#include <maya/MColor.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>

#include <cstdint>
#include <vector>

struct CurveSample {
    uint32_t curveIndex = 0;      // running number of the curve within the frame
    MPoint position;              // world-space point on the curve
    MColor color;                 // vertex colour: curveColor, possibly distance-scaled
    int32_t sampleIndex = 0;      // 0-based number along the curve, in evaluation order
    double cameraDistance = 0.0;  // distance from the frame's camera point
};

struct CurveGeometry {
    MPointArray cvPositions;           // the curve's CVs in world space, CV index order
    std::vector<CurveSample> samples;  // empty when the curve overlay is off
};
