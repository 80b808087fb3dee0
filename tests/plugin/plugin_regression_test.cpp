// Bad and extreme scene input that the scene fuzzer (fuzz/) and the soak
// found the overlay mishandling, each reduced to the smallest scene that
// shows it. Whatever the scene holds, the draw manager must receive only
// finite points, colours, widths, sizes and radii, one point per CV and one
// marker per curve, and the caches must stay bounded by the curves drawn.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MColor.h>
#include <maya/MFnPlugin.h>
#include <maya/MPoint.h>
#include <maya/MUIDrawManager.h>

#include <khost/harness.h>

#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "node/selection_tracker.h"
#include "overlay/draw_override.h"
#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::DrawCall;
using khost::Vec3;
using Kind = khost::DrawCall::Kind;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool finite(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

bool finite(const MColor& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

// The first value handed to the draw manager that is NaN or infinite, as
// text; empty when every value is finite.
std::string firstNonFinite(const std::vector<DrawCall>& calls) {
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const DrawCall& call = calls[i];
        std::ostringstream where;
        where << "call " << i << " (" << khost::toString(call.kind) << ")";
        if ((call.kind == Kind::SetPointSize || call.kind == Kind::SetLineWidth) &&
            !std::isfinite(call.value)) {
            return where.str() + " value";
        }
        if (call.kind == Kind::SetColor && !finite(call.color)) {
            return where.str() + " colour";
        }
        if (call.kind == Kind::Circle2d && (!finite(call.center) || !std::isfinite(call.radius))) {
            return where.str() + " circle";
        }
        for (unsigned int k = 0; k < call.points.length(); ++k) {
            if (!finite(call.points[k])) {
                return where.str() + " point " + std::to_string(k);
            }
        }
        for (unsigned int k = 0; k < call.colors.length(); ++k) {
            if (!finite(call.colors[k])) {
                return where.str() + " colour " + std::to_string(k);
            }
        }
    }
    return "";
}

// Number of calls of a kind, and points handed over in kPoints meshes.
std::size_t countCalls(const std::vector<DrawCall>& calls, Kind kind) {
    std::size_t n = 0;
    for (const DrawCall& call : calls) {
        n += call.kind == kind ? 1 : 0;
    }
    return n;
}

unsigned int drawnCvPoints(const std::vector<DrawCall>& calls) {
    for (const DrawCall& call : calls) {
        if (call.kind == Kind::Mesh && call.primitive == MHWRender::MUIDrawManager::kPoints) {
            return call.points.length();
        }
    }
    return 0;
}

class RegressionTest : public knotlens_test::ManagerTest {
protected:
    // Draws a frame and returns the calls made for the node in view 0.
    const std::vector<DrawCall>& frame() {
        khost::drawFrame();
        return khost::drawCalls(0, manager);
    }

    const UserData& record(int view = 0) const {
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, manager));
        static const UserData none;
        return data != nullptr ? *data : none;
    }

    DrawOverride& drawOverride() const { return *static_cast<DrawOverride*>(khost::drawOverride(manager)); }

    static std::string curve(const std::vector<Vec3>& cvs, int degree = 3) {
        std::string error;
        const std::string made = khost::createCurve(khost::openCurve(cvs, degree), "", "", &error);
        EXPECT_FALSE(made.empty()) << error;
        return made;
    }

    static std::vector<Vec3> row(int count, double z) {
        std::vector<Vec3> cvs;
        for (int i = 0; i < count; ++i) {
            cvs.push_back({{2.0 * i - count, (i % 2) * 1.5, z}});
        }
        return cvs;
    }
};

// ------------------------------------------------------------------ non-finite geometry

