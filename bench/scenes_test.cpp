// The benchmark scenes must measure what their names claim: the right number
// of CVs drawn, real selections, curve caches that hit on steady frames and
// miss on cold ones, an occluder that hides part of the CVs, a second view.
// Small versions of the same builders keep this quick.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MGlobal.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "floor.h"
#include "scenes.h"

namespace knotlens_bench {
namespace {

class BenchScenes : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) << error;
    }
    void TearDown() override {
        khost::ConsoleCapture quiet;
        sceneCache().invalidate();
        khost::newScene();
    }
    // One frame with the node's settings applied first; output stays quiet.
    static void frame(const BuiltScene& scene, const OverlaySettings& settings) {
        ASSERT_EQ(applySettings(scene, settings), "");
        khost::drawFrame();
    }
};

// ---------------------------------------------------------------- floor

// The order a comparison sort gives: ascending key, equal keys in index order.
std::vector<uint32_t> referenceOrder(const std::vector<uint64_t>& keys) {
    std::vector<uint32_t> order(keys.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = static_cast<uint32_t>(i);
    }
    std::sort(order.begin(), order.end(),
              [&keys](uint32_t a, uint32_t b) { return keys[a] != keys[b] ? keys[a] < keys[b] : a < b; });
    return order;
}

TEST(Floor, KeysOrderDistancesFarthestFirstWithNaNFirst) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<double> descending = {inf, 1e300, 45.5, 45.25, 1.0, 1e-300, 0.0, -1.0, -inf};
    EXPECT_EQ(floorKey(nan), 0u);
    for (std::size_t i = 0; i < descending.size(); ++i) {
        EXPECT_GT(floorKey(descending[i]), 0u) << descending[i];
        if (i > 0) {
            EXPECT_LT(floorKey(descending[i - 1]), floorKey(descending[i])) << descending[i];
        }
    }
}

TEST(Floor, RadixAndComparisonPathsGiveTheComparisonSortOrderTiesIncluded) {
    // Scene distances, many ties, keys that differ only in the lowest or only
    // in the highest digit (a pass skipped or not), and NaN.
    std::mt19937_64 random(7);
    std::vector<std::vector<uint64_t>> inputs;
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{200}, std::size_t{1023},
                          std::size_t{1024}, std::size_t{6000}}) {
        const FloorInput in = makeFloorInput(n);
        std::vector<uint64_t> keys;
        for (double d : in.distances) {
            keys.push_back(floorKey(d));
        }
        inputs.push_back(keys);
    }
    std::vector<uint64_t> tied(5000);
    for (uint64_t& key : tied) {
        key = floorKey(static_cast<double>(random() % 17));
    }
    inputs.push_back(tied);
    std::vector<uint64_t> low(3000), high(3000), mixed(4000);
    for (std::size_t i = 0; i < low.size(); ++i) {
        low[i] = uint64_t{0x4045000000000000} + random() % 2048;
        high[i] = (random() % 2048) << 53;
    }
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        mixed[i] = i % 5 == 0 ? 0 : random();
    }
    inputs.push_back(low);
    inputs.push_back(high);
    inputs.push_back(mixed);

    for (std::size_t k = 0; k < inputs.size(); ++k) {
        const std::vector<uint32_t> expected = referenceOrder(inputs[k]);
        for (bool forceRadix : {false, true}) {
            std::vector<uint64_t> keys = inputs[k];
            FloorOutput out;
            out.order.assign(3, 99);  // stale content from a previous frame
            floorOrder(keys, out, forceRadix);
            EXPECT_EQ(out.order, expected) << "input " << k << (forceRadix ? " (radix)" : "");
            // The same storage again gives the same order.
            keys = inputs[k];
            floorOrder(keys, out, forceRadix);
            EXPECT_EQ(out.order, expected) << "input " << k << " again";
        }
    }
}

