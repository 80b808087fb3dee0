#include "overlay/curve_sampling.h"

#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MTypes.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Cached samples made from `cachedCvs` are valid for `cvs`: same CV count and
// every CV within 1e-10 of where it was.
bool cachedCvsMatch(const MPointArray& cachedCvs, const MPointArray& cvs) {
    if (cachedCvs.length() != cvs.length()) {
        return false;
    }
    for (unsigned int i = 0; i < cvs.length(); ++i) {
        if (!cvs[i].isEquivalent(cachedCvs[i], 1e-10)) {
            return false;
        }
    }
    return true;
}

// Appends to `samples` the curve evaluated at `steps` evenly spaced
// parameters over its knot domain (accumulating the step, so rounding may add
// one sample near the end) and once 1e-5 short of the domain's end.
void evaluateCurve(MFnNurbsCurve& curve, uint32_t curveIndex, int64_t steps, const MColor& color,
                   std::vector<CurveSample>& samples) {
    double start = 0.0;
    double end = 0.0;
    curve.getKnotDomain(start, end);
    if (!(end > start)) {
        return;
    }
    const double step = (end - start) / static_cast<double>(steps);
    // n step samples plus one when rounding leaves t just below the end; the
    // cap also ends the loop when the step vanishes against t.
    const int64_t maxStepSamples = steps + 1;
    samples.reserve(samples.size() + static_cast<std::size_t>(maxStepSamples) + 1);

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

void sampleCurveInto(DrawOverride& drawOverride, MFnNurbsCurve& curve, const char* pathName,
                     const UserData& data, uint32_t curveIndex, MPointArray& cvPositions,
                     std::vector<CurveSample>& samples) {
    curve.getCVs(cvPositions, MSpace::kWorld);
    if (!data.showCurve) {
        return;
    }

    // Samples made with another division count are stale for every curve,
    // not only for the first one sampled after the change.
    const int32_t divisions = samplingDivisions(data.curveDivisions);
    if (divisions != drawOverride.cachedCurveDivisions) {
        drawOverride.cvPositionCache.clear();
        drawOverride.curveSampleCache.clear();
        drawOverride.cachedCurveDivisions = divisions;
    }

    std::string& key = drawOverride.cacheKey;
    key.assign(pathName);
    const auto cachedCvs = drawOverride.cvPositionCache.find(key);
    const auto cachedSamples = drawOverride.curveSampleCache.find(key);
    if (cachedCvs != drawOverride.cvPositionCache.end() &&
        cachedSamples != drawOverride.curveSampleCache.end() &&
        cachedCvsMatch(cachedCvs->second, cvPositions)) {
        const std::vector<CurveSample>& cached = cachedSamples->second;
        // A cached sample takes the current colour, so a colour change
        // reaches every curve at once, and the curve's current number in the
        // walk, so samples of two curves never share a segment group (another
        // node's override may have consumed the selection change that would
        // have emptied these caches).
        const std::size_t first = samples.size();
        samples.insert(samples.end(), cached.begin(), cached.end());
        for (std::size_t i = first; i < samples.size(); ++i) {
            samples[i].color = data.curveColor;
            samples[i].curveIndex = curveIndex;
        }
        return;
    }

    if (cachedCvs != drawOverride.cvPositionCache.end()) {
        cachedCvs->second = cvPositions;
    } else {
        drawOverride.cvPositionCache.emplace(key, cvPositions);
    }
    const int64_t steps = static_cast<int64_t>(curve.numSpans()) * divisions;
    std::vector<CurveSample>& fresh = cachedSamples != drawOverride.curveSampleCache.end()
                                          ? cachedSamples->second
                                          : drawOverride.curveSampleCache[key];
    fresh.clear();
    evaluateCurve(curve, curveIndex, steps, data.curveColor, fresh);
    samples.insert(samples.end(), fresh.begin(), fresh.end());
}

CurveGeometry sampleCurve(DrawOverride& drawOverride, MFnNurbsCurve& curve, const std::string& pathName,
                          const UserData& data, uint32_t curveIndex) {
    CurveGeometry geometry;
    sampleCurveInto(drawOverride, curve, pathName.c_str(), data, curveIndex, geometry.cvPositions,
                    geometry.samples);
    return geometry;
}