TEST_F(RegressionTest, NonFiniteCvsReachNoDrawCallAndOtherCurvesStillDraw) {
    const std::string bad = curve({{0, 0, 0}, {1, kNaN, 0}, {2, 1, kInf}, {3, 0, 0}, {4, 1, -kInf}});
    const std::string good = curve(row(5, 3.0));
    khost::selectCVs(bad, {0, 1, 2, 3, 4});
    khost::selectCVs(good, {0}, true);
    khost::setAttr(manager, "showHull", 1.0);

    const std::vector<DrawCall>& calls = frame();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(firstNonFinite(calls), "");
    // The finite curve keeps all five points and its marker.
    EXPECT_GE(drawnCvPoints(calls), 5u);
    EXPECT_GE(countCalls(calls, Kind::Circle2d), 1u);
}

TEST_F(RegressionTest, FiniteCvsThatOverflowInWorldSpaceReachNoDrawCall) {
    const std::string c = curve({{0, 0, 0}, {1e300, 1, 0}, {2, -1e300, 0}, {3, 0, 1e300}, {4, 0, 0}});
    khost::setScale(c, {{1e10, 1e10, 1e10}});
    khost::selectCVs(c, {1, 3});
    khost::setAttr(manager, "showHull", 1.0);
    EXPECT_EQ(firstNonFinite(frame()), "");
}

// ------------------------------------------------------------------ settings beyond their ranges

TEST_F(RegressionTest, NonFiniteSizesAndWidthsFromConnectionsAreNotHandedOver) {
    const std::string c = curve(row(5, 0.0));
    khost::selectCVs(c, {2});
    khost::setAttr(manager, "showHull", 1.0);
    for (double bad : {kNaN, kInf, -kInf}) {
        ASSERT_TRUE(khost::forceAttr(manager, "pointSize", bad));
        ASSERT_TRUE(khost::forceAttr(manager, "lineWidth", bad));
        ASSERT_TRUE(khost::forceAttr(manager, "hullWidth", bad));
        const std::vector<DrawCall>& calls = frame();
        EXPECT_EQ(countCalls(calls, Kind::Circle2d), 1u) << bad;
        EXPECT_EQ(firstNonFinite(calls), "") << bad;
    }
}

TEST_F(RegressionTest, NonFiniteColoursAndAlphasFromConnectionsAreNotHandedOver) {
    const std::string c = curve(row(6, 0.0));
    khost::selectCVs(c, {1, 4});
    khost::setAttr(manager, "showHull", 1.0);
    for (const char* colour : {"curveColor", "hullColor", "selectedPointColor", "deselectedPointColor"}) {
        ASSERT_TRUE(khost::forceAttr(manager, colour, kNaN, kInf, -kInf));
    }
    for (const char* alpha : {"curveAlpha", "hullAlpha", "selectedPointAlpha", "deselectedPointAlpha"}) {
        ASSERT_TRUE(khost::forceAttr(manager, alpha, kNaN));
    }
    EXPECT_EQ(firstNonFinite(frame()), "");
}

TEST_F(RegressionTest, RampBoundsFromConnectionsCannotOverflowColours) {
    const std::string c = curve(row(6, 0.0));
    khost::selectCVs(c, {0, 3});
    khost::setAttr(manager, "showHull", 1.0);
    // Large but finite colours times a ramp top far above 1 would overflow.
    for (const char* colour : {"curveColor", "hullColor", "selectedPointColor", "deselectedPointColor"}) {
        ASSERT_TRUE(khost::forceAttr(manager, colour, 1e38, 1e38, 1e38));
    }
    ASSERT_TRUE(khost::forceAttr(manager, "distanceColorMax", 1e38));
    EXPECT_EQ(firstNonFinite(frame()), "");

    ASSERT_TRUE(khost::forceAttr(manager, "distanceColorMin", kNaN));
    ASSERT_TRUE(khost::forceAttr(manager, "distanceColorMax", kNaN));
    EXPECT_EQ(firstNonFinite(frame()), "");
}

TEST_F(RegressionTest, SoftSelectionWeightsOutsideZeroToOneCannotOverflowColours) {
    const std::string c = curve(row(5, 0.0));
    ASSERT_TRUE(khost::forceAttr(manager, "selectedPointColor", 1e38, 1e38, 1e38));
    khost::setAttr(manager, "showHull", 1.0);
    khost::setRichSelection(
        {{c,
          {0, 1, 2, 3},
          {3e38f, -1e38f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}}});
    EXPECT_EQ(firstNonFinite(frame()), "");
}

