#pragma once
// Evaluation of one NURBS curve into evenly spaced samples.
#include <maya/MColor.h>
#include <maya/MFnNurbsCurve.h>

#include <cstdint>
#include <vector>

#include "overlay/curve_sample.h"

// Appends the curve's samples to `samples`: numSpans x divisions evenly
// spaced parameters from the start of the knot domain (the step accumulated,
// so rounding may add one sample near the end) and a last sample 1e-5 short
// of its end, each with `color` and its running sample index. A curve whose
// domain is empty or reversed gives none.
void appendCurveSamples(MFnNurbsCurve& curve, uint32_t curveIndex, int32_t divisions, const MColor& color,
                        std::vector<CurveSample>& samples);
