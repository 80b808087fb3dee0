#include "overlay/curve_sampling.h"

#include <maya/MPoint.h>
#include <maya/MTypes.h>

#include <cstddef>

void appendCurveSamples(MFnNurbsCurve& curve, uint32_t curveIndex, int32_t divisions, const MColor& color,
                        std::vector<CurveSample>& samples) {
    const int64_t steps = static_cast<int64_t>(curve.numSpans()) * divisions;
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
