// CV occlusion with real meshes in the embedded host: only faces between the
// camera and a CV hide it, the occluder is resolved by name to its first
// match, and hidden CVs stay in the draw data with alpha 0.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MFnPlugin.h>

#include <khost/harness.h>

#include <string>
#include <vector>

#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

// The camera looks down -z from z = 20. A 4 x 4 plane at z = 0 covers x and
// y in [-2, 2]. CV 0 lies behind the plane, CV 1 beside it, CV 2 in front of
// it, CV 3 beside and in front.
const std::vector<Vec3> kCvs{{0, 0, -5}, {10, 0, -5}, {0, 1, 5}, {10, 1, 5}};

class OcclusionTest : public knotlens_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        std::string error;
        const std::string cam = khost::createCamera({0, 0, 20}, {0, 0, 0}, 54.43, "front");
        view = khost::addView(cam);
        khost::setActiveView(view);
        plane = khost::createMesh(khost::planeMesh(4.0, 2, {0, 0, 0}, 2), "wall");
        ASSERT_FALSE(plane.empty());
        curve = khost::createCurve(khost::openCurve(kCvs), "", "", &error);
        ASSERT_FALSE(curve.empty()) << error;
        khost::clearSelection();
        khost::setHilite({curve});
        khost::setAttr(manager, "showHull", 1.0);
        khost::setAttrString(manager, "occluderMeshName", plane);
        khost::setAttr(manager, "useCVOcclusion", 1.0);
    }

    const UserData& frame() {
        khost::drawFrame();
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, manager));
        EXPECT_NE(data, nullptr);
        static const UserData empty;
        return data != nullptr ? *data : empty;
    }
    static float alphaOf(const UserData& data, uint32_t cvIndex) {
        for (const CvRecord& r : data.cvRecords) {
            if (r.cvIndex == cvIndex) {
                return r.alphaScale;
            }
        }
        ADD_FAILURE() << "no record for CV " << cvIndex;
        return -1.0f;
    }
    static std::vector<float> alphas(const UserData& data) {
        std::vector<float> result;
        for (uint32_t cv = 0; cv < 4; ++cv) {
            result.push_back(alphaOf(data, cv));
        }
        return result;
    }

    std::string plane, curve;
    int view = 0;
};

TEST_F(OcclusionTest, OnlyTheCvBehindTheMeshIsHidden) {
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 4u);
    EXPECT_EQ(alphas(data), (std::vector<float>{0.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(OcclusionTest, HiddenFirstCvStaysInEveryListWithAlphaZero) {
    const UserData& data = frame();
    ASSERT_EQ(data.cvPoints.length(), 4u);
    ASSERT_EQ(data.markerPoints.length(), 1u);
    for (std::size_t i = 0; i < data.cvRecords.size(); ++i) {
        const CvRecord& r = data.cvRecords[i];
        const MColor& point = data.cvColors[static_cast<unsigned int>(i)];
        EXPECT_EQ(point.a == 0.0f, r.cvIndex == 0) << r.cvIndex;
    }
    EXPECT_EQ(data.markerColors[0].a, 0.0f);
    ASSERT_EQ(data.hullLinePoints.size(), 1u);
    ASSERT_EQ(data.hullLineColors[0].length(), 6u);
    // Hull vertex order: CV 0, 1 | 1, 2 | 2, 3.
    EXPECT_EQ(data.hullLineColors[0][0].a, 0.0f);
    for (unsigned int v = 1; v < 6; ++v) {
        EXPECT_EQ(data.hullLineColors[0][v].a, 1.0f) << v;
    }
}

TEST_F(OcclusionTest, OffHidesNothingAndCastsNoRays) {
    khost::setAttr(manager, "useCVOcclusion", 0.0);
    khost::resetCounters();
    const UserData& data = frame();
    EXPECT_EQ(alphas(data), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(khost::counters().anyIntersection, 0u);
}

TEST_F(OcclusionTest, OneRayPerCvPerPreparedView) {
    const auto views = static_cast<uint64_t>(khost::viewCount());
    khost::resetCounters();
    frame();
    EXPECT_EQ(khost::counters().anyIntersection, 4u * views);
    frame();
    EXPECT_EQ(khost::counters().anyIntersection, 8u * views);
}

TEST_F(OcclusionTest, MeshBehindTheCameraHidesNothing) {
    const std::string behind = khost::createMesh(khost::planeMesh(40.0, 2, {0, 0, 30}, 2), "behindCamera");
    khost::setAttrString(manager, "occluderMeshName", behind);
    EXPECT_EQ(alphas(frame()), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(OcclusionTest, MeshBehindEveryCvHidesNothing) {
    const std::string far = khost::createMesh(khost::planeMesh(40.0, 2, {0, 0, -10}, 2), "farWall");
    khost::setAttrString(manager, "occluderMeshName", far);
    EXPECT_EQ(alphas(frame()), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(OcclusionTest, NamesThatAreNotMeshesHideNothing) {
    for (const std::string& name :
         {curve, std::string("front"), std::string("noSuchThing"), std::string("")}) {
        khost::setAttrString(manager, "occluderMeshName", name);
        EXPECT_EQ(alphas(frame()), (std::vector<float>{1.0f, 1.0f, 1.0f, 1.0f})) << "'" << name << "'";
    }
}

TEST_F(OcclusionTest, OnlyTheFirstOfSeveralMatchesIsTheOccluder) {
    // Two meshes named "screen": the first (creation order) hides CV 1, the
    // second would hide CV 0.
    const std::string groupA = khost::createTransform("groupA");
    const std::string groupB = khost::createTransform("groupB");
    const std::string first = khost::createMesh(khost::planeMesh(4.0, 2, {9, 0, 0}, 2), "screenA", groupA);
    const std::string second = khost::createMesh(khost::planeMesh(4.0, 2, {0, 0, 0}, 2), "screenB", groupB);
    ASSERT_TRUE(khost::renameNode(first, "screen"));
    ASSERT_TRUE(khost::renameNode(second, "screen"));  // a sibling-unique name may repeat elsewhere
    ASSERT_TRUE(khost::exists("groupB|screen"));

    khost::setAttrString(manager, "occluderMeshName", "screen");
    EXPECT_EQ(alphas(frame()), (std::vector<float>{1.0f, 0.0f, 1.0f, 1.0f}));
    khost::setAttrString(manager, "occluderMeshName", "scr*");
    EXPECT_EQ(alphas(frame()), (std::vector<float>{1.0f, 0.0f, 1.0f, 1.0f}));
    khost::setAttrString(manager, "occluderMeshName", "groupB|screen");
    EXPECT_EQ(alphas(frame()), (std::vector<float>{0.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(OcclusionTest, CurveLineIsNeverDimmed) {
    khost::setAttr(manager, "calpha", 0.5);
    khost::setAttr(manager, "useCurveDistanceColor", 0.0);
    const UserData& data = frame();
    ASSERT_EQ(data.curveLineColors.size(), 1u);
    ASSERT_GT(data.curveLineColors[0].length(), 0u);
    for (unsigned int i = 0; i < data.curveLineColors[0].length(); ++i) {
        EXPECT_EQ(data.curveLineColors[0][i], MColor(0.0f, 0.0f, 1.0f, 0.5f)) << i;
    }
}

TEST_F(OcclusionTest, AlphaReturnsWhenTheCvIsNoLongerCovered) {
    EXPECT_EQ(alphaOf(frame(), 0), 0.0f);
    khost::setTranslate(plane, {0, 50, 0});
    EXPECT_EQ(alphaOf(frame(), 0), 1.0f);
}

}  // namespace
