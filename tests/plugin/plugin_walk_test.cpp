// The selection walk on its own: which items give curves and CV records, how
// curves are numbered, which CVs are selected with which weights, when the
// curve cache is asked for samples, and when the frame is abandoned.
#include <gtest/gtest.h>

#include <maya/M3dView.h>
#include <maya/MFn.h>
#include <maya/MPoint.h>

#include <khost/harness.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "node/selection_tracker.h"
#include "overlay/curve_cache.h"
#include "overlay/selection_walk.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

class WalkTest : public knotlens_test::PluginTest {
protected:
    static std::string fiveCvCurve(double z) {
        return khost::createCurve(
            khost::openCurve({{0, 0, z}, {-2, 0, z - 1}, {-4, 1, z - 2}, {-6, 0, z - 3}, {-8, 0, z - 4}}));
    }
    // Walks the host's selection as a frame does, with the curve overlay on
    // when `withSamples`.
    bool walk(bool withSamples) {
        refreshTrackedSelection(nullptr);
        records.clear();
        keys.clear();
        samples.clear();
        curves.clear();
        RecordSink sink(records, keys, camera);
        CurveSampling sampling;
        if (withSamples) {
            sampling = {&cache, 4, &curves};
        }
        const bool walked = selectionWalk.walk(trackedSelection, sampling, sink);
        for (const SampledCurve& curve : curves) {
            appendCachedSamples(*curve.entry, curve.curveIndex, MColor(0.1f, 0.2f, 0.3f, 0.4f), samples);
        }
        return walked;
    }
    // (curve, CV) of every record, in record order.
    std::vector<std::pair<uint32_t, uint32_t>> ids() const {
        std::vector<std::pair<uint32_t, uint32_t>> result;
        for (const CvRecord& r : records) {
            result.emplace_back(r.curveIndex, r.cvIndex);
        }
        return result;
    }

    SelectionWalk selectionWalk;
    CurveCache cache;
    std::vector<CvRecord> records;
    std::vector<uint64_t> keys;
    std::vector<SampledCurve> curves;
    std::vector<CurveSample> samples;
    MPoint camera{3.0, 4.0, 12.0, 1.0};
};

using Ids = std::vector<std::pair<uint32_t, uint32_t>>;

TEST_F(WalkTest, CurvesNumberedOncePerShapeComponentOrderFirstAndDistancesKeyed) {
    const std::string mesh = khost::createMesh(khost::boxMesh({-1, -1, -1}, {1, 1, 1}));
    const std::string a = fiveCvCurve(0.0);
    const std::string b = fiveCvCurve(5.0);
    khost::select({mesh});
    // CV 3 twice, and two indices outside the curve: one record each for 3 and 1.
    khost::selectCVs(a, {3, 1, 3, 9, -1}, true);
    khost::setHilite({a, b});  // names the first curve again
    ASSERT_TRUE(walk(false));
    ASSERT_EQ(trackedSelection.length(), 4u);  // the mesh, the first curve twice, the second
    EXPECT_EQ(ids(), (Ids{{0, 3}, {0, 1}, {0, 0}, {0, 2}, {0, 4}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}}));
    ASSERT_EQ(keys.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CvRecord& r = records[i];
        EXPECT_EQ(r.selected, i < 2) << i;
        EXPECT_EQ(r.weight, 1.0f) << i;
        EXPECT_EQ(r.rampPosition, 1.0f) << i;
        EXPECT_EQ(r.alphaScale, 1.0f) << i;
        EXPECT_EQ(r.cameraDistance, r.position.distanceTo(camera)) << i;
        EXPECT_EQ(keys[i], depthKey(r.cameraDistance)) << i;
    }
    EXPECT_TRUE(samples.empty());
    EXPECT_EQ(cache.size(), 0u);
}

TEST_F(WalkTest, SoftSelectionWeightsAndObjectSelectedCurvesGiveNoRecords) {
    const std::string a = fiveCvCurve(0.0);
    const std::string b = fiveCvCurve(5.0);
    khost::setRichSelection({{a, {4, 2}, {0.5f, 0.25f}}, {b, {}, {}}});
    khost::setDisplayStatusOverride(b, M3dView::kActive);  // its curve line only
    ASSERT_TRUE(walk(true));
    EXPECT_EQ(ids(), (Ids{{0, 4}, {0, 2}, {0, 0}, {0, 1}, {0, 3}}));
    EXPECT_EQ(records[0].weight, 0.5f);
    EXPECT_EQ(records[1].weight, 0.25f);
    EXPECT_EQ(records[2].weight, 1.0f);
    // Both curves are sampled (2 spans x 4 + 1 each) and numbered.
    ASSERT_EQ(samples.size(), 18u);
    EXPECT_EQ(samples.front().curveIndex, 0u);
    EXPECT_EQ(samples.back().curveIndex, 1u);
    EXPECT_EQ(cache.size(), 2u);
}

TEST_F(WalkTest, NonFiniteCurveKeepsItsNumberAndAnotherComponentTypeAbandons) {
    const std::string a = fiveCvCurve(0.0);
    const std::string b = fiveCvCurve(5.0);
    khost::setCV(a, 2, {std::numeric_limits<double>::quiet_NaN(), 0.0, 0.0});
    khost::setHilite({a, b});
    ASSERT_TRUE(walk(true));
    EXPECT_EQ(ids(), (Ids{{1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}}));
    ASSERT_EQ(samples.size(), 9u);
    EXPECT_EQ(samples.front().curveIndex, 1u);

    khost::selectComponents(b, MFn::kCurveEPComponent, {1});
    EXPECT_FALSE(walk(false));
}

}  // namespace
