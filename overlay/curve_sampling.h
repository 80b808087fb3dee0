#pragma once
// Sampling of one NURBS curve per frame, with the per-curve caches of the
// draw override.
#include <maya/MFnNurbsCurve.h>
#include <maya/MPointArray.h>

#include <cstdint>
#include <string>
#include <vector>

#include "overlay/curve_sample.h"
#include "overlay/draw_override.h"
#include "overlay/user_data.h"

// Division counts outside this range (reachable through a connection that
// bypasses the attribute's range) are clamped for sampling, so a zero,
// negative or huge value can neither hang the sampling nor exhaust memory.
constexpr int32_t kMinCurveDivisions = 2;
constexpr int32_t kMaxCurveDivisions = 64;

// The divisions per span used for sampling: `curveDivisions` clamped to
// kMinCurveDivisions..kMaxCurveDivisions.
int32_t samplingDivisions(int32_t curveDivisions);

// Reads the curve's CVs in world space into `cvPositions` and, with the
// curve overlay on, appends its samples to `samples` (what sampleCurve
// returns, without a vector of its own). `pathName` is the shape's full path
// name, the key of the override's caches.
void sampleCurveInto(DrawOverride& drawOverride, MFnNurbsCurve& curve, const char* pathName,
                     const UserData& data, uint32_t curveIndex, MPointArray& cvPositions,
                     std::vector<CurveSample>& samples);

// Reads the curve's CVs in world space and, with the curve overlay on, returns
// its samples: numSpans x divisions evenly spaced parameters from the start
// of the knot domain and a last sample 1e-5 short of its end (at most
// numSpans x divisions + 2 samples). Samples are reused from the override's
// caches while the curve's CVs and the division count are unchanged; a change
// of the division count re-evaluates every curve. Samples always carry the
// record's current curveColor.
CurveGeometry sampleCurve(DrawOverride& drawOverride, MFnNurbsCurve& curve, const std::string& pathName,
                          const UserData& data, uint32_t curveIndex);
