#include "overlay/user_data.h"

#include "overlay/segment_lists.h"

UserData::~UserData() = default;

void UserData::reset() {
    cvRecords.clear();
    keepLists(curveLinePoints, spareCurvePoints);
    keepLists(curveLineColors, spareCurveColors);
    cvPoints.clear();
    cvColors.clear();
    curveSamples.clear();
    keepLists(hullLinePoints, spareHullPoints);
    keepLists(hullLineColors, spareHullColors);
    markerPoints.clear();
    markerColors.clear();
}
