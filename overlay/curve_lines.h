#pragma once
// The curve overlay of one frame.
#include <maya/MPoint.h>

#include "overlay/user_data.h"

// Sets every curve sample's camera distance, applies the distance ramp to the
// sample colours when asked (nearest sample rampTop, farthest the floor,
// normalised over all samples of the frame), then appends one segment list
// for all curves to curveLinePoints / curveLineColors: consecutive samples of
// each curve, curves in ascending curve index.
void buildCurveLines(UserData& data, const MPoint& cameraPoint, bool useCurveDistanceColor,
                     float distanceColorMin, float rampTop);
