#include "overlay/depth_order.h"

#include <algorithm>
#include <cmath>

bool drawnBefore(const CvRecord& a, const CvRecord& b) {
    const bool aIsNan = std::isnan(a.cameraDistance);
    const bool bIsNan = std::isnan(b.cameraDistance);
    if (aIsNan || bIsNan) {
        return aIsNan && !bIsNan;
    }
    return a.cameraDistance > b.cameraDistance;
}

void sortByDepth(std::vector<CvRecord>& cvRecords) {
    std::sort(cvRecords.begin(), cvRecords.end(), drawnBefore);
}
