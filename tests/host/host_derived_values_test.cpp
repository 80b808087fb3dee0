// Values the embedded host derives from the scene (full path names, transform
// matrices, recorded draw arrays) must follow every change of the scene:
// each test asks once, changes the scene, and asks again.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MDagPath.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MString.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using khost::Vec3;

class HostDerivedValuesTest : public ::testing::Test {
protected:
    void SetUp() override { khost::newScene(); }
    void TearDown() override { khost::newScene(); }

    static std::string path(const std::string& node) { return khost::dagPath(node).fullPathName().asChar(); }
    static MPointArray worldCvs(const std::string& curve) {
        MFnNurbsCurve fn(khost::dagPath(khost::shapeOf(curve)));
        MPointArray cvs;
        EXPECT_TRUE(fn.getCVs(cvs, MSpace::kWorld));
        return cvs;
    }
};

void expectPoint(const MPoint& p, double x, double y, double z) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, z, 1e-9);
}

TEST_F(HostDerivedValuesTest, FullPathNamesFollowRenamesAndReparentingOfAnyAncestor) {
    const std::string group = khost::createTransform("group1");
    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}}), "wire", group);
    const std::string shape = khost::shapeOf(curve);
    EXPECT_EQ(path(shape), "|group1|wire|" + shape);

    ASSERT_TRUE(khost::renameNode(group, "rig"));
    EXPECT_EQ(path(shape), "|rig|wire|" + shape);

    ASSERT_TRUE(khost::renameNode(shape, "wireShapeRenamed"));
    EXPECT_EQ(path("wireShapeRenamed"), "|rig|wire|wireShapeRenamed");

    const std::string top = khost::createTransform("top");
    ASSERT_TRUE(khost::parentNode("rig", top));
    EXPECT_EQ(path("wireShapeRenamed"), "|top|rig|wire|wireShapeRenamed");

    ASSERT_TRUE(khost::parentNode("wire", ""));
    EXPECT_EQ(path("wireShapeRenamed"), "|wire|wireShapeRenamed");

    // A handle kept across the change sees the new path too.
    const MDagPath kept = khost::dagPath("wireShapeRenamed");
    EXPECT_EQ(std::string(kept.fullPathName().asChar()), "|wire|wireShapeRenamed");
    ASSERT_TRUE(khost::renameNode("wire", "cable"));
    EXPECT_EQ(std::string(kept.fullPathName().asChar()), "|cable|wireShapeRenamed");
    EXPECT_EQ(std::string(MFnDagNode(kept).fullPathName().asChar()), "|cable|wireShapeRenamed");
}

TEST_F(HostDerivedValuesTest, PartialPathNamesFollowNameClashesAsTheyAppearAndGo) {
    const std::string left = khost::createTransform("left");
    const std::string right = khost::createTransform("right");
    const khost::CurveDesc desc = khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}});
    const std::string first = khost::createCurve(desc, "wireA", left);
    const std::string second = khost::createCurve(desc, "wireB", right);
    const MDagPath kept = khost::dagPath("|left|wireA");
    EXPECT_EQ(std::string(kept.partialPathName().asChar()), "wireA");

    // Another node takes the same name: the name alone no longer identifies it.
    ASSERT_TRUE(khost::renameNode(second, "wireA"));
    EXPECT_EQ(std::string(kept.partialPathName().asChar()), "left|wireA");

    // The rival is deleted: the short name is unique again.
    ASSERT_TRUE(khost::deleteNode("|right|wireA"));
    EXPECT_EQ(std::string(kept.partialPathName().asChar()), "wireA");
}

TEST_F(HostDerivedValuesTest, WorldSpaceCvsFollowEveryTransformChange) {
    const std::string group = khost::createTransform("group1");
    const std::string curve =
        khost::createCurve(khost::openCurve({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}), "c", group);
    expectPoint(worldCvs(curve)[0], 1, 0, 0);

    khost::setTranslate(curve, {{0, 5, 0}});
    expectPoint(worldCvs(curve)[0], 1, 5, 0);

    khost::setScale(curve, {{2, 2, 2}});
    expectPoint(worldCvs(curve)[1], 4, 5, 0);

    khost::setRotate(curve, {{0, 0, 90}});
    // Scale, then a quarter turn about z (x goes to y), then the translation.
    expectPoint(worldCvs(curve)[1], 0, 9, 0);

    // Back to the earlier rotation: the earlier result again.
    khost::setRotate(curve, {{0, 0, 0}});
    expectPoint(worldCvs(curve)[1], 4, 5, 0);

    // A change above the curve's own transform.
    khost::setTranslate(group, {{10, 0, 0}});
    expectPoint(worldCvs(curve)[1], 14, 5, 0);
    khost::setTranslate(group, {{10, 0, -3}});
    expectPoint(worldCvs(curve)[1], 14, 5, -3);

    // Reparented out of the group: the group's translation no longer applies.
    ASSERT_TRUE(khost::parentNode(curve, ""));
    expectPoint(worldCvs(curve)[1], 4, 5, 0);

    // The matrix of the path agrees with the points.
    const MMatrix m = khost::dagPath(curve).inclusiveMatrix();
    EXPECT_NEAR(m(3, 1), 5.0, 1e-12);
    EXPECT_NEAR(m(0, 0), 2.0, 1e-12);
}

TEST_F(HostDerivedValuesTest, NonFiniteTransformValuesAreRecomputedEveryTime) {
    const std::string curve =
        khost::createCurve(khost::openCurve({{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}));
    const double nan = std::nan("");
    khost::setTranslate(curve, {{nan, 0, 0}});
    EXPECT_TRUE(std::isnan(worldCvs(curve)[0].x));
    khost::setTranslate(curve, {{1, 0, 0}});
    expectPoint(worldCvs(curve)[0], 2, 0, 0);
}

}  // namespace
