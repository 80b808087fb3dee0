// Curve sampling against independently evaluated NURBS points, the per-curve
// caches (hits counted through the host's evaluation counter), the division
// clamp and loop cap, and the geometry of the curve and hull segment lists.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnPlugin.h>

#include <khost/harness.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "overlay/curve_cache.h"
#include "overlay/curve_lines.h"
#include "overlay/draw_override.h"
#include "overlay/frame_settings.h"
#include "overlay/hull_lines.h"
#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

// De Boor evaluation with the host's knot convention (numCVs + degree - 1
// knots): the full knot vector repeats the first and last knot once more.
Vec3 evaluateNurbs(const std::vector<Vec3>& cvs, int p, const std::vector<double>& hostKnots, double t) {
    std::vector<double> u{hostKnots.front()};
    u.insert(u.end(), hostKnots.begin(), hostKnots.end());
    u.push_back(hostKnots.back());
    std::size_t k = static_cast<std::size_t>(p);
    while (k < cvs.size() - 1 && !(t < u[k + 1])) {
        ++k;
    }
    const auto deg = static_cast<std::size_t>(p);
    std::vector<Vec3> d(cvs.begin() + static_cast<long>(k - deg), cvs.begin() + static_cast<long>(k + 1));
    for (std::size_t r = 1; r <= deg; ++r) {
        for (std::size_t j = deg; j >= r; --j) {
            const double alpha = (t - u[j + k - deg]) / (u[j + 1 + k - r] - u[j + k - deg]);
            for (std::size_t c = 0; c < 3; ++c) {
                d[j][c] = (1.0 - alpha) * d[j - 1][c] + alpha * d[j][c];
            }
        }
    }
    return d[deg];
}

const std::vector<Vec3> kSevenCvs{{0, 0, 0}, {1, 2, 0},  {2, -1, 1}, {3, 0, 3},
                                  {4, 2, 2}, {5, 0, -1}, {6, 1, 0}};
const std::vector<Vec3> kFiveCvs{{0, 0, 5}, {1, 1, 5}, {2, 0, 6}, {3, 1, 6}, {4, 0, 5}};

// One curve's CVs in world space and the samples the cache gave for it.
struct Geometry {
    MPointArray cvPositions;
    std::vector<CurveSample> samples;
};

class SamplingTest : public knotlens_test::ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        khost::resetCounters();
    }
    static std::string makeCurve(const std::vector<Vec3>& cvs, const std::vector<double>& knots = {}) {
        khost::CurveDesc desc = khost::openCurve(cvs, knots.size() == 2 ? 1 : 3);
        desc.knots = knots;
        std::string error;
        const std::string c = khost::createCurve(desc, "", "", &error);
        EXPECT_FALSE(c.empty()) << error;
        return c;
    }
    // The curve's samples as a frame asks the cache for them.
    Geometry sample(const std::string& curve, uint32_t curveIndex = 0) {
        MFnNurbsCurve fn(khost::dagPath(khost::shapeOf(curve)));
        Geometry geometry;
        fn.getCVs(geometry.cvPositions, MSpace::kWorld);
        const std::string name = khost::fullPathName(khost::shapeOf(curve));
        appendCachedSamples(cache.samplesFor(fn, name.c_str(), geometry.cvPositions,
                                             samplingDivisions(curveDivisions), curveIndex),
                            curveIndex, curveColor, geometry.samples);
        return geometry;
    }
    static uint64_t evaluations() { return khost::counters().getPointAtParam; }

    CurveCache cache;
    int32_t curveDivisions = 4;
    MColor curveColor{0.1f, 0.2f, 0.3f, 0.4f};
};

TEST_F(SamplingTest, SeventeenSamplesAtExactWorldPositions) {
    const std::string c = makeCurve(kSevenCvs);
    khost::setTranslate(c, {1, -2, 3});
    const Geometry g = sample(c, 3);
    ASSERT_EQ(g.cvPositions.length(), 7u);
    EXPECT_TRUE(g.cvPositions[4].isEquivalent(MPoint(5, 0, 5), 1e-12));
    ASSERT_EQ(g.samples.size(), 17u);
    for (std::size_t i = 0; i < 17; ++i) {
        const double t = i < 16 ? 0.25 * static_cast<double>(i) : 4.0 - 1e-5;
        const Vec3 p = evaluateNurbs(kSevenCvs, 3, {0, 0, 0, 1, 2, 3, 4, 4, 4}, t);
        const CurveSample& s = g.samples[i];
        EXPECT_TRUE(s.position.isEquivalent(MPoint(p[0] + 1.0, p[1] - 2.0, p[2] + 3.0), 1e-9)) << i;
        EXPECT_EQ(s.sampleIndex, static_cast<int32_t>(i));
        EXPECT_EQ(s.curveIndex, 3u);
        EXPECT_EQ(s.color, curveColor);
        EXPECT_EQ(s.cameraDistance, 0.0);
    }
}