TEST(Floor, WritesEveryPointAndColourInDrawingOrder) {
    for (std::size_t n : {std::size_t{200}, std::size_t{6000}}) {
        const FloorInput in = makeFloorInput(n);
        ASSERT_EQ(in.points.size(), n);
        ASSERT_EQ(in.colors.size(), n);
        // The input is not already ordered, otherwise the sort would cost nothing.
        EXPECT_FALSE(std::is_sorted(in.distances.begin(), in.distances.end(), std::greater<double>()));
        EXPECT_FALSE(std::is_sorted(in.distances.begin(), in.distances.end()));

        FloorOutput out;
        out.points.append(MPoint(99, 99, 99));  // stale content from a previous frame
        for (int round = 0; round < 2; ++round) {
            runFloor(in, out);
            ASSERT_EQ(out.points.length(), n);
            ASSERT_EQ(out.colors.length(), n);
            ASSERT_EQ(out.order.size(), n);
            std::vector<double> drawn;
            for (unsigned int j = 0; j < n; ++j) {
                const uint32_t source = out.order[j];
                ASSERT_LT(source, n);
                ASSERT_EQ(out.points[j], in.points[source]) << j;
                ASSERT_EQ(out.colors[j], in.colors[source]) << j;
                drawn.push_back(out.points[j].distanceTo(in.camera));
            }
            EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end(), std::greater<double>()));
            EXPECT_TRUE(std::is_permutation(drawn.begin(), drawn.end(), in.distances.begin()));
        }
        FloorOutput reference;
        runFloorComparisonSort(in, reference);
        EXPECT_TRUE(
            std::is_sorted(reference.distances.begin(), reference.distances.end(), std::greater<double>()));
        EXPECT_EQ(reference.points.length(), n);
    }
}

TEST(Floor, InputFollowsTheGuideCurveLayoutForAnyN) {
    // N not a multiple of ten: the last curve is cut short, the count stays exact.
    const FloorInput in = makeFloorInput(205);
    ASSERT_EQ(in.points.size(), 205u);
    const auto first = guideCurveCVs(0, 21, 10);
    EXPECT_EQ(in.points[0], MPoint(first[0][0], first[0][1], first[0][2]));
    EXPECT_EQ(in.points[9], MPoint(first[9][0], first[9][1], first[9][2]));
    EXPECT_DOUBLE_EQ(in.distances[9], in.points[9].distanceTo(MPoint(28.0, 21.0, 28.0)));
    ASSERT_EQ(in.curves.size(), 21u);
    EXPECT_EQ(in.curves[20].length(), 5u);
    EXPECT_EQ(in.curves[1][0], in.points[10]);
}

// ---------------------------------------------------------------- geometry

TEST(Geometry, OccluderMeshesHaveTheTriangleCountsTheBenchmarksQuote) {
    for (std::size_t triangles : {std::size_t{1000}, std::size_t{100000}}) {
        const khost::MeshDesc mesh = occluderMesh(triangles, 15.0, 3.0);
        EXPECT_EQ(triangleCount(mesh), triangles);
        for (const auto& face : mesh.faces) {
            for (int v : face) {
                ASSERT_GE(v, 0);
                ASSERT_LT(static_cast<std::size_t>(v), mesh.vertices.size());
            }
        }
        for (const auto& p : mesh.vertices) {
            EXPECT_EQ(p[1], 3.0);
            EXPECT_LE(std::max(std::abs(p[0]), std::abs(p[2])), 15.0 + 1e-12);
        }
    }
}

TEST(Geometry, GuideCurvesHaveDistinctRootsAndRiseAlongY) {
    const std::size_t count = 50;
    std::set<std::pair<double, double>> roots;
    for (std::size_t i = 0; i < count; ++i) {
        const auto cvs = guideCurveCVs(i, count, 10);
        ASSERT_EQ(cvs.size(), 10u);
        roots.insert({cvs.front()[0], cvs.front()[2]});
        EXPECT_EQ(cvs.front()[1], 0.0);
        EXPECT_DOUBLE_EQ(cvs.back()[1], 8.0);
        for (std::size_t j = 1; j < cvs.size(); ++j) {
            EXPECT_GT(cvs[j][1], cvs[j - 1][1]);
        }
    }
    EXPECT_EQ(roots.size(), count);
}

