#pragma once
// The depth order as the tests state it: a comparison of two records, and
// the frame's key order applied to a whole record array.
#include <cmath>
#include <cstddef>
#include <vector>

#include "overlay/cv_record.h"
#include "overlay/depth_order.h"

namespace knotlens_test {

// True when `a` is drawn before `b`: a larger cameraDistance first. A NaN
// distance (a CV at a non-finite position) counts as the farthest of all, and
// NaNs are equivalent among themselves, so this is a strict weak ordering.
inline bool drawnBefore(const CvRecord& a, const CvRecord& b) {
    const bool aIsNan = std::isnan(a.cameraDistance);
    const bool bIsNan = std::isnan(b.cameraDistance);
    if (aIsNan || bIsNan) {
        return aIsNan && !bIsNan;
    }
    return a.cameraDistance > b.cameraDistance;
}

// Puts the records into the order depthOrder gives their depth keys, as a
// frame does.
inline void sortByDepth(std::vector<CvRecord>& records, DepthSortScratch& scratch) {
    scratch.keys.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        scratch.keys[i] = depthKey(records[i].cameraDistance);
    }
    depthOrder(scratch.keys, scratch);
    std::vector<CvRecord> sorted(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        sorted[i] = records[scratch.order[i]];
    }
    records.swap(sorted);
}

inline void sortByDepth(std::vector<CvRecord>& records) {
    DepthSortScratch scratch;
    sortByDepth(records, scratch);
}

}  // namespace knotlens_test
