// The per-frame driver through real frames of the embedded host: record
// reuse, selection refresh, early ends, the selection walk and its CV
// records, camera distances, markers, and the caches' lifecycle.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/M3dView.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MSelectionList.h>

#include <khost/harness.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "node/selection_tracker.h"
#include "overlay/draw_override.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

class FrameTest : public knotlens_test::ManagerTest {
protected:
    const UserData& frame(int view = 0) {
        khost::drawFrame();
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, manager));
        EXPECT_NE(data, nullptr);
        static const UserData empty;
        return data != nullptr ? *data : empty;
    }
    DrawOverride& drawOverride() { return *static_cast<DrawOverride*>(khost::drawOverride(manager)); }
    std::size_t cached(const std::string& curve) {
        return drawOverride().curveCache().samplesOf(khost::fullPathName(khost::shapeOf(curve))) != nullptr
                   ? 1
                   : 0;
    }
    // CV i at (-2i, i == 2 ? 1 : 0, z - i): farther from the default camera as i grows.
    static std::string fiveCvCurve(double z = 0.0) {
        return khost::createCurve(
            khost::openCurve({{0, 0, z}, {-2, 0, z - 1}, {-4, 1, z - 2}, {-6, 0, z - 3}, {-8, 0, z - 4}}));
    }
};

std::set<uint32_t> cvIndices(const UserData& data, bool selected) {
    std::set<uint32_t> result;
    for (const CvRecord& r : data.cvRecords) {
        if (r.selected == selected) {
            result.insert(r.cvIndex);
        }
    }
    return result;
}

bool allEmpty(const UserData& d) {
    return d.curveSamples.empty() && d.curveLinePoints.empty() && d.curveLineColors.empty() &&
           d.cvRecords.empty() && d.cvPoints.length() == 0 && d.cvColors.length() == 0 &&
           d.markerPoints.length() == 0 && d.markerColors.length() == 0 && d.hullLinePoints.empty() &&
           d.hullLineColors.empty();
}

// ------------------------------------------------------------------ record and early ends

TEST_F(FrameTest, FreshRecordHasTheInitialSettingsAndIsReusedAndReset) {
    khost::setAttr(manager, "pointSize", 20.0);
    const UserData& fresh = frame();  // nothing selected: no snapshot
    EXPECT_TRUE(allEmpty(fresh));
    EXPECT_TRUE(fresh.drawOnTop);
    EXPECT_FALSE(fresh.showCurve);
    EXPECT_FALSE(fresh.showHull);
    EXPECT_EQ(fresh.pointSize, 10.5f);
    EXPECT_EQ(fresh.lineWidth, 4.0f);
    EXPECT_EQ(fresh.hullWidth, 3.0f);
    EXPECT_EQ(fresh.curveDivisions, 5);
    EXPECT_EQ(fresh.hullColor, MColor(0.5f, 0.0f, 0.5f, 1.0f));

    const MUserData* address = khost::userData(0, manager);
    khost::selectCVs(fiveCvCurve(), {1});
    khost::setAttr(manager, "hullAlpha", 0.25);
    frame();
    const UserData& second = frame();
    EXPECT_EQ(khost::userData(0, manager), address);
    EXPECT_EQ(second.cvRecords.size(), 5u);  // emptied before refilling
    EXPECT_EQ(second.markerPoints.length(), 1u);
    EXPECT_EQ(second.curveLinePoints.size(), 1u);
    EXPECT_EQ(second.pointSize, 20.0f);
    EXPECT_EQ(second.hullColor, MColor(0.5f, 0.0f, 0.5f, 0.25f));  // alpha from its own attribute
}

TEST_F(FrameTest, EmptySelectionEmptiesCachesAndKeepsStateAndSettings) {
    const std::string c = fiveCvCurve();
    khost::selectCVs(c, {0});
    khost::setAttr(manager, "pointSize", 7.0);
    frame();
    ASSERT_EQ(cached(c), 1u);

    lastNodeState = 5;
    khost::setAttr(manager, "pointSize", 30.0);
    khost::clearSelection();
    const UserData& data = frame();
    EXPECT_TRUE(allEmpty(data));
    EXPECT_EQ(drawOverride().curveCache().size(), 0u);
    EXPECT_EQ(lastNodeState, 5);
    EXPECT_EQ(data.pointSize, 7.0f);
}

