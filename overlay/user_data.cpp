#include "overlay/user_data.h"

UserData::~UserData() = default;

void UserData::reset() {
    cvRecords.clear();
    curveLinePoints.clear();
    curveLineColors.clear();
    cvPoints.clear();
    cvColors.clear();
    curveSamples.clear();
    hullLinePoints.clear();
    hullLineColors.clear();
    markerPoints.clear();
    markerColors.clear();
}
