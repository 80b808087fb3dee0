#pragma once
// The hull overlay of one frame.
#include "overlay/user_data.h"

// Colours every CV record as a hull vertex and appends one segment list per
// curve index from 0 to the largest one present (an index without records
// gets an empty pair) to hullLinePoints / hullLineColors: segments between
// consecutive CVs in CV index order, never closed.
void buildHullLines(UserData& data, bool useHullDistanceColor, float distanceColorMin, float rampTop);