TEST_F(FrameTest, NonZeroNodeStateEndsTheFrameWithoutTouchingCachesOrKey) {
    const std::string a = fiveCvCurve();
    const std::string b = fiveCvCurve(6.0);
    khost::selectCVs(a, {0});
    khost::setAttr(manager, "pointSize", 7.0);
    frame();
    const std::string key = lastSelectionKey;
    ASSERT_FALSE(key.empty());

    for (int state : {1, 4}) {
        ASSERT_TRUE(khost::setAttr(manager, "nodeState", state));
        khost::setAttr(manager, "pointSize", 30.0);
        khost::clearSelection();
        khost::selectCVs(b, {0});  // a new key, were it computed
        const UserData& data = frame();
        EXPECT_TRUE(allEmpty(data));
        EXPECT_EQ(lastNodeState, state);
        EXPECT_EQ(data.nodeState, state);
        EXPECT_EQ(lastSelectionKey, key);
        EXPECT_EQ(cached(a), 1u);
        EXPECT_EQ(data.pointSize, 7.0f);
    }
    ASSERT_TRUE(khost::setAttr(manager, "nodeState", 0));
    const UserData& data = frame();
    EXPECT_EQ(data.nodeState, 0);
    EXPECT_EQ(data.cvRecords.size(), 5u);
}

TEST_F(FrameTest, LazyUpdateFetchesOnlyUntilPrimedAndOffFetchesEveryFrame) {
    const std::string c = fiveCvCurve();
    khost::selectCVs(c, {2});
    frame();
    trackedSelection.clear();  // stale, as if the event were missed
    EXPECT_EQ(frame().cvRecords.size(), 5u);

    khost::setAttr(manager, "lazyUpdate", 1.0);
    selectionPrimed = false;
    trackedSelection.clear();
    EXPECT_EQ(frame().cvRecords.size(), 5u);
    EXPECT_TRUE(selectionPrimed);
    trackedSelection.clear();
    EXPECT_TRUE(frame().cvRecords.empty());
    khost::selectCVs(c, {1, 3});  // the selection event still refreshes it
    EXPECT_EQ(cvIndices(frame(), true), (std::set<uint32_t>{1, 3}));
}

// ------------------------------------------------------------------ selection walk

TEST_F(FrameTest, CurveSelectedAsObjectGivesSamplesButNoRecords) {
    khost::select({fiveCvCurve()});
    const UserData& data = frame();
    EXPECT_FALSE(data.curveSamples.empty());
    EXPECT_TRUE(data.cvRecords.empty());
    EXPECT_EQ(data.cvPoints.length(), 0u);
    EXPECT_EQ(data.markerPoints.length(), 0u);
    ASSERT_EQ(data.curveLinePoints.size(), 1u);
    EXPECT_GT(data.curveLinePoints[0].length(), 0u);
}

TEST_F(FrameTest, HilitedCurveWithoutComponentGetsOneUnselectedRecordPerCv) {
    khost::setHilite({fiveCvCurve()});
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 5u);
    EXPECT_EQ(cvIndices(data, false), (std::set<uint32_t>{0, 1, 2, 3, 4}));
    for (const CvRecord& r : data.cvRecords) {
        EXPECT_EQ(r.weight, 1.0f);
        EXPECT_EQ(r.curveIndex, 0u);
    }
    EXPECT_EQ(data.markerPoints.length(), 1u);
}

// What a frame recorded, in a form that compares whole: kind, primitive,
// points and colours of every call.
std::vector<std::string> recorded(const std::vector<khost::DrawCall>& calls) {
    std::vector<std::string> out;
    for (const khost::DrawCall& call : calls) {
        std::string line = std::string(khost::toString(call.kind)) + " " + std::to_string(call.primitive);
        for (unsigned int i = 0; i < call.points.length(); ++i) {
            line += " " + std::to_string(call.points[i].x) + "," + std::to_string(call.points[i].y) + "," +
                    std::to_string(call.points[i].z);
        }
        for (unsigned int i = 0; i < call.colors.length(); ++i) {
            line += " " + std::to_string(call.colors[i].r) + "," + std::to_string(call.colors[i].a);
        }
        out.push_back(line);
    }
    return out;
}

TEST_F(FrameTest, PreparingAndDrawingApartGivesTheFrameDrawFrameGives) {
    khost::selectCVs(fiveCvCurve(), {3, 1});
    khost::drawFrame();
    const std::vector<std::string> whole = recorded(khost::drawCalls(0, manager));
    ASSERT_FALSE(whole.empty());

    khost::resetCounters();
    khost::prepareFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 1u);
    EXPECT_EQ(khost::counters().addUIDrawables, 0u);
    khost::drawPreparedFrame();
    EXPECT_EQ(khost::counters().addUIDrawables, 1u);
    EXPECT_EQ(recorded(khost::drawCalls(0, manager)), whole);

    // Nothing prepared: nothing drawn.
    khost::drawPreparedFrame();
    EXPECT_EQ(khost::counters().addUIDrawables, 1u);

    // A node deleted between the halves is not drawn.
    khost::prepareFrame();
    ASSERT_TRUE(khost::deleteNode(manager));
    khost::drawPreparedFrame();
    EXPECT_EQ(khost::counters().addUIDrawables, 1u);
}