TEST_F(SamplingTest, DomainStartingAtTwoAndAccumulatedStepFallingShort) {
    const Geometry g = sample(makeCurve(kFiveCvs, {2, 2, 2, 3, 4, 4, 4}));
    ASSERT_EQ(g.samples.size(), 9u);
    const Vec3 p = evaluateNurbs(kFiveCvs, 3, {2, 2, 2, 3, 4, 4, 4}, 2.25);
    EXPECT_TRUE(g.samples[1].position.isEquivalent(MPoint(p[0], p[1], p[2]), 1e-9));

    // Ten additions of 0.2 give 1.9999999999999998 < 2: one more step sample.
    curveDivisions = 5;
    EXPECT_EQ(sample(makeCurve(kFiveCvs)).samples.size(), 12u);
}

TEST_F(SamplingTest, FramesWithTheCurveOffGiveCvRecordsOnlyAndLeaveTheCacheAlone) {
    khost::setHilite({makeCurve(kSevenCvs)});
    khost::setAttr(manager, "showCurve", 0.0);
    khost::drawFrame();
    const auto* frame = dynamic_cast<const UserData*>(khost::userData(0, manager));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->cvRecords.size(), 7u);
    EXPECT_TRUE(frame->curveSamples.empty());
    const CurveCache& frameCache = static_cast<DrawOverride*>(khost::drawOverride(manager))->curveCache();
    EXPECT_EQ(frameCache.size(), 0u);
    EXPECT_EQ(frameCache.cachedCurveDivisions(), 0);
    EXPECT_EQ(evaluations(), 0u);
}

TEST_F(SamplingTest, CacheServesUnchangedCurvesAndReevaluatesMovedOrInsertedCvs) {
    const std::string c = makeCurve(kSevenCvs);
    const Geometry first = sample(c);
    EXPECT_EQ(evaluations(), 17u);
    const Geometry second = sample(c);
    EXPECT_EQ(evaluations(), 17u);
    ASSERT_EQ(second.samples.size(), 17u);
    EXPECT_EQ(second.samples[5].position, first.samples[5].position);

    khost::setCV(c, 3, {3, 0, 3 + 1e-12});  // within the 1e-10 tolerance
    sample(c);
    EXPECT_EQ(evaluations(), 17u);
    khost::setCV(c, 3, {3, 0.5, 3});
    sample(c);
    EXPECT_EQ(evaluations(), 34u);

    std::vector<Vec3> eight = kSevenCvs;
    eight.insert(eight.begin() + 2, Vec3{1.5, 1, 0});
    khost::setCVs(c, eight);
    EXPECT_EQ(sample(c).samples.size(), 21u);  // 5 spans x 4 + 1
    EXPECT_EQ(evaluations(), 55u);
    const std::string name = khost::fullPathName(khost::shapeOf(c));
    ASSERT_NE(cache.cvsOf(name), nullptr);
    ASSERT_NE(cache.samplesOf(name), nullptr);
    EXPECT_EQ(cache.cvsOf(name)->length(), 8u);
    EXPECT_EQ(cache.samplesOf(name)->size(), 21u);
}

TEST_F(SamplingTest, ChangedDivisionsReevaluateEveryCachedCurve) {
    const std::string a = makeCurve(kSevenCvs);
    const std::string b = makeCurve(kFiveCvs);
    sample(a, 0);
    sample(b, 1);
    khost::resetCounters();
    curveDivisions = 8;
    EXPECT_EQ(sample(a, 0).samples.size(), 33u);  // 4 spans x 8 + 1
    EXPECT_EQ(sample(b, 1).samples.size(), 17u);  // 2 spans x 8 + 1
    EXPECT_EQ(evaluations(), 50u);
    EXPECT_EQ(cache.cachedCurveDivisions(), 8);
}

TEST_F(SamplingTest, CurvesTradingWalkPositionsKeepTheirOwnEntries) {
    const std::string a = makeCurve(kSevenCvs);
    const std::string b = makeCurve(kFiveCvs);
    const Geometry firstA = sample(a, 0);
    const Geometry firstB = sample(b, 1);
    EXPECT_EQ(evaluations(), 26u);  // 17 + 9
    // b at a's former position and a at b's: both hits, each its own samples.
    const Geometry secondB = sample(b, 0);
    const Geometry secondA = sample(a, 1);
    EXPECT_EQ(evaluations(), 26u);
    ASSERT_EQ(secondA.samples.size(), firstA.samples.size());
    ASSERT_EQ(secondB.samples.size(), firstB.samples.size());
    EXPECT_EQ(secondA.samples.back().position, firstA.samples.back().position);
    EXPECT_EQ(secondB.samples.back().position, firstB.samples.back().position);
    EXPECT_EQ(cache.size(), 2u);
}

