// The curve overlay a record keeps between frames: a frame whose curves,
// samples, colours and (with the distance ramp on) camera point are those of
// the previous frame draws the kept lists; any change to those inputs
// rebuilds them. Every frame is compared, bit for bit, with a fresh build (a
// preparation of the same frame into a new record), and a sentinel written
// into the kept lists tells a reused list from a rebuilt one.
#include <gtest/gtest.h>

#include <khost/harness.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MUIDrawManager.h>

#include <memory>
#include <string>
#include <vector>

#include "overlay/bit_equality.h"
#include "overlay/draw_override.h"
#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

// The curve overlay of two records, bit for bit: samples, then the lists.
void expectSameCurveOverlay(const UserData& actual, const UserData& fresh, const std::string& step) {
    SCOPED_TRACE(step);
    ASSERT_EQ(actual.curveSamples.size(), fresh.curveSamples.size());
    for (std::size_t i = 0; i < fresh.curveSamples.size(); ++i) {
        const CurveSample& a = actual.curveSamples[i];
        const CurveSample& f = fresh.curveSamples[i];
        EXPECT_TRUE(a.curveIndex == f.curveIndex && samePoint(a.position, f.position) &&
                    sameColor(a.color, f.color) && a.sampleIndex == f.sampleIndex &&
                    sameBits(a.cameraDistance, f.cameraDistance))
            << "sample " << i;
    }
    ASSERT_EQ(actual.curveLinePoints.size(), fresh.curveLinePoints.size());
    ASSERT_EQ(actual.curveLineColors.size(), fresh.curveLineColors.size());
    for (std::size_t k = 0; k < fresh.curveLinePoints.size(); ++k) {
        const MPointArray& ap = actual.curveLinePoints[k];
        const MPointArray& fp = fresh.curveLinePoints[k];
        const MColorArray& ac = actual.curveLineColors[k];
        const MColorArray& fc = fresh.curveLineColors[k];
        ASSERT_EQ(ap.length(), fp.length());
        ASSERT_EQ(ac.length(), fc.length());
        for (unsigned int i = 0; i < fp.length(); ++i) {
            EXPECT_TRUE(samePoint(ap[i], fp[i])) << "list " << k << " point " << i;
            EXPECT_TRUE(sameColor(ac[i], fc[i])) << "list " << k << " colour " << i;
        }
    }
}

