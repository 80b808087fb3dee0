#include "overlay/segment_lists.h"

#include <algorithm>

void takeListPairs(std::vector<MPointArray>& points, std::vector<MColorArray>& colors,
                   std::vector<MPointArray>* sparePoints, std::vector<MColorArray>* spareColors,
                   std::size_t count) {
    const std::size_t pointsBase = points.size();
    const std::size_t colorsBase = colors.size();
    if (pointsBase == 0 && colorsBase == 0 && sparePoints != nullptr && spareColors != nullptr) {
        points.swap(*sparePoints);
        colors.swap(*spareColors);
        points.resize(std::min(points.size(), count));
        colors.resize(std::min(colors.size(), count));
    }
    points.resize(pointsBase + count);
    colors.resize(colorsBase + count);
}
