#include "overlay/curve_lines.h"

#include <maya/MColorArray.h>
#include <maya/MPointArray.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "overlay/colour_rules.h"
#include "overlay/segment_lists.h"

void buildCurveLines(std::vector<CurveSample>& samples, const MPoint& cameraPoint,
                     const FrameSettings& settings, std::vector<MPointArray>& points,
                     std::vector<MColorArray>& colors, std::vector<MPointArray>* sparePoints,
                     std::vector<MColorArray>* spareColors) {
    // Distances, and their range over the finite ones: a sample at a
    // non-finite position must not spoil the normalisation of the others.
    double dmin = std::numeric_limits<double>::infinity();
    double dmax = -std::numeric_limits<double>::infinity();
    for (CurveSample& sample : samples) {
        sample.cameraDistance = sample.position.distanceTo(cameraPoint);
        if (std::isfinite(sample.cameraDistance)) {
            dmin = sample.cameraDistance < dmin ? sample.cameraDistance : dmin;
            dmax = sample.cameraDistance > dmax ? sample.cameraDistance : dmax;
        }
    }

    if (settings.useCurveDistanceColor) {
        for (CurveSample& sample : samples) {
            sample.color *= curveSampleFactor(sample.cameraDistance, dmin, dmax, settings.distanceColorMin,
                                              settings.rampTop);
        }
    }

    // Consecutive samples of each curve, curves in ascending index, evaluation
    // order kept within a curve. The frame's walk appends curves in index
    // order, so the samples usually need no regrouping; otherwise a stable
    // sort by curve index groups them the same way.
    const std::vector<CurveSample>& all = samples;
    bool grouped = true;
    for (std::size_t i = 1; i < all.size() && grouped; ++i) {
        grouped = all[i - 1].curveIndex <= all[i].curveIndex;
    }
    std::vector<uint32_t> order;
    if (!grouped) {
        order.resize(all.size());
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = static_cast<uint32_t>(i);
        }
        std::stable_sort(order.begin(), order.end(),
                         [&all](uint32_t a, uint32_t b) { return all[a].curveIndex < all[b].curveIndex; });
    }
    auto sampleAt = [&](std::size_t i) -> const CurveSample& { return grouped ? all[i] : all[order[i]]; };

    takeListPairs(points, colors, sparePoints, spareColors, 1);
    MPointArray& linePoints = points.back();
    MColorArray& lineColors = colors.back();
    std::size_t segments = 0;
    for (std::size_t i = 1; i < all.size(); ++i) {
        segments += sampleAt(i - 1).curveIndex == sampleAt(i).curveIndex ? 1 : 0;
    }
    linePoints.setLength(static_cast<unsigned int>(2 * segments));
    lineColors.setLength(static_cast<unsigned int>(2 * segments));
    unsigned int out = 0;
    for (std::size_t i = 1; i < all.size(); ++i) {
        const CurveSample& previous = sampleAt(i - 1);
        const CurveSample& current = sampleAt(i);
        if (previous.curveIndex != current.curveIndex) {
            continue;
        }
        linePoints[out] = previous.position;
        lineColors[out] = previous.color;
        linePoints[out + 1] = current.position;
        lineColors[out + 1] = current.color;
        out += 2;
    }
}
