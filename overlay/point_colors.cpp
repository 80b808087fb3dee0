#include "overlay/point_colors.h"

#include "overlay/setting_guards.h"

#include <cmath>
#include <cstddef>

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
