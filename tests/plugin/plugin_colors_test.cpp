// Colour rules: the ramp clamp and top, ramp positions, every row of the
// point, marker and hull vertex tables, the curve sample factor, and that no
// NaN or infinity reaches a colour.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "overlay/colour_rules.h"
#include "overlay/frame_settings.h"

namespace {

constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

void expectColor(const MColor& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

TEST(Ramp, ClampHasAFloorOnlyAndTopIsTheLargerBound) {
    EXPECT_FLOAT_EQ(rampClamp(0.1f, 0.25f), 0.25f);
    EXPECT_FLOAT_EQ(rampClamp(0.6f, 0.25f), 0.6f);
    EXPECT_FLOAT_EQ(rampClamp(1.7f, 0.25f), 1.7f);
    for (float v : {kNan, kInf, -kInf}) {
        EXPECT_FLOAT_EQ(rampClamp(v, 0.3f), 0.3f) << v;
    }
    EXPECT_FLOAT_EQ(rampTop(0.25f, 1.0f), 1.0f);
    EXPECT_FLOAT_EQ(rampTop(0.8f, 0.5f), 0.8f);
}

TEST(Ramp, PositionsByRankUnlessSoftOrAllSwitchesOff) {
    FrameSettings settings;
    EXPECT_FALSE(rampPositionsByRank(false, settings));
    settings.useCVDistanceColor = true;
    EXPECT_TRUE(rampPositionsByRank(false, settings));
    EXPECT_FALSE(rampPositionsByRank(true, settings));
    settings.useCVDistanceColor = false;
    settings.useHullDistanceColor = true;
    EXPECT_TRUE(rampPositionsByRank(false, settings));
    settings.useHullDistanceColor = false;
    settings.useCurveDistanceColor = true;
    EXPECT_TRUE(rampPositionsByRank(false, settings));
    EXPECT_FALSE(rampPositionsByRank(true, settings));
}

TEST(Ramp, EachElementTakesItsOwnSwitch) {
    FrameSettings settings;
    settings.useCVDistanceColor = true;
    settings.distanceColorMin = 0.3f;
    settings.rampTop = 0.7f;
    const RampSettings cv = cvRamp(settings);
    const RampSettings hull = hullRamp(settings);
    EXPECT_TRUE(cv.enabled);
    EXPECT_FALSE(hull.enabled);
    EXPECT_EQ(cv.distanceColorMin, 0.3f);
    EXPECT_EQ(hull.rampTop, 0.7f);
}

// Settings where every component differs and no alpha is 1.
class ColorTable : public ::testing::Test {
protected:
    void SetUp() override {
        settings.selectedPointColor = MColor(0.2f, 0.8f, 0.4f, 0.9f);
        settings.deselectedPointColor = MColor(1.0f, 0.5f, 0.25f, 0.6f);
        settings.hullColor = MColor(0.5f, 0.0f, 0.5f, 0.75f);
    }
    static CvRecord record(bool selected, float rampPosition, float weight, float alphaScale = 1.0f) {
        CvRecord r;
        r.selected = selected;
        r.rampPosition = rampPosition;
        r.weight = weight;
        r.alphaScale = alphaScale;
        return r;
    }
    FrameSettings settings;
    const RampSettings on{true, 0.25f, 0.8f};
    const RampSettings off{false, 0.25f, 0.8f};
};

TEST_F(ColorTable, PointColorRows) {
    // selected, on: 0.75 x 0.5 x 0.8 = 0.3; and 0.25 x 0.5 x 0.8 = 0.1 -> floor 0.25
    expectColor(pointColor(record(true, 0.75f, 0.5f), settings, on), 0.06f, 0.24f, 0.12f, 0.9f);
    expectColor(pointColor(record(true, 0.25f, 0.5f), settings, on), 0.05f, 0.2f, 0.1f, 0.9f);
    // selected, off: 0.8 x 0.5 = 0.4, rank ignored
    expectColor(pointColor(record(true, 0.25f, 0.5f), settings, off), 0.08f, 0.32f, 0.16f, 0.9f);
    // unselected, on: 0.8 x 0.75 = 0.6, weight ignored; off: plain
    expectColor(pointColor(record(false, 0.75f, 0.5f), settings, on), 0.6f, 0.3f, 0.15f, 0.6f);
    expectColor(pointColor(record(false, 0.75f, 0.5f), settings, off), 1.0f, 0.5f, 0.25f, 0.6f);
}

TEST_F(ColorTable, MarkerColorRowsIgnoreWeight) {
    expectColor(markerColor(record(true, 0.75f, 0.5f), settings, on), 0.12f, 0.48f, 0.24f, 0.9f);
    expectColor(markerColor(record(true, 0.75f, 0.5f), settings, off), 0.2f, 0.8f, 0.4f, 0.9f);
    expectColor(markerColor(record(false, 0.1f, 1.0f), settings, on), 0.25f, 0.125f, 0.0625f, 0.6f);
    expectColor(markerColor(record(false, 0.1f, 1.0f), settings, off), 1.0f, 0.5f, 0.25f, 0.6f);
}

TEST_F(ColorTable, HullVertexRowsAtTheHullAlpha) {
    expectColor(hullVertexColor(record(true, 0.75f, 0.5f), settings, on), 0.06f, 0.24f, 0.12f, 0.75f);
    expectColor(hullVertexColor(record(true, 0.75f, 0.5f), settings, off), 0.08f, 0.32f, 0.16f, 0.75f);
    expectColor(hullVertexColor(record(false, 0.75f, 0.5f), settings, on), 0.3f, 0.0f, 0.3f, 0.75f);
    expectColor(hullVertexColor(record(false, 0.75f, 0.5f), settings, off), 0.5f, 0.0f, 0.5f, 0.75f);
}

TEST_F(ColorTable, AlphaScaleZeroesEveryAlphaAndNothingElse) {
    for (bool selected : {true, false}) {
        const CvRecord hidden = record(selected, 0.5f, 1.0f, 0.0f);
        const CvRecord shown = record(selected, 0.5f, 1.0f);
        EXPECT_EQ(pointColor(hidden, settings, on).a, 0.0f);
        EXPECT_EQ(markerColor(hidden, settings, on).a, 0.0f);
        EXPECT_EQ(hullVertexColor(hidden, settings, on).a, 0.0f);
        EXPECT_EQ(pointColor(hidden, settings, on).g, pointColor(shown, settings, on).g);
    }
}

TEST_F(ColorTable, WeightZeroAndMinimumAboveMaximumGiveTheFloor) {
    expectColor(pointColor(record(true, 1.0f, 0.0f), settings, off), 0.05f, 0.2f, 0.1f, 0.9f);
    const RampSettings inverted{true, 0.5f, rampTop(0.5f, 0.2f)};
    for (float position : {0.0f, 0.9f}) {
        expectColor(pointColor(record(false, position, 1.0f), settings, inverted), 0.5f, 0.25f, 0.125f, 0.6f);
        expectColor(pointColor(record(true, position, 1.0f), settings, inverted), 0.1f, 0.4f, 0.2f, 0.9f);
    }
}

TEST_F(ColorTable, NonFiniteWeightGetsTheFloorAndSettingsNeverChange) {
    for (float weight : {kNan, kInf, -kInf}) {
        for (const RampSettings* ramp : {&on, &off}) {
            expectColor(pointColor(record(true, 0.5f, weight), settings, *ramp), 0.05f, 0.2f, 0.1f, 0.9f);
            expectColor(hullVertexColor(record(true, 0.5f, weight), settings, *ramp), 0.05f, 0.2f, 0.1f,
                        0.75f);
        }
    }
    (void)pointColor(record(false, 0.5f, 1.0f), settings, on);
    (void)hullVertexColor(record(false, 0.5f, 1.0f), settings, on);
    expectColor(settings.deselectedPointColor, 1.0f, 0.5f, 0.25f, 0.6f);
    expectColor(settings.hullColor, 0.5f, 0.0f, 0.5f, 0.75f);
}

TEST(CurveSampleFactor, NormalisedDistanceEqualRangeAndNonFinite) {
    EXPECT_FLOAT_EQ(curveSampleFactor(2.0, 2.0, 6.0, 0.25f, 0.8f), 0.8f);   // nearest: top
    EXPECT_FLOAT_EQ(curveSampleFactor(3.0, 2.0, 6.0, 0.25f, 0.8f), 0.6f);   // (1 - 0.25) x 0.8
    EXPECT_FLOAT_EQ(curveSampleFactor(6.0, 2.0, 6.0, 0.25f, 0.8f), 0.25f);  // farthest: floor
    EXPECT_FLOAT_EQ(curveSampleFactor(4.0, 4.0, 4.0, 0.25f, 0.8f), 0.8f);   // one distance: top
    EXPECT_FLOAT_EQ(curveSampleFactor(std::numeric_limits<double>::quiet_NaN(), 1.0, 2.0, 0.25f, 0.8f),
                    0.25f);
    EXPECT_FLOAT_EQ(curveSampleFactor(std::numeric_limits<double>::infinity(), 1.0, 2.0, 0.25f, 0.8f), 0.25f);
}

}  // namespace
