#include "overlay/user_data.h"

#include "overlay/segment_lists.h"

UserData::~UserData() = default;

void UserData::reset() {
    cvRecords.clear();
    // A frame that made the curve overlay leaves its samples with its lists.
    if (!curveLinePoints.empty()) {
        spareCurveSamples.swap(curveSamples);
    }
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