TEST_F(SamplingTest, CacheHitTakesCurrentColorAndCurveNumber) {
    const std::string c = makeCurve(kSevenCvs);
    sample(c, 0);
    curveColor = MColor(0.9f, 0.8f, 0.7f, 0.5f);
    for (const CurveSample& s : sample(c, 2).samples) {
        EXPECT_EQ(s.color, MColor(0.9f, 0.8f, 0.7f, 0.5f));
        EXPECT_EQ(s.curveIndex, 2u);
    }
    EXPECT_EQ(evaluations(), 17u);
}

TEST_F(SamplingTest, DivisionsAreClampedAndTheLoopIsCapped) {
    const std::string c = makeCurve(kSevenCvs);  // 4 spans
    for (int32_t divisions : {0, -7, 1, 2}) {
        curveDivisions = divisions;
        EXPECT_EQ(sample(c).samples.size(), 9u) << divisions;
    }
    for (int32_t divisions : {64, 1000, std::numeric_limits<int32_t>::max()}) {
        curveDivisions = divisions;
        EXPECT_EQ(sample(c).samples.size(), 257u) << divisions;
    }
    // At 1e18 doubles are 128 apart, so a step of 4 never moves t: 1 x 64 + 2.
    curveDivisions = 64;
    EXPECT_EQ(sample(makeCurve({{0, 0, 0}, {1, 0, 0}}, {1e18, 1e18 + 256.0})).samples.size(), 66u);
}

TEST_F(SamplingTest, DivisionsForcedThroughAConnectionAreClampedInFrames) {
    khost::select({makeCurve(kSevenCvs)});
    ASSERT_TRUE(khost::forceAttr(manager, "curveDivisions", 0.0));
    khost::drawFrame();
    const auto* frame = dynamic_cast<const UserData*>(khost::userData(0, manager));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->curveDivisions, 0);
    EXPECT_EQ(frame->curveSamples.size(), 9u);
}

TEST_F(SamplingTest, FramesJoinTwoCurvesInOneListAndReuseTheCache) {
    khost::select({makeCurve(kSevenCvs), makeCurve(kFiveCvs, {2, 2, 2, 3, 4, 4, 4})});
    khost::setAttr(manager, "curveDivisions", 4.0);
    khost::drawFrame();
    const auto* frame = dynamic_cast<const UserData*>(khost::userData(0, manager));
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(frame->curveLinePoints.size(), 1u);
    EXPECT_EQ(frame->curveLinePoints[0].length(), 48u);  // 2 x 16 + 2 x 8
    EXPECT_EQ(frame->curveLineColors[0].length(), 48u);
    khost::resetCounters();
    khost::drawFrame();
    EXPECT_EQ(evaluations(), 0u);
}

// ------------------------------------------------------------------ segment lists

CurveSample sampleAt(uint32_t curve, const MPoint& p) {
    CurveSample s;
    s.curveIndex = curve;
    s.position = p;
    s.color = MColor(0.0f, 0.0f, 1.0f, 1.0f);
    return s;
}

// The curve or hull segment lists of one frame.
struct Lines {
    std::vector<MPointArray> points;
    std::vector<MColorArray> colors;
};

FrameSettings rampSettings(bool on, float distanceColorMin, float rampTop) {
    FrameSettings settings;
    settings.useCurveDistanceColor = on;
    settings.useHullDistanceColor = on;
    settings.distanceColorMin = distanceColorMin;
    settings.rampTop = rampTop;
    settings.selectedPointColor = MColor(0.0f, 1.0f, 0.0f, 1.0f);
    settings.hullColor = MColor(0.5f, 0.0f, 0.5f, 1.0f);
    return settings;
}

Lines curveLines(std::vector<CurveSample>& samples, const FrameSettings& settings) {
    Lines lines;
    buildCurveLines(samples, MPoint(0, 0, 0), settings, lines.points, lines.colors);
    return lines;
}