class CurveReuseTest : public knotlens_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        a = curve(0.0);
        b = curve(4.0);
        c = curve(-4.0);
        khost::setHilite({a, b, c});
        khost::setAttr(manager, "showCurve", 1.0);
        khost::setAttr(manager, "curveDivisions", 4.0);
        khost::setAttr(manager, "useCurveDistanceColor", 0.0);  // on by default
    }
    static std::string curve(double x) {
        return khost::createCurve(khost::openCurve(
            {{x, 0, 0}, {x + 1, 2, -1}, {x, 4, -2}, {x - 1, 5, 0}, {x + 0.5, 7, 1}, {x, 9, 0}}));
    }

    const UserData& recordOf(int view = 0) const {
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, manager));
        EXPECT_NE(data, nullptr);
        static const UserData none;
        return data != nullptr ? *data : none;
    }
    // The same frame prepared into a new record: the overlay built afresh.
    std::unique_ptr<MUserData> freshBuild(int view = 0) const {
        auto* override = static_cast<DrawOverride*>(khost::drawOverride(manager));
        MUserData* made = nullptr;
        khost::replayHostDraw(view, [&](MHWRender::MUIDrawManager&, const MHWRender::MFrameContext& context) {
            made = override->prepareForDraw(MDagPath(), context.getCurrentCameraPath(), context, nullptr);
        });
        return std::unique_ptr<MUserData>(made);
    }
    // Draws a frame and compares every view's curve overlay with a fresh build.
    void frameMatchingFresh(const std::string& step) {
        khost::drawFrame();
        for (int view = 0; view < khost::viewCount(); ++view) {
            const std::unique_ptr<MUserData> fresh = freshBuild(view);
            const auto* freshData = dynamic_cast<const UserData*>(fresh.get());
            ASSERT_NE(freshData, nullptr);
            ASSERT_EQ(freshData->curveLinePoints.size(), 1u);
            ASSERT_GT(freshData->curveLinePoints[0].length(), 0u);
            expectSameCurveOverlay(recordOf(view), *freshData, step + ", view " + std::to_string(view));
        }
    }

    // Writes a sentinel over the first point of view 0's curve list and over
    // its first sample's distance; a frame that reuses the kept overlay still
    // shows them. unmark puts the true values back.
    void mark() {
        auto& data = const_cast<UserData&>(recordOf());
        ASSERT_FALSE(data.curveLinePoints.empty());
        ASSERT_GT(data.curveLinePoints[0].length(), 0u);
        ASSERT_FALSE(data.curveSamples.empty());
        truePoint = data.curveLinePoints[0][0];
        trueDistance = data.curveSamples[0].cameraDistance;
        data.curveLinePoints[0][0] = kSentinel;
        data.curveSamples[0].cameraDistance = -1.0;
    }
    bool linesKept() const {
        const UserData& data = recordOf();
        return !data.curveLinePoints.empty() && data.curveLinePoints[0].length() > 0 &&
               samePoint(data.curveLinePoints[0][0], kSentinel);
    }
    bool distanceKept() const {
        const UserData& data = recordOf();
        return !data.curveSamples.empty() && data.curveSamples[0].cameraDistance == -1.0;
    }
    void unmark() {
        auto& data = const_cast<UserData&>(recordOf());
        if (linesKept()) {
            data.curveLinePoints[0][0] = truePoint;
        }
        if (distanceKept()) {
            data.curveSamples[0].cameraDistance = trueDistance;
        }
    }
    // A change that must rebuild the overlay: after it no sentinel is left
    // and the frame matches a fresh build.
    template <class Change>
    void expectRebuiltAfter(const std::string& step, Change change) {
        khost::drawFrame();
        mark();
        change();
        frameMatchingFresh(step);
        EXPECT_FALSE(linesKept()) << step;
        EXPECT_FALSE(distanceKept()) << step;
    }

    const MPoint kSentinel{1e9, -1e9, 1e9, 1.0};
    MPoint truePoint;
    double trueDistance = 0.0;
    std::string a, b, c;
};

TEST_F(CurveReuseTest, SteadyFramesDrawTheKeptListsAndMatchAFreshBuild) {
    frameMatchingFresh("first frame");
    for (bool ramp : {false, true}) {
        khost::setAttr(manager, "useCurveDistanceColor", ramp ? 1.0 : 0.0);
        frameMatchingFresh(ramp ? "ramp on" : "ramp off");
        mark();
        khost::resetCounters();
        khost::drawFrame();
        EXPECT_TRUE(linesKept()) << ramp;
        EXPECT_TRUE(distanceKept()) << ramp;
        EXPECT_EQ(khost::counters().getPointAtParam, 0u);
        // What the draw manager was handed is the kept list itself.
        bool sentinelDrawn = false;
        for (const khost::DrawCall& call : khost::drawCalls(0, manager)) {
            sentinelDrawn =
                sentinelDrawn || (call.kind == khost::DrawCall::Mesh && call.points.length() > 0 &&
                                  samePoint(call.points[0], kSentinel));
        }
        EXPECT_TRUE(sentinelDrawn) << ramp;
        unmark();
        frameMatchingFresh(ramp ? "steady, ramp on" : "steady, ramp off");
    }
}

