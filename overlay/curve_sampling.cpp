#include "overlay/curve_sampling.h"

#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MTypes.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// The cached samples of `pathName` are valid for `cvs`: same CV count and
// every CV within 1e-10 of where it was.
bool cachedCvsMatch(const DrawOverride& drawOverride, const std::string& pathName, const MPointArray& cvs) {
    const auto entry = drawOverride.cvPositionCache.find(pathName);
    if (entry == drawOverride.cvPositionCache.end() || entry->second.length() != cvs.length()) {
        return false;
    }
    for (unsigned int i = 0; i < cvs.length(); ++i) {
        if (!cvs[i].isEquivalent(entry->second[i], 1e-10)) {
            return false;
        }
    }
    return true;
}

// Evaluates the curve at `steps` evenly spaced parameters over its knot
// domain (accumulating the step, so rounding may add one sample near the end)
// and once 1e-5 short of the domain's end.
std::vector<CurveSample> evaluateCurve(MFnNurbsCurve& curve, uint32_t curveIndex, int64_t steps,
                                       const MColor& color) {
    std::vector<CurveSample> samples;
    double start = 0.0;
    double end = 0.0;
    curve.getKnotDomain(start, end);
    if (!(end > start)) {
        return samples;
    }
    const double step = (end - start) / static_cast<double>(steps);
    // n step samples plus one when rounding leaves t just below the end; the
    // cap also ends the loop when the step vanishes against t.
    const int64_t maxStepSamples = steps + 1;

    auto appendSample = [&](double param, int32_t index) {
        MPoint point(0.0, 0.0, 0.0, 1.0);
        curve.getPointAtParam(param, point, MSpace::kWorld);
        CurveSample sample;
        sample.curveIndex = curveIndex;
        sample.position = point;
        sample.color = color;
        sample.sampleIndex = index;
        sample.cameraDistance = 0.0;
        samples.push_back(sample);
    };

    double t = start;
    int32_t i = 0;
    while (true) {
        appendSample(t, i);
        t += step;
        ++i;
        if (t >= end || i >= maxStepSamples) {
            appendSample(end - 1e-5, i);
            break;
        }
    }
    return samples;
}

}  // namespace

int32_t samplingDivisions(int32_t curveDivisions) {
    if (curveDivisions < kMinCurveDivisions) {
        return kMinCurveDivisions;
    }
    if (curveDivisions > kMaxCurveDivisions) {
        return kMaxCurveDivisions;
    }
    return curveDivisions;
}

CurveGeometry sampleCurve(DrawOverride& drawOverride, MFnNurbsCurve& curve, const std::string& pathName,
                          const UserData& data, uint32_t curveIndex) {
    CurveGeometry geometry;
    curve.getCVs(geometry.cvPositions, MSpace::kWorld);
    if (!data.showCurve) {
        return geometry;
    }

    // Samples made with another division count are stale for every curve,
    // not only for the first one sampled after the change.
    const int32_t divisions = samplingDivisions(data.curveDivisions);
    if (divisions != drawOverride.cachedCurveDivisions) {
        drawOverride.cvPositionCache.clear();
        drawOverride.curveSampleCache.clear();
        drawOverride.cachedCurveDivisions = divisions;
    }

    if (cachedCvsMatch(drawOverride, pathName, geometry.cvPositions)) {
        geometry.samples = drawOverride.curveSampleCache[pathName];
        // A cached sample takes the current colour, so a colour change
        // reaches every curve at once, and the curve's current number in the
        // walk, so samples of two curves never share a segment group (another
        // node's override may have consumed the selection change that would
        // have emptied these caches).
        for (CurveSample& sample : geometry.samples) {
            sample.color = data.curveColor;
            sample.curveIndex = curveIndex;
        }
        return geometry;
    }

    drawOverride.cvPositionCache[pathName] = geometry.cvPositions;
    const int64_t steps = static_cast<int64_t>(curve.numSpans()) * divisions;
    std::vector<CurveSample> samples = evaluateCurve(curve, curveIndex, steps, data.curveColor);
    drawOverride.curveSampleCache[pathName] = samples;
    geometry.samples = std::move(samples);
    return geometry;
}