TEST(CurveLines, SegmentsGroupedByCurveInCurveOrder) {
    std::vector<CurveSample> none;
    const Lines empty = curveLines(none, rampSettings(true, 0.25f, 1.0f));
    ASSERT_EQ(empty.points.size(), 1u);  // one, empty, even without samples
    EXPECT_EQ(empty.points[0].length(), 0u);

    std::vector<CurveSample> two;
    for (int i = 0; i < 3; ++i) {
        two.push_back(sampleAt(1, MPoint(100.0 + i, 0, 0)));
    }
    for (int i = 0; i < 4; ++i) {
        two.push_back(sampleAt(0, MPoint(i, 0, 0)));
    }
    const Lines lines = curveLines(two, rampSettings(false, 0.25f, 1.0f));
    const MPointArray& p = lines.points[0];
    const double expectedX[] = {0, 1, 1, 2, 2, 3, 100, 101, 101, 102};
    ASSERT_EQ(p.length(), 10u);
    ASSERT_EQ(lines.colors[0].length(), 10u);
    for (unsigned int i = 0; i < 10; ++i) {
        EXPECT_EQ(p[i].x, expectedX[i]) << i;
    }
}

TEST(CurveLines, DistanceRampSharedAcrossCurvesEqualDistancesAndNonFinite) {
    std::vector<CurveSample> samples = {sampleAt(0, MPoint(2, 0, 0)), sampleAt(0, MPoint(3, 0, 0)),
                                        sampleAt(1, MPoint(0, 5, 0)), sampleAt(1, MPoint(0, 0, 6)),
                                        sampleAt(1, MPoint(std::numeric_limits<double>::infinity(), 0, 0))};
    curveLines(samples, rampSettings(true, 0.25f, 0.8f));
    const float expected[] = {0.8f, 0.6f, 0.25f, 0.25f, 0.25f};  // (1 - t) x 0.8, floor 0.25
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_FLOAT_EQ(samples[i].color.b, expected[i]) << i;
        EXPECT_EQ(samples[i].color.a, 1.0f);
    }
    EXPECT_DOUBLE_EQ(samples[2].cameraDistance, 5.0);

    std::vector<CurveSample> level = {sampleAt(0, MPoint(3, 0, 0)), sampleAt(0, MPoint(0, 3, 0))};
    const Lines levelLines = curveLines(level, rampSettings(true, 0.25f, 0.7f));
    EXPECT_FLOAT_EQ(levelLines.colors[0][0].b, 0.7f);
    EXPECT_FLOAT_EQ(levelLines.colors[0][1].b, 0.7f);
}

CvRecord hullRecord(uint32_t curve, uint32_t cv, bool selected = false) {
    CvRecord r;
    r.curveIndex = curve;
    r.cvIndex = cv;
    r.position = MPoint(10.0 * cv, static_cast<double>(curve), 0.0);
    r.selected = selected;
    return r;
}

Lines hullLines(const std::vector<CvRecord>& records, const FrameSettings& settings) {
    Lines lines;
    buildHullLines(records, settings, lines.points, lines.colors);
    return lines;
}

TEST(HullLines, CvIndexOrderNeverClosedAndEmptyPairsForMissingCurves) {
    const FrameSettings settings = rampSettings(false, 0.25f, 1.0f);
    std::vector<CvRecord> seven;
    for (uint32_t cv : {4u, 0u, 6u, 2u, 1u, 5u, 3u}) {  // depth order, not index order
        seven.push_back(hullRecord(0, cv));
    }
    const Lines sevenLines = hullLines(seven, settings);
    ASSERT_EQ(sevenLines.points.size(), 1u);
    ASSERT_EQ(sevenLines.points[0].length(), 12u);
    for (unsigned int i = 1; i < 7; ++i) {
        EXPECT_EQ(sevenLines.points[0][2 * (i - 1)].x, 10.0 * (i - 1));
        EXPECT_EQ(sevenLines.points[0][2 * i - 1].x, 10.0 * i);
    }

    const std::vector<CvRecord> gap = {hullRecord(2, 1), hullRecord(0, 0), hullRecord(2, 0), hullRecord(0, 1),
                                       hullRecord(2, 2, true)};
    const Lines gapLines = hullLines(gap, settings);
    ASSERT_EQ(gapLines.points.size(), 3u);
    ASSERT_EQ(gapLines.colors.size(), 3u);
    EXPECT_EQ(gapLines.points[0].length(), 2u);
    EXPECT_EQ(gapLines.points[1].length(), 0u);
    ASSERT_EQ(gapLines.points[2].length(), 4u);
    EXPECT_EQ(gapLines.colors[2][0], settings.hullColor);
    EXPECT_EQ(gapLines.colors[2][3], MColor(0.0f, 1.0f, 0.0f, settings.hullColor.a));  // selected CV 2

    EXPECT_TRUE(hullLines({}, rampSettings(true, 0.25f, 1.0f)).points.empty());
}

