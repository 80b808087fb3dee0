#include "overlay/curve_overlay.h"

#include <cstddef>

#include "overlay/bit_equality.h"
#include "overlay/curve_lines.h"

namespace {

bool sameCurves(const std::vector<CurveLineSource::Curve>& kept, const std::vector<SampledCurve>& curves) {
    if (kept.size() != curves.size()) {
        return false;
    }
    for (std::size_t i = 0; i < curves.size(); ++i) {
        if (kept[i].curveIndex != curves[i].curveIndex || kept[i].generation != curves[i].entry->generation) {
            return false;
        }
    }
    return true;
}

// The kept overlay has the colours this frame would give it.
bool sameColors(const CurveLineSource& kept, const MPoint& cameraPoint, const FrameSettings& settings) {
    if (!sameColor(kept.color, settings.curveColor) || kept.distanceColor != settings.useCurveDistanceColor) {
        return false;
    }
    return !settings.useCurveDistanceColor ||
           (sameBits(kept.distanceColorMin, settings.distanceColorMin) &&
            sameBits(kept.rampTop, settings.rampTop) && samePoint(kept.cameraPoint, cameraPoint));
}

void remember(CurveLineSource& kept, const std::vector<SampledCurve>& curves, const MPoint& cameraPoint,
              const FrameSettings& settings) {
    kept.curves.resize(curves.size());
    for (std::size_t i = 0; i < curves.size(); ++i) {
        kept.curves[i].curveIndex = curves[i].curveIndex;
        kept.curves[i].generation = curves[i].entry->generation;
    }
    kept.color = settings.curveColor;
    kept.distanceColor = settings.useCurveDistanceColor;
    kept.distanceColorMin = settings.distanceColorMin;
    kept.rampTop = settings.rampTop;
    kept.cameraPoint = cameraPoint;
    kept.valid = true;
}

}  // namespace

void buildCurveOverlay(const std::vector<SampledCurve>& curves, const MPoint& cameraPoint,
                       const FrameSettings& settings, UserData& data) {
    CurveLineSource& kept = data.spareCurveSource;
    const bool haveKept = kept.valid && data.spareCurvePoints.size() == 1 &&
                          data.spareCurveColors.size() == 1 && data.curveLinePoints.empty() &&
                          data.curveLineColors.empty() && data.curveSamples.empty();
    if (haveKept && sameCurves(kept.curves, curves) && sameColors(kept, cameraPoint, settings)) {
        data.curveLinePoints.swap(data.spareCurvePoints);
        data.curveLineColors.swap(data.spareCurveColors);
        data.curveSamples.swap(data.spareCurveSamples);
        // With the ramp off the camera point reaches only the distances.
        if (!samePoint(kept.cameraPoint, cameraPoint)) {
            for (CurveSample& sample : data.curveSamples) {
                sample.cameraDistance = sample.position.distanceTo(cameraPoint);
            }
            kept.cameraPoint = cameraPoint;
        }
        return;
    }

    // A fresh build, into the kept samples' storage (their contents are
    // stale now) and the kept lists' arrays.
    data.curveSamples.swap(data.spareCurveSamples);
    data.curveSamples.clear();
    for (const SampledCurve& curve : curves) {
        appendCachedSamples(*curve.entry, curve.curveIndex, settings.curveColor, data.curveSamples);
    }
    buildCurveLines(data.curveSamples, cameraPoint, settings, data.curveLinePoints, data.curveLineColors,
                    &data.spareCurvePoints, &data.spareCurveColors);
    remember(kept, curves, cameraPoint, settings);
}
