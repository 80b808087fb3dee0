#include "overlay/point_colors.h"

#include "overlay/setting_guards.h"

#include <cmath>
#include <cstddef>

float rampClamp(float value, float distanceColorMin) {
    if (!std::isfinite(value)) {
        return distanceColorMin;
    }
    return distanceColorMin > value ? distanceColorMin : value;
}

float rampTop(float distanceColorMin, float distanceColorMax) {
    return distanceColorMin > distanceColorMax ? distanceColorMin : distanceColorMax;
}

bool rampPositionsByRank(bool softSelectionActive, bool anyRampOn) {
    return !softSelectionActive && anyRampOn;
}

void assignRampPositions(std::vector<CvRecord>& cvRecords, bool softSelectionActive, bool anyRampOn) {
    if (!rampPositionsByRank(softSelectionActive, anyRampOn)) {
        return;
    }
    const float count = static_cast<float>(cvRecords.size());
    for (std::size_t i = 0; i < cvRecords.size(); ++i) {
        cvRecords[i].rampPosition = static_cast<float>(i) / count;
    }
}

MColor pointColor(const CvRecord& record, const UserData& data, const RampSettings& ramp) {
    MColor color;
    if (record.selected) {
        const float weight = colorWeight(record.weight);
        const float value =
            ramp.enabled ? record.rampPosition * weight * ramp.rampTop : ramp.rampTop * weight;
        color = data.selectedPointColor * rampClamp(value, ramp.distanceColorMin);
    } else {
        color = data.deselectedPointColor;
        if (ramp.enabled) {
            color *= rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
        }
    }
    color.a *= record.alphaScale;
    return color;
}

MColor markerColor(const CvRecord& record, const UserData& data, const RampSettings& ramp) {
    const MColor& base = record.selected ? data.selectedPointColor : data.deselectedPointColor;
    MColor color = base;
    if (ramp.enabled) {
        color = base * rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
    }
    color.a *= record.alphaScale;
    return color;
}

MColor hullVertexColor(const CvRecord& record, const UserData& data, const RampSettings& ramp) {
    MColor color;
    if (record.selected) {
        const float weight = colorWeight(record.weight);
        const float value =
            ramp.enabled ? record.rampPosition * weight * ramp.rampTop : ramp.rampTop * weight;
        color = data.selectedPointColor * rampClamp(value, ramp.distanceColorMin);
    } else {
        color = data.hullColor;
        if (ramp.enabled) {
            color *= rampClamp(ramp.rampTop * record.rampPosition, ramp.distanceColorMin);
        }
    }
    // Selected or not, a hull vertex has the hull's transparency.
    color.a = record.alphaScale * data.hullColor.a;
    return color;
}

float curveSampleFactor(double distance, double dmin, double dmax, float distanceColorMin, float rampTop) {
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