TEST_F(FrameTest, AFrameThatDrawsLessLeavesOnlyItsOwnCalls) {
    // The host records over the previous frame's calls; what is left must be
    // exactly this frame's.
    khost::selectCVs(fiveCvCurve(), {1});
    khost::setAttr(manager, "showCurve", 0.0);
    khost::setAttr(manager, "showHull", 0.0);
    khost::drawFrame();
    const std::vector<std::string> plain = recorded(khost::drawCalls(0, manager));
    khost::setAttr(manager, "showCurve", 1.0);
    khost::setAttr(manager, "showHull", 1.0);
    khost::drawFrame();
    const std::vector<std::string> more = recorded(khost::drawCalls(0, manager));
    EXPECT_GT(more.size(), plain.size());
    khost::setAttr(manager, "showCurve", 0.0);
    khost::setAttr(manager, "showHull", 0.0);
    khost::drawFrame();
    EXPECT_EQ(recorded(khost::drawCalls(0, manager)), plain);

    // Nothing tracked: the node draws no CV, and nothing of before is left.
    khost::clearSelection();
    khost::drawFrame();
    for (const khost::DrawCall& call : khost::drawCalls(0, manager)) {
        EXPECT_NE(call.kind, khost::DrawCall::Mesh);
        EXPECT_NE(call.kind, khost::DrawCall::Circle2d);
    }
}

TEST_F(FrameTest, SelectedCvsAreFlaggedAndPointsFollowDepthOrder) {
    khost::selectCVs(fiveCvCurve(), {3, 1});
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 5u);
    EXPECT_EQ(cvIndices(data, true), (std::set<uint32_t>{1, 3}));
    EXPECT_EQ(cvIndices(data, false), (std::set<uint32_t>{0, 2, 4}));
    ASSERT_EQ(data.cvPoints.length(), 5u);
    ASSERT_EQ(data.cvColors.length(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        const CvRecord& r = data.cvRecords[i];
        const MPoint expected(-2.0 * r.cvIndex, r.cvIndex == 2 ? 1.0 : 0.0, -1.0 * r.cvIndex);
        EXPECT_TRUE(r.position.isEquivalent(expected, 1e-12)) << r.cvIndex;
        EXPECT_EQ(r.cvIndex, 4 - i);  // farthest first
        EXPECT_EQ(data.cvPoints[static_cast<unsigned int>(i)], r.position);
    }
}

TEST_F(FrameTest, SoftSelectionCarriesWeightsAndKeepsRampPositionsAtOne) {
    khost::setRichSelection({{fiveCvCurve(), {1, 3}, {0.5f, 0.25f}}});
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 5u);
    for (const CvRecord& r : data.cvRecords) {
        EXPECT_EQ(r.rampPosition, 1.0f);
        EXPECT_EQ(r.weight, r.cvIndex == 1 ? 0.5f : (r.cvIndex == 3 ? 0.25f : 1.0f)) << r.cvIndex;
        EXPECT_EQ(r.selected, r.cvIndex == 1 || r.cvIndex == 3);
    }
}

TEST_F(FrameTest, RampPositionsByDepthRankAndOneWhenAllSwitchesOff) {
    khost::setHilite(
        {khost::createCurve(khost::openCurve({{0, 0, 0}, {-3, 0, -3}, {-6, 0, -6}, {-9, 0, -9}}))});
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(data.cvRecords[i].rampPosition, 0.25f * static_cast<float>(i));
        EXPECT_EQ(data.cvRecords[i].cvIndex, 3 - i);
    }
    for (const char* a : {"useCVDistanceColor", "useHullDistanceColor", "useCurveDistanceColor"}) {
        khost::setAttr(manager, a, 0.0);
    }
    for (const CvRecord& r : frame().cvRecords) {
        EXPECT_EQ(r.rampPosition, 1.0f);
    }
}