// ------------------------------------------------------------------ selections

TEST_F(RegressionTest, ComponentNamingACvTwiceGivesOnePointAndOneMarker) {
    const std::string c = curve(row(5, 0.0));
    khost::setRichSelection({{c, {0, 0, 2, 0, 2}, {0.5f, 0.25f, 1.0f, 1.0f, 0.5f}}});
    const std::vector<DrawCall>& calls = frame();
    EXPECT_EQ(drawnCvPoints(calls), 5u);
    EXPECT_EQ(countCalls(calls, Kind::Circle2d), 1u);
    EXPECT_EQ(record().cvRecords.size(), 5u);
}

TEST_F(RegressionTest, ComponentIndicesOutsideTheCurveAreSkipped) {
    const std::string c = curve(row(5, 0.0));
    khost::setRichSelection({{c, {-1, 4, 5, 32767, -32768}, {1.0f, 0.5f, 1.0f, 1.0f, 1.0f}}});
    const std::vector<DrawCall>& calls = frame();
    EXPECT_EQ(drawnCvPoints(calls), 5u);
    ASSERT_EQ(record().cvRecords.size(), 5u);
    int selected = 0;
    for (const CvRecord& r : record().cvRecords) {
        selected += r.selected ? 1 : 0;
    }
    EXPECT_EQ(selected, 1);  // CV 4 only
}

// With lazyUpdate on and the selection fetched once, the tracked selection
// changes only through the selection callback. A curve deleted while tracked
// must not be drawn or sampled again.
TEST_F(RegressionTest, TrackedCurveDeletedUnderLazyUpdateIsNotDrawn) {
    const std::string kept = curve(row(5, 0.0));
    const std::string doomed = curve(row(6, 3.0));
    khost::setAttr(manager, "lazyUpdate", 1.0);
    khost::setHilite({kept, doomed});  // hilited curves show all their CVs
    ASSERT_EQ(drawnCvPoints(frame()), 11u);

    ASSERT_TRUE(khost::deleteNode(doomed));
    const std::vector<DrawCall>& calls = frame();
    EXPECT_EQ(firstNonFinite(calls), "");
    EXPECT_EQ(drawnCvPoints(calls), 5u);
    EXPECT_EQ(countCalls(calls, Kind::Circle2d), 1u);
    for (const std::string& name : drawOverride().curveCache().curveNames()) {
        EXPECT_EQ(name.find(doomed), std::string::npos) << name;
    }
}

// The tracked selection is process-wide and, with lazyUpdate on, changes only
// through the selection callbacks of live nodes. Between the deletion of the
// only node and the creation of the next, nobody follows the selection.
TEST_F(RegressionTest, CurveDeletedWhileNoNodeFollowedTheSelectionIsNotDrawn) {
    const std::string kept = curve(row(5, 0.0));
    const std::string doomed = curve(row(6, 3.0));
    khost::setHilite({kept});
    khost::selectCVs(doomed, {1, 2});        // an item naming the curve's shape
    ASSERT_EQ(drawnCvPoints(frame()), 11u);  // primes the tracked selection
    const unsigned int trackedItems = trackedSelection.length();

    ASSERT_TRUE(khost::deleteNode(manager));
    ASSERT_TRUE(khost::deleteNode(doomed));
    std::string error;
    manager = khost::createNode("QVTK_Tessark_DrawManagerNode", "", &error);
    ASSERT_FALSE(manager.empty()) << error;
    khost::setAttr(manager, "lazyUpdate", 1.0);
    ASSERT_EQ(trackedSelection.length(), trackedItems)
        << "the tracked selection should still name the deleted curve";
    const std::vector<DrawCall>& calls = frame();
    EXPECT_EQ(firstNonFinite(calls), "");
    EXPECT_LE(drawnCvPoints(calls), 5u) << "the deleted curve is drawn";
    for (const std::string& name : drawOverride().curveCache().curveNames()) {
        EXPECT_EQ(name.find(doomed), std::string::npos) << name;
    }
}

