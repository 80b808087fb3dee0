#include "overlay/curve_lines.h"

#include <maya/MColorArray.h>
#include <maya/MPointArray.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <vector>

#include "overlay/point_colors.h"

void buildCurveLines(UserData& data, const MPoint& cameraPoint, bool useCurveDistanceColor,
                     float distanceColorMin, float rampTop) {
    // Distances, and their range over the finite ones: a sample at a
    // non-finite position must not spoil the normalisation of the others.
    double dmin = std::numeric_limits<double>::infinity();
    double dmax = -std::numeric_limits<double>::infinity();
    for (CurveSample& sample : data.curveSamples) {
        sample.cameraDistance = sample.position.distanceTo(cameraPoint);
        if (std::isfinite(sample.cameraDistance)) {
            dmin = sample.cameraDistance < dmin ? sample.cameraDistance : dmin;
            dmax = sample.cameraDistance > dmax ? sample.cameraDistance : dmax;
        }
    }

    if (useCurveDistanceColor) {
        for (CurveSample& sample : data.curveSamples) {
            sample.color *= curveSampleFactor(sample.cameraDistance, dmin, dmax, distanceColorMin, rampTop);
        }
    }

    // Group by curve (ascending index), keeping evaluation order within a curve.
    std::map<uint32_t, std::vector<const CurveSample*>> samplesByCurve;
    for (const CurveSample& sample : data.curveSamples) {
        samplesByCurve[sample.curveIndex].push_back(&sample);
    }

    MPointArray points;
    MColorArray colors;
    for (const auto& group : samplesByCurve) {
        const std::vector<const CurveSample*>& samples = group.second;
        for (std::size_t j = 1; j < samples.size(); ++j) {
            points.append(samples[j - 1]->position);
            points.append(samples[j]->position);
            colors.append(samples[j - 1]->color);
            colors.append(samples[j]->color);
        }
    }
    data.curveLinePoints.push_back(points);
    data.curveLineColors.push_back(colors);
}