TEST_F(FrameTest, CurveNamedTwiceIsHandledOnceAndMeshesAreSkipped) {
    const std::string mesh = khost::createMesh(khost::boxMesh({-1, -1, -1}, {1, 1, 1}));
    const std::string a = fiveCvCurve();
    const std::string b = fiveCvCurve(5.0);
    auto component = [](MFn::Type type, int element) {
        MFnSingleIndexedComponent fn;
        MObject obj = fn.create(type);
        fn.addElement(element);
        return obj;
    };
    // mesh, A with CV 2, A again with edit points (passed over), B with CV 0.
    MSelectionList list;
    list.add(khost::dagPath(khost::shapeOf(mesh)));
    list.add(khost::dagPath(khost::shapeOf(a)), component(MFn::kCurveCVComponent, 2));
    list.add(khost::dagPath(khost::shapeOf(a)), component(MFn::kCurveEPComponent, 1));
    list.add(khost::dagPath(khost::shapeOf(b)), component(MFn::kCurveCVComponent, 0));
    khost::setActiveList(list);
    khost::setHilite({a, b});

    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 10u);
    std::size_t samplesOfA = 0;
    for (const CurveSample& s : data.curveSamples) {
        EXPECT_LE(s.curveIndex, 1u);
        samplesOfA += s.curveIndex == 0 ? 1u : 0u;
    }
    EXPECT_EQ(2 * samplesOfA, data.curveSamples.size());  // same shape, each sampled once
    for (const CvRecord& r : data.cvRecords) {
        EXPECT_EQ(r.selected, r.cvIndex == (r.curveIndex == 0 ? 2u : 0u)) << r.curveIndex;
    }
    EXPECT_EQ(data.markerPoints.length(), 2u);
}

TEST_F(FrameTest, EditPointsOnAHilitedCurveAbandonTheFrame) {
    const std::string a = fiveCvCurve();
    const std::string b = fiveCvCurve(5.0);
    khost::selectCVs(b, {1});
    khost::selectComponents(a, MFn::kCurveEPComponent, {1}, {}, true, true);
    EXPECT_TRUE(allEmpty(frame()));
    EXPECT_EQ(cached(b), 1u);  // walked, sampled and cached before the abandoning item
}

TEST_F(FrameTest, ShowHullSwitchesTheHullLists) {
    khost::selectCVs(fiveCvCurve(), {1});
    EXPECT_TRUE(frame().hullLinePoints.empty());
    khost::setAttr(manager, "showHull", 1.0);
    const UserData& on = frame();
    ASSERT_EQ(on.hullLinePoints.size(), 1u);
    EXPECT_EQ(on.hullLinePoints[0].length(), 8u);
    EXPECT_EQ(on.hullLineColors[0].length(), 8u);
}

TEST_F(FrameTest, LargeFullySelectedCurveGivesEveryCvOnce) {
    std::vector<Vec3> cvs;
    std::vector<int> selected;
    for (int i = 0; i < 3000; ++i) {
        cvs.push_back({0.01 * i, std::sin(0.01 * i), 0.0});
        selected.push_back(2999 - 2 * (i / 2));
    }
    khost::selectCVs(khost::createCurve(khost::openCurve(cvs)), selected);
    khost::setAttr(manager, "showCurve", 0.0);
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 3000u);
    std::vector<int> seen(3000, 0);
    for (const CvRecord& r : data.cvRecords) {
        ++seen[r.cvIndex];
        EXPECT_EQ(r.selected, r.cvIndex % 2 == 1);
    }
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 3000);
}

TEST_F(FrameTest, ComponentIndicesBeyondARebuiltCurveAreSkipped) {
    const std::string c = khost::createCurve(
        khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}, {4, 0, 0}, {5, 1, 0}}));
    khost::selectCVs(c, {5, 1, 4});
    ASSERT_EQ(frame().cvRecords.size(), 6u);
    khost::setCVs(c, {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}});  // the selection still names 5, 1, 4
    const UserData& data = frame();
    ASSERT_EQ(data.cvRecords.size(), 4u);
    EXPECT_EQ(cvIndices(data, true), (std::set<uint32_t>{1}));
    EXPECT_EQ(cvIndices(data, false), (std::set<uint32_t>{0, 2, 3}));
}

// ------------------------------------------------------------------ selection key and caches

TEST_F(FrameTest, SelectionKeyEmptiesTheCachesOnlyWhileTheCurveIsShown) {
    const std::string a = fiveCvCurve();
    const std::string b = fiveCvCurve(5.0);
    khost::selectCVs(a, {0});
    frame();
    khost::clearSelection();
    khost::selectCVs(b, {0});
    frame();
    EXPECT_EQ(cached(a), 0u);
    EXPECT_EQ(cached(b), 1u);
    EXPECT_EQ(drawOverride().curveCache().size(), 1u);

    khost::setAttr(manager, "showCurve", 0.0);
    lastSelectionKey = "sentinel";
    khost::clearSelection();
    khost::selectCVs(a, {0});
    const UserData& data = frame();
    EXPECT_EQ(lastSelectionKey, "sentinel");
    EXPECT_TRUE(data.curveSamples.empty());
    EXPECT_TRUE(data.curveLinePoints.empty());
    EXPECT_EQ(data.cvRecords.size(), 5u);
    EXPECT_EQ(cached(b), 1u);
}

