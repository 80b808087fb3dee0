#pragma once
// Colour rules of the overlay: the depth ramp (ramp positions, clamp and
// top), and the colours of CV points, first-CV markers and hull vertices.
// Products of several factors are formed left to right in single precision;
// colours are scaled with the host's scalar product, which scales r, g, b.
#include <maya/MColor.h>

#include <cmath>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/setting_guards.h"
#include "overlay/user_data.h"

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
float rampTop(float distanceColorMin, float distanceColorMax);

// Ramp positions by rank: without a soft selection and with any ramp switch
// on, the record at position i of N (in the records' current order, farthest
// first) gets i / N; otherwise every position stays as made (1.0).
void assignRampPositions(std::vector<CvRecord>& cvRecords, bool softSelectionActive, bool anyRampOn);
// Whether ramp positions go by rank (the condition assignRampPositions applies).
bool rampPositionsByRank(bool softSelectionActive, bool anyRampOn);

// The ramp settings of one frame, as read from the node's plugs.
struct RampSettings {
    bool enabled = false;            // the ramp switch of the element being coloured
    float distanceColorMin = 0.25f;  // floor of every ramp factor
    float rampTop = 1.0f;            // top of the ramp
};

// The colour rule CV points and hull vertices share, before their alpha
// rules: a selected CV takes the selected point colour scaled by its weight
// (and by its ramp position when the ramp is on); any other CV takes
// `unselected`, scaled by its ramp position when the ramp is on.
// (Defined here, like the other rules applied once per CV, so that the loops
// over every CV of a frame compile them inline.)
inline MColor rampedColor(const CvRecord& record, const UserData& data, const MColor& unselected,
                          const RampSettings& ramp) {
    MColor color;
    if (record.selected) {
        const float weight = colorWeight(record.weight);
        const float value =
            ramp.enabled ? record.rampPosition * weight * ramp.rampTop : ramp.rampTop * weight;
        color = data.selectedPointColor * rampClamp(value, ramp.distanceColorMin);
    } else {
        color = unselected;
        if (ramp.enabled) {
            color *= rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
        }
    }
    return color;
}

// Colour of a CV point, alpha multiplied by the record's alphaScale.
inline MColor pointColor(const CvRecord& record, const UserData& data, const RampSettings& ramp) {
    MColor color = rampedColor(record, data, data.deselectedPointColor, ramp);
    color.a *= record.alphaScale;
    return color;
}

// Colour of the marker of a curve's first CV, alpha multiplied by alphaScale.
// The soft-selection weight plays no part.
inline MColor markerColor(const CvRecord& record, const UserData& data, const RampSettings& ramp) {
    const MColor& base = record.selected ? data.selectedPointColor : data.deselectedPointColor;
    MColor color = base;
    if (ramp.enabled) {
        color = base * rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
    }
    color.a *= record.alphaScale;
    return color;
}
// Colour of a hull vertex: the selected point colour for selected CVs, the
// hull colour otherwise, always at the hull's alpha times alphaScale.
MColor hullVertexColor(const CvRecord& record, const UserData& data, const RampSettings& ramp);

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
