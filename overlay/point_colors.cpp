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
    MColor color = rampedColor(record, data, data.hullColor, ramp);
    // Selected or not, a hull vertex has the hull's transparency.
    color.a = record.alphaScale * data.hullColor.a;
    return color;
}