// ------------------------------------------------------------------ camera and markers

TEST_F(FrameTest, CameraUnderAMovedGroupUsesItsWorldPosition) {
    const std::string rig = khost::createTransform("rig");
    const std::string cam = khost::createCamera({0, 0, 10}, {0, 0, 0}, 54.43, "shotCam", rig);
    khost::setTranslate(rig, {5, 0, 0});
    const int view = khost::addView(cam);
    khost::selectCVs(fiveCvCurve(), {0});
    const UserData& data = frame(view);
    ASSERT_EQ(data.cvRecords.size(), 5u);
    for (const CvRecord& r : data.cvRecords) {
        EXPECT_NEAR(r.cameraDistance, r.position.distanceTo(MPoint(5.0, 0.0, 10.0)), 1e-9) << r.cvIndex;
    }
}

TEST_F(FrameTest, MarkersAreProjectedIntoTheViewBeingPrepared) {
    const int side = khost::addView(khost::createCamera({30, 2, 0}, {0, 0, 0}, 40.0, "side"), 800, 600);
    ASSERT_EQ(khost::activeView(), 0);
    khost::selectCVs(fiveCvCurve(), {1});
    khost::selectCVs(khost::createCurve(khost::openCurve({{3, 1, 2}, {4, 0, 2}, {5, 2, 2}, {6, 0, 2}})), {2},
                     true);
    khost::drawFrame();

    std::vector<MPoint> firstMarkers;
    for (int view : {0, side}) {
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, manager));
        ASSERT_NE(data, nullptr);
        ASSERT_EQ(data->markerPoints.length(), 2u);
        firstMarkers.push_back(data->markerPoints[0]);
        unsigned int marker = 0;
        for (const CvRecord& r : data->cvRecords) {
            if (r.cvIndex != 0) {
                continue;
            }
            double x = 0.0;
            double y = 0.0;
            khost::projectToView(view, {r.position.x, r.position.y, r.position.z}, x, y);
            const MPoint& m = data->markerPoints[marker++];
            EXPECT_EQ(m, MPoint(std::trunc(x), std::trunc(y), 0.0, 1.0)) << "view " << view;
            if (view == 0) {  // the active view: exactly what worldToView gives
                short vx = 0;
                short vy = 0;
                M3dView::active3dView().worldToView(r.position, vx, vy);
                EXPECT_EQ(m, MPoint(vx, vy, 0.0, 1.0));
            }
        }
    }
    EXPECT_FALSE(firstMarkers[0] == firstMarkers[1]);
}

TEST_F(FrameTest, FirstCvsBehindTheCameraOrOnItsPlaneGetNoMarker) {
    // Camera at z = 10 looking down +z: the first curve lies wholly behind
    // it, the second starts on the camera's plane, the third is in view.
    const int view = khost::addView(khost::createCamera({0, 0, 10}, {0, 0, 20}, 54.43, "away"));
    khost::selectCVs(fiveCvCurve(0.0), {1});
    khost::selectCVs(khost::createCurve(khost::openCurve({{1, 0, 10}, {1, 0, 12}, {1, 1, 14}, {1, 0, 16}})),
                     {2}, true);
    const std::string inView =
        khost::createCurve(khost::openCurve({{0, 0, 30}, {1, 0, 31}, {2, 1, 32}, {3, 0, 33}}));
    khost::selectCVs(inView, {0}, true);
    const UserData& data = frame(view);
    // Every CV is still a point (the draw manager clips points in 3D).
    ASSERT_EQ(data.cvPoints.length(), 13u);
    ASSERT_EQ(data.cvColors.length(), 13u);
    // One marker: the in-view curve's, on its own first CV.
    ASSERT_EQ(data.markerPoints.length(), 1u);
    ASSERT_EQ(data.markerColors.length(), 1u);
    double x = 0.0;
    double y = 0.0;
    khost::projectToView(view, {0, 0, 30}, x, y);
    EXPECT_EQ(data.markerPoints[0], MPoint(std::trunc(x), std::trunc(y), 0.0, 1.0));
}

}  // namespace