// Both lists of one frame equal, array by array and element by element.
void expectSameLines(const std::vector<MPointArray>& points, const std::vector<MColorArray>& colors,
                     const Lines& expected, int frame) {
    ASSERT_EQ(points.size(), expected.points.size()) << "frame " << frame;
    ASSERT_EQ(colors.size(), expected.colors.size()) << "frame " << frame;
    for (std::size_t k = 0; k < points.size(); ++k) {
        ASSERT_EQ(points[k].length(), expected.points[k].length()) << "frame " << frame << " list " << k;
        ASSERT_EQ(colors[k].length(), expected.colors[k].length()) << "frame " << frame << " list " << k;
        for (unsigned int i = 0; i < points[k].length(); ++i) {
            EXPECT_EQ(points[k][i], expected.points[k][i])
                << "frame " << frame << " list " << k << " at " << i;
            EXPECT_EQ(colors[k][i], expected.colors[k][i])
                << "frame " << frame << " list " << k << " at " << i;
        }
    }
}

// A record reused frame after frame hands its emptied arrays to the next
// frame's builders: the lists must be those a fresh build makes, whether the
// curve count grows, shrinks or a curve's list empties.
TEST(HullLines, ArraysOfEarlierFramesAreRefilledToTheListsAFreshBuildMakes) {
    const FrameSettings settings = rampSettings(true, 0.25f, 1.0f);
    auto curves = [](std::initializer_list<uint32_t> cvsPerCurve) {
        std::vector<CvRecord> records;
        uint32_t curve = 0;
        for (uint32_t count : cvsPerCurve) {
            for (uint32_t cv = count; cv-- > 0;) {
                CvRecord r = hullRecord(curve, cv, cv % 3 == 0);
                r.rampPosition = 0.1f * static_cast<float>(cv);
                records.push_back(r);
            }
            ++curve;
        }
        return records;
    };
    const std::vector<std::vector<CvRecord>> frames = {curves({4, 1, 6}), curves({4, 1, 6}), curves({9}),
                                                       curves({2, 5, 1, 7, 3}), curves({1, 3})};
    UserData data;
    HullScratch scratch;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        data.reset();
        EXPECT_TRUE(data.hullLinePoints.empty());
        EXPECT_TRUE(data.hullLineColors.empty());
        buildHullLines(frames[f], settings, data.hullLinePoints, data.hullLineColors, &scratch,
                       &data.spareHullPoints, &data.spareHullColors);
        expectSameLines(data.hullLinePoints, data.hullLineColors, hullLines(frames[f], settings),
                        static_cast<int>(f));
    }
    // Lists already present are kept, and the new ones come after them.
    std::vector<MPointArray> points(1);
    std::vector<MColorArray> colors(1);
    points[0].append(MPoint(7, 7, 7));
    colors[0].append(MColor(1, 1, 1, 1));
    buildHullLines(frames[0], settings, points, colors, &scratch, &data.spareHullPoints,
                   &data.spareHullColors);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[0][0], MPoint(7, 7, 7));
    EXPECT_EQ(points[3].length(), hullLines(frames[0], settings).points[2].length());
}

TEST(CurveLines, ArraysOfEarlierFramesAreRefilledToTheListAFreshBuildMakes) {
    const FrameSettings settings = rampSettings(true, 0.25f, 0.8f);
    auto samplesOf = [](std::size_t curves, std::size_t perCurve) {
        std::vector<CurveSample> samples;
        for (std::size_t c = 0; c < curves; ++c) {
            for (std::size_t i = 0; i < perCurve; ++i) {
                samples.push_back(sampleAt(static_cast<uint32_t>(c),
                                           MPoint(1.0 + static_cast<double>(i), 2.0 * static_cast<double>(c),
                                                  0.5 * static_cast<double>(i))));
            }
        }
        return samples;
    };
    const std::vector<std::pair<std::size_t, std::size_t>> frames = {{3, 6}, {3, 6}, {10, 17},
                                                                     {1, 2}, {0, 0}, {4, 9}};
    UserData data;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        data.reset();
        EXPECT_TRUE(data.curveLinePoints.empty());
        std::vector<CurveSample> samples = samplesOf(frames[f].first, frames[f].second);
        std::vector<CurveSample> fresh = samples;
        buildCurveLines(samples, MPoint(0, 0, 0), settings, data.curveLinePoints, data.curveLineColors,
                        &data.spareCurvePoints, &data.spareCurveColors);
        expectSameLines(data.curveLinePoints, data.curveLineColors, curveLines(fresh, settings),
                        static_cast<int>(f));
    }
}

}  // namespace
