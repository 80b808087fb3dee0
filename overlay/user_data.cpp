#include "overlay/user_data.h"

namespace {

// Empties `lists`, handing its arrays to `spare` when that holds none.
template <class Array>
void recycle(std::vector<Array>& lists, std::vector<Array>& spare) {
    if (spare.empty()) {
        spare.swap(lists);
    }
    lists.clear();
}

}  // namespace

UserData::~UserData() = default;

void UserData::reset() {
    cvRecords.clear();
    recycle(curveLinePoints, spareCurvePoints);
    recycle(curveLineColors, spareCurveColors);
    cvPoints.clear();
    cvColors.clear();
    curveSamples.clear();
    recycle(hullLinePoints, spareHullPoints);
    recycle(hullLineColors, spareHullColors);
    markerPoints.clear();
    markerColors.clear();
}
