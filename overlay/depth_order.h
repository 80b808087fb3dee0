#pragma once
// Depth ordering of a frame's CV records: farthest from the camera first.
#include <vector>

#include "overlay/cv_record.h"

// True when `a` is drawn before `b`: a larger cameraDistance first. A NaN
// distance (a CV at a non-finite position) counts as the farthest of all, and
// NaNs are equivalent among themselves, so this is a strict weak ordering.
bool drawnBefore(const CvRecord& a, const CvRecord& b);

// Sorts the records in place by drawnBefore (unstable: equal distances end
// in an unspecified relative order).
void sortByDepth(std::vector<CvRecord>& cvRecords);