TEST(Geometry, HelixCVsAreDistinct) {
    const auto cvs = helixCVs(2000);
    ASSERT_EQ(cvs.size(), 2000u);
    for (std::size_t j = 1; j < cvs.size(); ++j) {
        const double dx = cvs[j][0] - cvs[j - 1][0], dy = cvs[j][1] - cvs[j - 1][1],
                     dz = cvs[j][2] - cvs[j - 1][2];
        EXPECT_GT(dx * dx + dy * dy + dz * dz, 1e-6) << j;
    }
}

// ---------------------------------------------------------------- scenes

TEST_F(BenchScenes, EveryGuideCurveLiesInsideTheDefaultView) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildHilitedGuides(100, 10);
    ASSERT_EQ(scene.curves.size(), 100u);
    for (const auto& cvs : scene.restCVs) {
        for (const auto& p : cvs) {
            double x = -1, y = -1;
            ASSERT_TRUE(khost::projectToView(0, p, x, y));
            EXPECT_GT(x, 0.0);
            EXPECT_LT(x, 640.0);
            EXPECT_GT(y, 0.0);
            EXPECT_LT(y, 480.0);
        }
    }
}

TEST_F(BenchScenes, HiliteByMergesGivesTheListTheHarnessGives) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildHilitedGuides(37, 4);  // an odd count leaves an unpaired list at each level
    MSelectionList merged;
    MGlobal::getHiliteList(merged);
    khost::setHilite(scene.curves);
    MSelectionList reference;
    MGlobal::getHiliteList(reference);
    MStringArray a, b;
    merged.getSelectionStrings(a);
    reference.getSelectionStrings(b);
    ASSERT_EQ(a.length(), 37u);
    ASSERT_EQ(a.length(), b.length());
    for (unsigned int i = 0; i < a.length(); ++i) {
        EXPECT_EQ(std::string(a[i].asChar()), std::string(b[i].asChar())) << i;
    }
}

TEST_F(BenchScenes, RigDrawsEveryCVWithTheChosenOnesSelected) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildRig(12, 20, {2, 9, 16});
    EXPECT_EQ(scene.cvsPerView, 12u * 20u);
    EXPECT_EQ(scene.selectedPerView, 12u * 3u);
    frame(scene, {});
    EXPECT_EQ(checkDrawn(scene), "");

    // The host reports the CV components in the active list, one item per curve.
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    EXPECT_EQ(active.length(), 12u);
}

TEST_F(BenchScenes, CheckDrawnNoticesASceneThatDrawsLessThanItClaims) {
    khost::ConsoleCapture quiet;
    BuiltScene scene = buildHilitedGuides(5, 10);
    frame(scene, {});
    ASSERT_EQ(checkDrawn(scene), "");
    scene.cvsPerView += 1;
    EXPECT_NE(checkDrawn(scene), "");
    scene.cvsPerView -= 1;
    scene.curves.push_back("notDrawn");
    EXPECT_NE(checkDrawn(scene), "");
}

TEST_F(BenchScenes, DenseCurveHasEveryCVSelected) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildDenseSelected(200);
    ASSERT_EQ(scene.curves.size(), 1u);
    EXPECT_EQ(scene.cvsPerView, 200u);
    frame(scene, {});
    EXPECT_EQ(checkDrawn(scene), "");
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MStringArray strings;
    active.getSelectionStrings(strings);
    ASSERT_EQ(strings.length(), 1u);  // one contiguous run: every CV
    EXPECT_NE(std::string(strings[0].asChar()).find("cv[0:199]"), std::string::npos) << strings[0].asChar();
}

TEST_F(BenchScenes, SteadyFramesHitTheCurveCacheAndMovedCurvesMissIt) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildHilitedGuides(20, 10);
    OverlaySettings curveOn;
    curveOn.showCurve = true;
    frame(scene, curveOn);
    ASSERT_EQ(checkDrawn(scene), "");
    EXPECT_GT(summarizeDrawn(0, scene.node).lineVertices, 0u);

    khost::resetCounters();
    frame(scene, curveOn);
    EXPECT_EQ(khost::counters().getPointAtParam, 0u) << "a steady frame re-evaluated curves";

    for (int phase : {1, 0, 1}) {
        moveCurves(scene, phase);
        khost::resetCounters();
        frame(scene, curveOn);
        // 20 curves of 7 spans at 5 divisions: every curve evaluated again.
        EXPECT_GE(khost::counters().getPointAtParam, 20u * 7u * 5u) << "phase " << phase;
    }
}

