#pragma once
// The colour rules of the overlay: the depth ramp (clamp, top, positions by
// rank), the soft-selection weight guard, and the colours of CV points,
// first-CV markers, hull vertices and curve samples. Products of several
// factors are formed left to right in single precision; colours are scaled
// with the host's scalar product, which scales r, g, b. The rules applied
// once per CV are inline, so the loops over every CV compile them in place.
#include <maya/MColor.h>

#include <cmath>

#include "overlay/cv_record.h"
#include "overlay/frame_settings.h"

// The factor a ramp value turns into: the floor distanceColorMin when it is
// above the value, else the value; no upper clamp. A value that is not finite
// (from a non-finite weight or distance) gets the floor, so no NaN or
// infinity reaches a colour.
inline float rampClamp(float value, float distanceColorMin) {
    if (!std::isfinite(value)) {
        return distanceColorMin;
    }
    return distanceColorMin > value ? distanceColorMin : value;
}

// The top of the ramp: the larger of distanceColorMin and distanceColorMax
// (distanceColorMin when it is the larger).
inline float rampTop(float distanceColorMin, float distanceColorMax) {
    return distanceColorMin > distanceColorMax ? distanceColorMin : distanceColorMax;
}

// Whether CV records take ramp positions by depth rank (the record at
// position i of N, farthest first, gets i / N): without a soft selection and
// with any ramp switch on. Otherwise every position stays 1.
inline bool rampPositionsByRank(bool softSelection, const FrameSettings& settings) {
    return !softSelection &&
           (settings.useCVDistanceColor || settings.useHullDistanceColor || settings.useCurveDistanceColor);
}

// A soft-selection weight as the colour rules use it: within 0..1, 0 when not
// finite (which the ramp then lifts to the floor).
inline float colorWeight(float weight) {
    if (!std::isfinite(weight) || weight <= 0.0f) {
        return 0.0f;
    }
    return weight > 1.0f ? 1.0f : weight;
}

// The ramp of one kind of element in one frame.
struct RampSettings {
    bool enabled = false;            // the ramp switch of the element being coloured
    float distanceColorMin = 0.25f;  // floor of every ramp factor
    float rampTop = 1.0f;            // top of the ramp
};

// The ramp of CV points and markers.
inline RampSettings cvRamp(const FrameSettings& settings) {
    return {settings.useCVDistanceColor, settings.distanceColorMin, settings.rampTop};
}

// The ramp of hull vertices.
inline RampSettings hullRamp(const FrameSettings& settings) {
    return {settings.useHullDistanceColor, settings.distanceColorMin, settings.rampTop};
}

// The colour rule CV points and hull vertices share, before their alpha
// rules: a selected CV takes the selected point colour scaled by its weight
// (and by its ramp position when the ramp is on); any other CV takes
// `unselected`, scaled by its ramp position when the ramp is on.
inline MColor rampedColor(const CvRecord& record, const MColor& selected, const MColor& unselected,
                          const RampSettings& ramp) {
    MColor color;
    if (record.selected) {
        const float weight = colorWeight(record.weight);
        const float value =
            ramp.enabled ? record.rampPosition * weight * ramp.rampTop : ramp.rampTop * weight;
        color = selected * rampClamp(value, ramp.distanceColorMin);
    } else {
        color = unselected;
        if (ramp.enabled) {
            color *= rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
        }
    }
    return color;
}

// Colour of a CV point, alpha multiplied by the record's alphaScale.
inline MColor pointColor(const CvRecord& record, const FrameSettings& settings, const RampSettings& ramp) {
    MColor color = rampedColor(record, settings.selectedPointColor, settings.deselectedPointColor, ramp);
    color.a *= record.alphaScale;
    return color;
}

// Colour of the marker of a curve's first CV, alpha multiplied by alphaScale.
// The soft-selection weight plays no part.
inline MColor markerColor(const CvRecord& record, const FrameSettings& settings, const RampSettings& ramp) {
    const MColor& base = record.selected ? settings.selectedPointColor : settings.deselectedPointColor;
    MColor color = base;
    if (ramp.enabled) {
        color = base * rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
    }
    color.a *= record.alphaScale;
    return color;
}

// Colour of a hull vertex: the selected point colour for selected CVs, the
// hull colour otherwise, always at the hull's alpha times alphaScale.
inline MColor hullVertexColor(const CvRecord& record, const FrameSettings& settings,
                              const RampSettings& ramp) {
    MColor color = rampedColor(record, settings.selectedPointColor, settings.hullColor, ramp);
    color.a = record.alphaScale * settings.hullColor.a;
    return color;
}

// Distance ramp factor of a curve sample at `distance`, with dmin and dmax
// the least and greatest finite sample distances of the frame. All samples at
// one distance give rampTop; a non-finite distance gives the floor.
inline float curveSampleFactor(double distance, double dmin, double dmax, float distanceColorMin,
                               float rampTop) {
    if (!std::isfinite(distance)) {
        return distanceColorMin;
    }
    if (dmax == dmin) {
        return rampClamp(rampTop, distanceColorMin);
    }
    const double t = (distance - dmin) / (dmax - dmin);
    const float value = static_cast<float>(1.0 - t) * rampTop;
    return rampClamp(value, distanceColorMin);
}
