// MBoundingBox of the embedded host: corners, growth, transformation and
// the overlap queries the frame driver's culling builds on.
#include <gtest/gtest.h>
#include <maya/MBoundingBox.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

namespace {

void expectPoint(const MPoint& p, double x, double y, double z) {
    EXPECT_DOUBLE_EQ(p.x, x);
    EXPECT_DOUBLE_EQ(p.y, y);
    EXPECT_DOUBLE_EQ(p.z, z);
}

TEST(BoundingBoxTest, CornersGrowthAndSizes) {
    const MBoundingBox empty;
    expectPoint(empty.min(), 0, 0, 0);
    expectPoint(empty.max(), 0, 0, 0);
    EXPECT_TRUE(empty.contains(MPoint(0, 0, 0)));

    // Corners in any order give the same box.
    MBoundingBox box(MPoint(3, -1, 2), MPoint(1, 4, -2));
    expectPoint(box.min(), 1, -1, -2);
    expectPoint(box.max(), 3, 4, 2);
    EXPECT_DOUBLE_EQ(box.width(), 2);
    EXPECT_DOUBLE_EQ(box.height(), 5);
    EXPECT_DOUBLE_EQ(box.depth(), 4);
    expectPoint(box.center(), 2, 1.5, 0);

    // A default box keeps the origin when it grows.
    MBoundingBox grown;
    grown.expand(MPoint(5, 5, 5));
    expectPoint(grown.min(), 0, 0, 0);
    expectPoint(grown.max(), 5, 5, 5);
    grown.expand(box);
    expectPoint(grown.min(), 0, -1, -2);
    grown.clear();
    expectPoint(grown.max(), 0, 0, 0);
}

TEST(BoundingBoxTest, TransformKeepsTheBoxAroundTheTransformedCorners) {
    MBoundingBox box(MPoint(0, 0, 0), MPoint(2, 1, 1));
    // Rotation by 90 degrees about Z (row vectors: x -> y, y -> -x), then a
    // translation by (10, 0, 0).
    MMatrix m;
    m[0][0] = 0;
    m[0][1] = 1;
    m[1][0] = -1;
    m[1][1] = 0;
    m[3][0] = 10;
    box.transformUsing(m);
    expectPoint(box.min(), 9, 0, 0);
    expectPoint(box.max(), 10, 2, 1);
}

TEST(BoundingBoxTest, ContainsAndIntersectsIncludeTheFaces) {
    const MBoundingBox box(MPoint(0, 0, 0), MPoint(1, 1, 1));
    EXPECT_TRUE(box.contains(MPoint(1, 1, 1)));
    EXPECT_FALSE(box.contains(MPoint(1.001, 0.5, 0.5)));
    EXPECT_TRUE(box.intersects(MBoundingBox(MPoint(1, 1, 1), MPoint(2, 2, 2))));
    const MBoundingBox apart(MPoint(1.5, 0, 0), MPoint(2, 1, 1));
    EXPECT_FALSE(box.intersects(apart));
    EXPECT_TRUE(box.intersects(apart, 0.5));
    EXPECT_FALSE(box.intersects(MBoundingBox(MPoint(0, 0, 3), MPoint(1, 1, 4)), 0.5));
}

}  // namespace
