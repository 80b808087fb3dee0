// Depth ordering of CV records: farthest first, whole records moved, and a
// valid ordering even when some distances are NaN.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "overlay/depth_order.h"
#include "support/depth_reference.h"

namespace {

using knotlens_test::sortByDepth;

CvRecord recordAt(double distance, uint32_t curveIndex, uint32_t cvIndex) {
    CvRecord r;
    r.curveIndex = curveIndex;
    r.cvIndex = cvIndex;
    r.position = MPoint(100.0 * curveIndex + cvIndex, 0.0, 0.0);
    r.selected = cvIndex % 2 == 1;
    r.weight = 0.1f * static_cast<float>(cvIndex);
    r.cameraDistance = distance;
    return r;
}

TEST(DepthOrder, FarthestFirstWithWholeRecordsAcrossCurves) {
    std::vector<CvRecord> none;
    sortByDepth(none);
    EXPECT_TRUE(none.empty());

    std::vector<CvRecord> records{recordAt(5.0, 0, 0), recordAt(1.0, 0, 1), recordAt(3.0, 1, 2),
                                  recordAt(4.0, 1, 3)};
    sortByDepth(records);
    const double distances[] = {5.0, 4.0, 3.0, 1.0};
    const uint32_t curves[] = {0, 1, 1, 0};
    const uint32_t cvs[] = {0, 3, 2, 1};
    for (std::size_t i = 0; i < 4; ++i) {
        const CvRecord& r = records[i];
        EXPECT_EQ(r.cameraDistance, distances[i]);
        EXPECT_EQ(r.curveIndex, curves[i]);
        EXPECT_EQ(r.cvIndex, cvs[i]);
        // The other fields travelled with the record.
        EXPECT_EQ(r.position.x, 100.0 * r.curveIndex + r.cvIndex);
        EXPECT_EQ(r.selected, r.cvIndex % 2 == 1);
        EXPECT_FLOAT_EQ(r.weight, 0.1f * static_cast<float>(r.cvIndex));
    }
}

TEST(DepthOrder, NanDistancesCountAsFarthest) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<CvRecord> records{recordAt(2.0, 0, 0), recordAt(nan, 0, 1), recordAt(inf, 0, 2),
                                  recordAt(nan, 0, 3), recordAt(0.5, 0, 4)};
    sortByDepth(records);
    EXPECT_TRUE(std::isnan(records[0].cameraDistance));
    EXPECT_TRUE(std::isnan(records[1].cameraDistance));
    EXPECT_EQ(records[2].cameraDistance, inf);
    EXPECT_EQ(records[3].cameraDistance, 2.0);
    EXPECT_EQ(records[4].cameraDistance, 0.5);
}

TEST(DepthOrder, ManyRecordsWithScatteredNansSortWithoutLoss) {
    // Large enough for the library sort's unguarded partitioning, which a
    // broken ordering drives out of bounds (caught by the sanitizer build).
    std::mt19937 random(7);
    std::uniform_real_distribution<double> distance(0.0, 100.0);
    std::vector<CvRecord> records;
    for (uint32_t i = 0; i < 2000; ++i) {
        records.push_back(
            recordAt(i % 7 == 3 ? std::numeric_limits<double>::quiet_NaN() : distance(random), 0, i));
    }
    sortByDepth(records);
    ASSERT_EQ(records.size(), 2000u);
    std::size_t firstFinite = 0;
    while (firstFinite < records.size() && std::isnan(records[firstFinite].cameraDistance)) {
        ++firstFinite;
    }
    EXPECT_EQ(firstFinite, 286u);  // i % 7 == 3 for 286 of the 2000
    std::vector<bool> seen(2000, false);
    for (std::size_t i = 0; i < records.size(); ++i) {
        seen[records[i].cvIndex] = true;
        if (i > firstFinite) {
            ASSERT_GE(records[i - 1].cameraDistance, records[i].cameraDistance) << i;
        }
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 2000);
}

}  // namespace