// ------------------------------------------------------------------ cameras and occluders

TEST_F(RegressionTest, CameraOnACvOrAtANonFinitePositionDrawsFiniteValues) {
    const std::string c = curve(row(5, 0.0));
    khost::selectCVs(c, {1});
    khost::setAttr(manager, "showHull", 1.0);
    const std::vector<Vec3> cvs = row(5, 0.0);
    const std::string onCv = khost::createCamera(cvs[2], {{0, 0, 10}});
    const std::string nowhere = khost::createCamera({{kNaN, 0, kInf}}, {{0, 0, 0}});
    ASSERT_FALSE(onCv.empty());
    ASSERT_FALSE(nowhere.empty());
    const int onCvView = khost::addView(onCv);
    const int nowhereView = khost::addView(nowhere);
    khost::drawFrame();
    for (int view : {0, onCvView, nowhereView}) {
        const std::vector<DrawCall>& calls = khost::drawCalls(view, manager);
        ASSERT_FALSE(calls.empty()) << view;
        EXPECT_EQ(firstNonFinite(calls), "") << view;
        EXPECT_EQ(drawnCvPoints(calls), 5u) << view;
    }
}

TEST_F(RegressionTest, CameraInsideADegenerateOccluderHidesNothingUnexpectedly) {
    const std::string c = curve(row(5, 0.0));
    khost::MeshDesc degenerate;
    degenerate.vertices = {{{0, 0, 5}}, {{0, 0, 5}}, {{1, 1, 5}}, {{2, 2, 5}}};
    degenerate.faces = {{0, 1, 2}, {1, 2, 3}, {0, 0, 0}};  // every triangle has zero area
    const std::string occluder = khost::createMesh(degenerate);
    ASSERT_FALSE(occluder.empty());
    ASSERT_TRUE(khost::setAttrString(manager, "occluderMeshName", occluder));
    khost::setAttr(manager, "useCVOcclusion", 1.0);
    khost::selectCVs(c, {0});
    const std::string inside = khost::createCamera({{0.5, 0.5, 5}}, {{0, 0, 0}});
    khost::setActiveView(khost::addView(inside));
    khost::drawFrame();
    for (int view = 0; view < khost::viewCount(); ++view) {
        const std::vector<DrawCall>& calls = khost::drawCalls(view, manager);
        EXPECT_EQ(firstNonFinite(calls), "") << view;
        // A mesh without area covers nothing: every CV stays opaque.
        const UserData& data = record(view);
        ASSERT_EQ(data.cvColors.length(), 5u) << view;
        for (unsigned int i = 0; i < data.cvColors.length(); ++i) {
            EXPECT_GT(data.cvColors[i].a, 0.0f) << view << " " << i;
        }
    }
}

// ------------------------------------------------------------------ caches

// With two draw manager nodes, the selection key is shared: the node
// prepared first empties its caches on a selection change and stores the
// new key, so the other never sees the change. Its caches must still not
// keep curves that left the selection.
TEST_F(RegressionTest, SecondNodeCachesStayBoundedWhileTheSelectionMoves) {
    std::string error;
    const std::string second = khost::createNode("QVTK_Tessark_DrawManagerNode", "", &error);
    ASSERT_FALSE(second.empty()) << error;
    // Curves come and go under names never used again, as in a long session.
    for (int i = 0; i < 40; ++i) {
        const std::string c =
            khost::createCurve(khost::openCurve(row(5, double(i))), "moving" + std::to_string(i));
        ASSERT_FALSE(c.empty());
        khost::select({c});
        khost::drawFrame();
        ASSERT_TRUE(khost::deleteNode(c));
    }
    const std::string last = curve(row(5, 50.0));
    khost::select({last});
    khost::drawFrame();
    for (const std::string& node : {manager, second}) {
        const auto* override = static_cast<const DrawOverride*>(khost::drawOverride(node));
        ASSERT_NE(override, nullptr);
        EXPECT_LE(override->curveCache().size(), 1u) << node;
    }
}

}  // namespace
