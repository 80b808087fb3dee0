// The linear-time forms of the per-frame steps against the plain forms they
// replace: the depth order against std::sort with drawnBefore, the walked
// curve name set against std::set, hull and curve segment lists against
// ordered-map grouping, and whole frames whose scene shrinks and grows
// between refreshes (storage kept from a previous frame must never leak into
// the next one's records, points or draw calls).
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MFnPlugin.h>

#include <khost/harness.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "node/selection_tracker.h"
#include "overlay/colour_rules.h"
#include "overlay/curve_lines.h"
#include "overlay/curve_name_set.h"
#include "overlay/depth_order.h"
#include "overlay/draw_override.h"
#include "overlay/frame_settings.h"
#include "overlay/hull_lines.h"
#include "support/depth_reference.h"
#include "support/plugin_fixture.h"

namespace {

using knotlens_test::drawnBefore;
using knotlens_test::sortByDepth;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

CvRecord recordAt(double distance, uint32_t id) {
    CvRecord r;
    r.curveIndex = id / 7;
    r.cvIndex = id % 7;
    r.position = MPoint(static_cast<double>(id), 0.5 * id, -1.0 * id);
    r.selected = id % 3 == 0;
    r.weight = static_cast<float>(id % 11) / 10.0f;
    r.alphaScale = id % 5 == 0 ? 0.0f : 1.0f;
    r.cameraDistance = distance;
    return r;
}

// Same distance, or both NaN (a NaN equals nothing, not even itself).
bool sameDistance(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// Sorts records made from `distances` both ways and requires the same
// sequence of distances, and every record intact (found through its id).
void expectSameOrderAsComparisonSort(const std::vector<double>& distances, const std::string& label) {
    std::vector<CvRecord> fast;
    for (std::size_t i = 0; i < distances.size(); ++i) {
        fast.push_back(recordAt(distances[i], static_cast<uint32_t>(i)));
    }
    std::vector<CvRecord> reference = fast;
    std::sort(reference.begin(), reference.end(), drawnBefore);
    DepthSortScratch scratch;
    sortByDepth(fast, scratch);

    ASSERT_EQ(fast.size(), reference.size()) << label;
    std::vector<bool> seen(fast.size(), false);
    for (std::size_t i = 0; i < fast.size(); ++i) {
        ASSERT_TRUE(sameDistance(fast[i].cameraDistance, reference[i].cameraDistance))
            << label << ": position " << i << " has " << fast[i].cameraDistance << ", std::sort has "
            << reference[i].cameraDistance;
        const auto id = static_cast<uint32_t>(fast[i].position.x);
        ASSERT_LT(id, seen.size()) << label;
        EXPECT_FALSE(seen[id]) << label << ": record " << id << " twice";
        seen[id] = true;
        const CvRecord original = recordAt(distances[id], id);
        EXPECT_EQ(fast[i].curveIndex, original.curveIndex) << label;
        EXPECT_EQ(fast[i].cvIndex, original.cvIndex) << label;
        EXPECT_EQ(fast[i].selected, original.selected) << label;
        EXPECT_EQ(fast[i].weight, original.weight) << label;
        EXPECT_EQ(fast[i].alphaScale, original.alphaScale) << label;
        EXPECT_TRUE(sameDistance(fast[i].cameraDistance, distances[id])) << label;
    }
}

TEST(DepthOrderEquivalence, MatchesComparisonSortOnScenesAndAdversarialDistances) {
    std::mt19937 random(12345);
    const double denormal = std::numeric_limits<double>::denorm_min();
    const double specials[] = {kNaN,
                               -kNaN,
                               kInf,
                               -kInf,
                               0.0,
                               -0.0,
                               denormal,
                               -denormal,
                               1e-300,
                               1e300,
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::lowest(),
                               1.0,
                               -1.0};
    // Sizes on both sides of the direct-sort threshold.
    for (const std::size_t count : {0u, 1u, 2u, 17u, 255u, 256u, 257u, 3000u, 40000u, 150000u}) {
        std::uniform_real_distribution<double> scene(5.0, 80.0);
        std::vector<double> uniform(count);
        for (double& d : uniform) {
            d = scene(random);
        }
        expectSameOrderAsComparisonSort(uniform, "uniform " + std::to_string(count));

        // A scene's distances plus every special value sprinkled in.
        std::vector<double> mixed = uniform;
        std::uniform_int_distribution<std::size_t> pick(0, std::size(specials) - 1);
        for (std::size_t i = 0; i < mixed.size(); i += 5) {
            mixed[i] = specials[pick(random)];
        }
        expectSameOrderAsComparisonSort(mixed, "mixed " + std::to_string(count));

        // Few distinct values (ties everywhere, buckets far above one key).
        std::vector<double> ties(count);
        std::uniform_int_distribution<int> level(0, 3);
        for (double& d : ties) {
            d = 10.0 + level(random);
        }
        expectSameOrderAsComparisonSort(ties, "ties " + std::to_string(count));

        // Keys that differ only in their lowest bits, next to one far key.
        std::vector<double> close(count);
        for (std::size_t i = 0; i < count; ++i) {
            close[i] = std::nextafter(1.0, 2.0 + static_cast<double>(random() % 64));
            for (std::size_t k = random() % 8; k > 0; --k) {
                close[i] = std::nextafter(close[i], 2.0);
            }
        }
        if (!close.empty()) {
            close[0] = 1e200;
        }
        expectSameOrderAsComparisonSort(close, "close " + std::to_string(count));

        // Already in order, and in reverse order.
        std::vector<double> ascending = uniform;
        std::sort(ascending.begin(), ascending.end());
        expectSameOrderAsComparisonSort(ascending, "ascending " + std::to_string(count));
        std::vector<double> descending(ascending.rbegin(), ascending.rend());
        expectSameOrderAsComparisonSort(descending, "descending " + std::to_string(count));

        // All NaN.
        expectSameOrderAsComparisonSort(std::vector<double>(count, kNaN), "nan " + std::to_string(count));
    }
}

// The frame's order is fully determined, not only up to ties: equal keys
// keep their record order, whether their bucket is sorted by insertion or,
// when crowded, by std::sort on (key, index). Frames are reproducible, and a
// change of the sort that reorders ties shows here.
TEST(DepthOrderEquivalence, EqualKeysKeepTheirRecordOrder) {
    std::mt19937 random(777);
    for (const std::size_t count : {200u, 300u, 5000u, 60000u}) {
        for (const int levels : {3, 40, 1000, 1 << 20}) {
            std::uniform_int_distribution<int> level(0, levels - 1);
            std::vector<uint64_t> keys(count);
            for (std::size_t i = 0; i < count; ++i) {
                // A few NaN keys too, and runs of close distances.
                keys[i] = i % 97 == 0 ? depthKey(kNaN) : depthKey(10.0 + 1e-3 * level(random));
            }
            std::vector<uint32_t> expected(count);
            for (std::size_t i = 0; i < count; ++i) {
                expected[i] = static_cast<uint32_t>(i);
            }
            std::stable_sort(expected.begin(), expected.end(),
                             [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
            DepthSortScratch scratch;
            depthOrder(keys, scratch);
            EXPECT_EQ(scratch.order, expected) << count << " keys, " << levels << " levels";
        }
    }
}

TEST(DepthOrderEquivalence, KeyOrderAgreesWithDrawnBefore) {
    const double denormal = std::numeric_limits<double>::denorm_min();
    const std::vector<double> values{
        kNaN, -kNaN, kInf, -kInf, 0.0, -0.0, denormal, -denormal, 1e-300, 2.5, 2.5000000000000004,
        -3.0, 1e300};
    for (const double a : values) {
        for (const double b : values) {
            const bool before = drawnBefore(recordAt(a, 0), recordAt(b, 1));
            const bool after = drawnBefore(recordAt(b, 1), recordAt(a, 0));
            if (before) {
                EXPECT_LT(depthKey(a), depthKey(b)) << a << " before " << b;
            }
            if (depthKey(a) < depthKey(b)) {
                EXPECT_FALSE(after) << a << " keyed before " << b;
            }
        }
    }
    EXPECT_EQ(depthKey(kNaN), depthKey(-kNaN));
}

TEST(DepthOrderEquivalence, ScratchReusedAcrossSizesKeepsNoStaleRecords) {
    DepthSortScratch scratch;
    std::mt19937 random(3);
    std::uniform_real_distribution<double> distance(0.0, 50.0);
    for (const std::size_t count : {5000u, 300u, 7000u, 10u, 0u, 600u}) {
        std::vector<CvRecord> records;
        for (std::size_t i = 0; i < count; ++i) {
            records.push_back(recordAt(distance(random), static_cast<uint32_t>(i)));
        }
        sortByDepth(records, scratch);
        ASSERT_EQ(records.size(), count);
        EXPECT_TRUE(std::is_sorted(records.begin(), records.end(), drawnBefore));
        std::set<double> ids;
        for (const CvRecord& r : records) {
            ids.insert(r.position.x);
        }
        EXPECT_EQ(ids.size(), count);
    }
}

// ------------------------------------------------------------------ walked names

TEST(CurveNameSetEquivalence, AgreesWithStdSetOverFramesThatRepeatAndDiverge) {
    std::mt19937 random(99);
    std::vector<std::string> previous;
    CurveNameSet names;
    for (int frame = 0; frame < 200; ++frame) {
        // Mostly the previous frame's walk, edited: truncated, extended, one
        // name swapped, a duplicate added, or all new.
        std::vector<std::string> walk = previous;
        switch (random() % 6) {
            case 0:
                walk.resize(walk.size() / 2);
                break;
            case 1:
                for (int k = 0; k < 20; ++k) {
                    walk.push_back("|g|curve" + std::to_string(random() % 400));
                }
                break;
            case 2:
                if (!walk.empty()) {
                    walk[random() % walk.size()] = "|other" + std::to_string(random() % 50);
                }
                break;
            case 3:
                if (!walk.empty()) {
                    walk.insert(walk.begin() + static_cast<long>(random() % walk.size()),
                                walk[random() % walk.size()]);
                }
                break;
            case 4:
                walk.clear();
                for (int k = 0; k < 100; ++k) {
                    walk.push_back("|curve" + std::to_string(random() % 150) + "|curveShape");
                }
                break;
            default:
                break;  // the same walk again
        }
        // Names that are prefixes of one another, and the empty name.
        if (frame % 17 == 0) {
            walk.push_back("|a");
            walk.push_back("|a|b");
            walk.push_back("");
            walk.push_back("|a");
        }

        names.clear();
        std::set<std::string> reference;
        for (const std::string& name : walk) {
            const bool added = reference.insert(name).second;
            ASSERT_EQ(names.insert(name.data(), name.size()), added) << "frame " << frame << " name " << name;
        }
        EXPECT_EQ(names.size(), reference.size());
        previous = walk;
    }
}

// ------------------------------------------------------------------ segment lists

// The hull as ordered maps make it: per curve index up to the largest, the
// last record's position and colour of each CV index, segments in CV order.
void referenceHull(const std::vector<CvRecord>& records, const FrameSettings& settings,
                   std::vector<MPointArray>& points, std::vector<MColorArray>& colors) {
    std::map<uint32_t, std::map<uint32_t, std::pair<MPoint, MColor>>> byCurve;
    for (const CvRecord& record : records) {
        byCurve[record.curveIndex][record.cvIndex] = {record.position,
                                                      hullVertexColor(record, settings, hullRamp(settings))};
    }
    if (byCurve.empty()) {
        return;
    }
    for (uint32_t k = 0; k <= byCurve.rbegin()->first; ++k) {
        points.emplace_back();
        colors.emplace_back();
        const auto curve = byCurve.find(k);
        if (curve == byCurve.end()) {
            continue;
        }
        for (auto cv = std::next(curve->second.begin()); cv != curve->second.end(); ++cv) {
            const auto previous = std::prev(cv);
            points.back().append(previous->second.first);
            points.back().append(cv->second.first);
            colors.back().append(previous->second.second);
            colors.back().append(cv->second.second);
        }
    }
}

template <class Array>
void expectSameArrays(const std::vector<Array>& actual, const std::vector<Array>& expected,
                      const std::string& label) {
    ASSERT_EQ(actual.size(), expected.size()) << label;
    for (std::size_t k = 0; k < actual.size(); ++k) {
        ASSERT_EQ(actual[k].length(), expected[k].length()) << label << " list " << k;
        for (unsigned int i = 0; i < actual[k].length(); ++i) {
            EXPECT_TRUE(actual[k][i] == expected[k][i]) << label << " list " << k << " element " << i;
        }
    }
}

TEST(SegmentListEquivalence, HullMatchesOrderedMapsWithDuplicatesGapsAndSparseIndices) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 60; ++trial) {
        FrameSettings settings;
        settings.selectedPointColor = MColor(0.0f, 1.0f, 0.0f, 0.8f);
        settings.hullColor = MColor(0.5f, 0.0f, 0.5f, 0.6f);
        settings.useHullDistanceColor = trial % 2 == 0;
        settings.distanceColorMin = 0.25f;
        settings.rampTop = 0.9f;
        std::vector<CvRecord> records;
        const uint32_t curves = 1 + static_cast<uint32_t>(random() % 6);
        // Every fourth trial uses CV indices far apart, so the slot table
        // dwarfs the records.
        const uint32_t cvRange = trial % 4 == 3 ? 5000u : 12u;
        const std::size_t count = random() % 40;
        for (std::size_t i = 0; i < count; ++i) {
            CvRecord r;
            r.curveIndex = static_cast<uint32_t>(random() % curves);
            r.cvIndex = static_cast<uint32_t>(random() % cvRange);
            r.position = MPoint(static_cast<double>(i), static_cast<double>(r.cvIndex), 0.0);
            r.selected = random() % 2 == 0;
            r.weight = static_cast<float>(random() % 10) / 9.0f;
            r.rampPosition = static_cast<float>(i) / static_cast<float>(count);
            r.alphaScale = random() % 4 == 0 ? 0.0f : 1.0f;
            records.push_back(r);
            if (random() % 5 == 0) {
                // The same CV again, coloured differently.
                r.selected = !r.selected;
                r.position.z = 1.0;
                records.push_back(r);
            }
        }
        std::vector<MPointArray> hullPoints;
        std::vector<MColorArray> hullColors;
        buildHullLines(records, settings, hullPoints, hullColors);
        std::vector<MPointArray> points;
        std::vector<MColorArray> colors;
        referenceHull(records, settings, points, colors);
        const std::string label = "trial " + std::to_string(trial);
        expectSameArrays(hullPoints, points, label);
        expectSameArrays(hullColors, colors, label);
    }
}

TEST(SegmentListEquivalence, CurveLinesGroupInterleavedSamplesByCurveInEvaluationOrder) {
    std::mt19937 random(8);
    for (int trial = 0; trial < 40; ++trial) {
        UserData data;
        const std::size_t count = random() % 60;
        for (std::size_t i = 0; i < count; ++i) {
            CurveSample s;
            // Half of the trials in walk order, half interleaved.
            s.curveIndex =
                trial % 2 == 0 ? static_cast<uint32_t>(i / 7) : static_cast<uint32_t>(random() % 5);
            s.position = MPoint(static_cast<double>(i), 1.0, 2.0);
            s.color = MColor(0.1f * static_cast<float>(i % 10), 0.0f, 1.0f, 1.0f);
            s.sampleIndex = static_cast<int32_t>(i);
            data.curveSamples.push_back(s);
        }
        std::map<uint32_t, std::vector<CurveSample>> byCurve;
        for (const CurveSample& s : data.curveSamples) {
            byCurve[s.curveIndex].push_back(s);
        }
        std::vector<MPointArray> points(1);
        std::vector<MColorArray> colors(1);
        for (const auto& curve : byCurve) {
            for (std::size_t j = 1; j < curve.second.size(); ++j) {
                points[0].append(curve.second[j - 1].position);
                points[0].append(curve.second[j].position);
                colors[0].append(curve.second[j - 1].color);
                colors[0].append(curve.second[j].color);
            }
        }
        buildCurveLines(data.curveSamples, MPoint(0.0, 0.0, 0.0), FrameSettings(), data.curveLinePoints,
                        data.curveLineColors);
        const std::string label = "trial " + std::to_string(trial);
        expectSameArrays(data.curveLinePoints, points, label);
        expectSameArrays(data.curveLineColors, colors, label);
    }
}

// ------------------------------------------------------------------ whole frames

class FrameEquivalenceTest : public knotlens_test::ManagerTest {
protected:
    // `count` curves of `cvs` CVs spread over depth, all hilited.
    std::vector<std::string> makeCurves(std::size_t count, int cvs, double offset) {
        std::vector<std::string> curves;
        for (std::size_t c = 0; c < count; ++c) {
            std::vector<khost::Vec3> points;
            for (int i = 0; i < cvs; ++i) {
                const double x = static_cast<double>(c % 20) - 10.0 + offset;
                const double z = static_cast<double>(c / 20) * 1.5 - 15.0 + 0.37 * i;
                points.push_back({{x, 0.5 * i, z}});
            }
            curves.push_back(khost::createCurve(khost::openCurve(points)));
        }
        return curves;
    }

    // The frame's outputs are consistent with its records, and the records
    // are in depth order with rank ramp positions; the recorded CV mesh holds
    // exactly the frame's points and colours.
    void expectConsistentFrame(std::size_t expectedCvs, const std::string& label) {
        khost::drawFrame();
        const auto* data = dynamic_cast<const UserData*>(khost::userData(0, manager));
        ASSERT_NE(data, nullptr) << label;
        const std::vector<CvRecord>& records = data->cvRecords;
        ASSERT_EQ(records.size(), expectedCvs) << label;
        EXPECT_TRUE(std::is_sorted(records.begin(), records.end(), drawnBefore)) << label;
        ASSERT_EQ(data->cvPoints.length(), records.size()) << label;
        ASSERT_EQ(data->cvColors.length(), records.size()) << label;
        FrameSettings settings;
        settings.selectedPointColor = data->selectedPointColor;
        settings.deselectedPointColor = data->deselectedPointColor;
        const RampSettings ramp{true, 0.3f, 0.9f};
        std::size_t firstCvs = 0;
        for (std::size_t i = 0; i < records.size(); ++i) {
            const auto at = static_cast<unsigned int>(i);
            EXPECT_EQ(records[i].rampPosition, static_cast<float>(i) / static_cast<float>(records.size()))
                << label << " record " << i;
            EXPECT_TRUE(data->cvPoints[at] == records[i].position) << label << " record " << i;
            EXPECT_TRUE(data->cvColors[at] == pointColor(records[i], settings, ramp))
                << label << " record " << i;
            firstCvs += records[i].cvIndex == 0 ? 1 : 0;
        }
        EXPECT_EQ(data->markerPoints.length(), firstCvs) << label;

        const std::vector<khost::DrawCall>& calls = khost::drawCalls(0, manager);
        const khost::DrawCall* pointsCall = nullptr;
        for (const khost::DrawCall& call : calls) {
            if (call.kind == khost::DrawCall::Mesh && call.primitive == MHWRender::MUIDrawManager::kPoints) {
                pointsCall = &call;
            }
        }
        ASSERT_NE(pointsCall, nullptr) << label;
        ASSERT_EQ(pointsCall->points.length(), data->cvPoints.length()) << label;
        ASSERT_EQ(pointsCall->colors.length(), data->cvColors.length()) << label;
        for (unsigned int i = 0; i < data->cvPoints.length(); ++i) {
            EXPECT_TRUE(pointsCall->points[i] == data->cvPoints[i]) << label << " point " << i;
            EXPECT_TRUE(pointsCall->colors[i] == data->cvColors[i]) << label << " colour " << i;
        }
    }
};

TEST_F(FrameEquivalenceTest, SceneThatShrinksAndGrowsBetweenFramesDrawsExactlyItsOwnCvs) {
    ASSERT_TRUE(khost::setAttr(manager, "useCVDistanceColor", 1.0));
    ASSERT_TRUE(khost::setAttr(manager, "distanceColorMin", 0.3));
    ASSERT_TRUE(khost::setAttr(manager, "distanceColorMax", 0.9));
    ASSERT_TRUE(khost::setAttr(manager, "showHull", 1.0));
    const std::vector<std::string> many = makeCurves(120, 6, 0.0);
    khost::setHilite(many);
    expectConsistentFrame(720, "120 curves");
    expectConsistentFrame(720, "120 curves again");

    // Fewer curves: a frame drawn into larger storage.
    const std::vector<std::string> few(many.begin(), many.begin() + 7);
    khost::setHilite(few);
    expectConsistentFrame(42, "7 curves");

    // More curves than ever, some named twice (through transform and shape).
    std::vector<std::string> more = many;
    const std::vector<std::string> extra = makeCurves(60, 9, 0.25);
    more.insert(more.end(), extra.begin(), extra.end());
    more.push_back(khost::shapeOf(many[3]));
    khost::setHilite(more);
    expectConsistentFrame(720 + 540, "180 curves");

    // A curve renamed and one moved between frames: new names and positions.
    ASSERT_TRUE(khost::renameNode(many[0], "renamedCurve"));
    khost::setTranslate(many[1], {{0.0, 40.0, 0.0}});
    expectConsistentFrame(720 + 540, "after rename and move");
}

}  // namespace