TEST_F(CurveReuseTest, CameraMovesRebuildOnlyWhatTheyChange) {
    // Ramp off: the lists do not depend on the camera; the distances do.
    frameMatchingFresh("ramp off");
    mark();
    khost::setTranslate("persp", {30, 18, 25});
    khost::drawFrame();
    EXPECT_TRUE(linesKept());
    EXPECT_FALSE(distanceKept());
    unmark();
    frameMatchingFresh("camera moved, ramp off");

    // Ramp on: the colours follow the camera.
    khost::setAttr(manager, "useCurveDistanceColor", 1.0);
    expectRebuiltAfter("camera moved, ramp on", [] { khost::setTranslate("persp", {-20, 25, 30}); });
    expectRebuiltAfter("ramp bounds changed", [this] { khost::setAttr(manager, "distanceColorMin", 0.6); });
    expectRebuiltAfter("ramp off again", [this] { khost::setAttr(manager, "useCurveDistanceColor", 0.0); });
}

TEST_F(CurveReuseTest, ChangedCurvesSelectionOrColourRebuild) {
    khost::setAttr(manager, "useCurveDistanceColor", 1.0);
    frameMatchingFresh("first frame");
    expectRebuiltAfter("one CV moved", [this] { khost::setCV(b, 3, {3.0, 5.5, 0.5}); });
    expectRebuiltAfter("CVs selected", [this] { khost::selectCVs(c, {1, 4}); });
    expectRebuiltAfter("selection order changed", [this] { khost::setHilite({c, a, b}); });
    expectRebuiltAfter("curve colour", [this] { khost::setAttr(manager, "curveColor", 0.9, 0.4, 0.1); });
    expectRebuiltAfter("curve alpha", [this] { khost::setAttr(manager, "curveAlpha", 0.5); });
    expectRebuiltAfter("divisions", [this] { khost::setAttr(manager, "curveDivisions", 7.0); });
    expectRebuiltAfter("curve deleted", [this] { khost::deleteNode(a); });
    expectRebuiltAfter("curve added", [this] {
        const std::string d = curve(8.0);
        khost::setHilite({b, c, d});
    });
    expectRebuiltAfter("curve moved as a whole", [this] { khost::setTranslate(b, {0, 1, 0}); });
}

TEST_F(CurveReuseTest, InputsThatLeaveTheListsAloneKeepThem) {
    frameMatchingFresh("first frame");
    // Shown as an object: no CV records, the same curve line.
    mark();
    khost::setDisplayStatusOverride(b, M3dView::kActive);
    khost::drawFrame();
    EXPECT_TRUE(linesKept());
    unmark();
    frameMatchingFresh("display status");
    // The ramp bounds play no part while the curve ramp is off.
    mark();
    khost::setAttr(manager, "distanceColorMax", 0.5);
    khost::drawFrame();
    EXPECT_TRUE(linesKept());
    unmark();
    frameMatchingFresh("ramp bounds, ramp off");
    // A frame without the curve overlay empties the record's lists; turned
    // on again, the overlay made from the same inputs comes back.
    mark();
    khost::setAttr(manager, "showCurve", 0.0);
    khost::drawFrame();
    EXPECT_TRUE(recordOf().curveLinePoints.empty());
    EXPECT_TRUE(recordOf().curveSamples.empty());
    khost::setAttr(manager, "showCurve", 1.0);
    khost::drawFrame();
    EXPECT_TRUE(linesKept());
    unmark();
    frameMatchingFresh("curve overlay on again");
}

TEST_F(CurveReuseTest, EveryViewKeepsTheOverlayOfItsOwnCamera) {
    khost::setAttr(manager, "useCurveDistanceColor", 1.0);
    const std::string camera = khost::createCamera({-25, 10, -20}, {0, 3, 0});
    ASSERT_EQ(khost::addView(camera), 1);
    frameMatchingFresh("two views");
    frameMatchingFresh("two views, steady");
    khost::setTranslate(camera, {-25, 12, -22});
    frameMatchingFresh("second camera moved");
    // An empty selection forgets the cache; the kept lists are then stale.
    khost::clearSelection();
    khost::drawFrame();
    EXPECT_TRUE(recordOf().curveLinePoints.empty());
    khost::setHilite({a, b, c});
    frameMatchingFresh("selection restored");
}

}  // namespace