TEST_F(BenchScenes, OccluderHidesTheLowerCVsWithOneRayPerCV) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildOccluded(40, 10, 1000);
    ASSERT_FALSE(scene.occluder.empty());
    EXPECT_EQ(scene.occluderTriangles, 1000u);

    OverlaySettings off;
    frame(scene, off);
    ASSERT_EQ(checkDrawn(scene), "");
    EXPECT_EQ(summarizeDrawn(0, scene.node).transparentPoints, 0u);

    OverlaySettings on;
    on.occlusion = true;
    khost::resetCounters();
    frame(scene, on);
    EXPECT_EQ(khost::counters().anyIntersection, scene.cvsPerView);
    // The grid at y = 3 hides the four lowest CVs of each curve (y = 0, 8/9, 16/9, 24/9).
    EXPECT_EQ(summarizeDrawn(0, scene.node).transparentPoints, 40u * 4u);
}

TEST_F(BenchScenes, SoftSelectionReachesTheHostsRichSelection) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildSoftSelection(30, 10, 6);
    MRichSelection rich;
    MGlobal::getRichSelection(rich, false);
    MSelectionList list;
    rich.getSelection(list);
    EXPECT_EQ(list.length(), 30u);
    frame(scene, {});
    EXPECT_EQ(checkDrawn(scene), "");
}

TEST_F(BenchScenes, TwoViewsBothDrawTheOverlay) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildTwoViews(25, 10);
    EXPECT_EQ(scene.views, 2);
    EXPECT_EQ(khost::activeView(), 0);
    frame(scene, {});
    EXPECT_EQ(checkDrawn(scene), "");
    EXPECT_EQ(summarizeDrawn(1, scene.node).points, 250u);
}

TEST_F(BenchScenes, CacheBuildsASceneOncePerKey) {
    SceneCache cache;
    int calls = 0;
    auto build = [&calls] {
        ++calls;
        return buildHilitedGuides(3, 4);
    };
    const std::string node = cache.use("a", build).node;
    EXPECT_FALSE(node.empty());
    cache.use("a", build);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(cache.builds(), 1);
    cache.use("b", build);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(cache.currentKey(), "b");
    cache.invalidate();
    cache.use("b", build);
    EXPECT_EQ(calls, 3);
}

TEST_F(BenchScenes, SettingsReachTheNode) {
    khost::ConsoleCapture quiet;
    const BuiltScene scene = buildOccluded(2, 4, 2);
    OverlaySettings s;
    s.showCurve = true;
    s.curveDivisions = 64;
    s.showHull = true;
    s.occlusion = true;
    s.lazyUpdate = true;
    ASSERT_EQ(applySettings(scene, s), "");
    EXPECT_EQ(khost::getAttr(scene.node, "showCurve"), 1.0);
    EXPECT_EQ(khost::getAttr(scene.node, "curveDivisions"), 64.0);
    EXPECT_EQ(khost::getAttr(scene.node, "showHull"), 1.0);
    EXPECT_EQ(khost::getAttr(scene.node, "useCVOcclusion"), 1.0);
    EXPECT_EQ(khost::getAttr(scene.node, "lazyUpdate"), 1.0);
    EXPECT_EQ(khost::getAttrString(scene.node, "occluderMeshName"), scene.occluder);
    // Turning the switches off again must take effect too (scenes are shared between benchmarks).
    ASSERT_EQ(applySettings(scene, OverlaySettings{}), "");
    EXPECT_EQ(khost::getAttr(scene.node, "showCurve"), 0.0);
    EXPECT_EQ(khost::getAttr(scene.node, "useCVOcclusion"), 0.0);
    EXPECT_EQ(khost::getAttr(scene.node, "curveDivisions"), 5.0);
}

}  // namespace
}  // namespace knotlens_bench
