// Thousands of varied scenes, two frames each, every frame compared with the
// reference frame (tests/support/reference_frame.h); and the comparison
// itself: exact on points and colours, tolerant only of the order of CVs at
// equal distance from the camera.
#include <gtest/gtest.h>

#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MPoint.h>

#include <khost/harness.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "support/env_count.h"
#include "support/plugin_fixture.h"
#include "tests/support/reference_frame.h"

namespace {

using khost::Vec3;
using knotlens_test::envCount;

// One for the whole program: the plug-in's process-wide state outlives each test.
reference::ReferenceFrame& referenceFrame() {
    static reference::ReferenceFrame frame;
    return frame;
}

MDagPath shapePath(const std::string& name) {
    MDagPath path = khost::dagPath(name);
    path.extendToShape();
    return path;
}

// Builds one random scene through the harness, telling the reference about
// every edit, and draws and checks its frames.
class RandomScene {
public:
    explicit RandomScene(uint32_t seed) : rng_(seed) {}

    // Returns the first difference between the plug-in and the reference, or "".
    std::string play() {
        khost::newScene();
        edited();
        views_.assign(1, shapePath("persp"));
        build();
        std::string difference = frame();
        if (difference.empty()) {
            change();
            difference = frame();
        }
        khost::newScene();
        edited();
        return difference;
    }

private:
    int below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    double real(double lo, double hi) {
        return lo + (hi - lo) * (static_cast<double>(rng_()) / 4294967295.0);
    }
    // Coordinates on a half-unit grid, so that equal distances are common.
    double grid(int range) { return 0.5 * (below(4 * range + 1) - 2 * range); }
    Vec3 gridPoint(int range) { return Vec3{{grid(range), grid(range), grid(range)}}; }

    void edited() { referenceFrame().afterEdit(); }

    std::string anyCurve() {
        return curves_[static_cast<std::size_t>(below(static_cast<int>(curves_.size())))];
    }

    void build() {
        curves_.clear();
        managers_.clear();
        cvCounts_.clear();
        std::vector<std::string> groups;
        for (int g = below(3); g > 0; --g) {
            const std::string parent = groups.empty() || chance(50) ? std::string() : groups.back();
            const std::string group = khost::createTransform("", parent);
            khost::setTranslate(group, gridPoint(4));
            if (chance(60)) {
                khost::setRotate(group, Vec3{{real(-180, 180), real(-180, 180), real(-180, 180)}});
            }
            if (chance(20)) {
                khost::setScale(group, Vec3{{real(0.5, 2), real(0.5, 2), real(0.5, 2)}});
            }
            groups.push_back(group);
            edited();
        }
        auto anyParent = [&]() {
            return groups.empty() || chance(50)
                       ? std::string()
                       : groups[static_cast<std::size_t>(below(static_cast<int>(groups.size())))];
        };

        for (int c = 1 + below(4); c > 0; --c) {
            const int degree = 1 + below(5);
            khost::CurveDesc desc;
            if (chance(30)) {
                desc = khost::periodicCircle(real(0.5, 6), degree + 1 + below(5), degree, gridPoint(3));
            } else {
                std::vector<Vec3> cvs;
                const bool mirrored = chance(30);  // pairs at equal distance from a camera on an axis
                for (int i = degree + 1 + below(8); i > 0; --i) {
                    Vec3 p = gridPoint(6);
                    if (mirrored && !cvs.empty() && chance(50)) {
                        p = cvs.back();
                        p[0] = -p[0];
                    }
                    cvs.push_back(p);
                }
                desc = khost::openCurve(cvs, degree);
            }
            const std::string curve = khost::createCurve(desc, "", anyParent());
            if (!curve.empty()) {
                curves_.push_back(curve);
                cvCounts_.push_back(static_cast<int>(desc.cvs.size()));
            }
            edited();
        }

        if (chance(40)) {
            occluder_ = khost::createMesh(
                chance(50) ? khost::planeMesh(real(2, 12), 1 + below(3), gridPoint(2), below(3))
                           : khost::boxMesh(gridPoint(2), gridPoint(4)),
                "", anyParent());
            edited();
        } else {
            occluder_.clear();
        }

        for (int v = below(3); v > 0; --v) {
            const Vec3 eye = chance(30) ? Vec3{{0.0, grid(4), 12.0 + below(10)}} : gridPoint(20);
            const std::string camera = khost::createCamera(eye, gridPoint(2), real(20, 90), "", anyParent());
            const int view = khost::addView(camera, 200 + below(600), 150 + below(450));
            if (view >= 0) {
                views_.push_back(shapePath(camera));
            }
            if (chance(30)) {
                khost::setActiveView(view);
            }
            edited();
        }

        for (int m = chance(25) ? 2 : 1; m > 0; --m) {
            const std::string manager = khost::createNode(knotlens_test::kNodeType);
            managers_.push_back(shapePath(manager));
            settings(manager);
        }
        select();
    }

    void settings(const std::string& node) {
        static const char* const kSwitches[] = {"drawOnTop",
                                                "showCurve",
                                                "showHull",
                                                "useCVDistanceColor",
                                                "useHullDistanceColor",
                                                "useCurveDistanceColor",
                                                "useCVOcclusion",
                                                "lazyUpdate"};
        for (const char* name : kSwitches) {
            khost::setAttr(node, name, chance(50) ? 1.0 : 0.0);
        }
        static const char* const kColors[] = {"selectedPointColor", "deselectedPointColor", "curveColor",
                                              "hullColor"};
        static const char* const kAlphas[] = {"selectedPointAlpha", "deselectedPointAlpha", "curveAlpha",
                                              "hullAlpha"};
        for (int i = 0; i < 4; ++i) {
            if (chance(60)) {
                khost::setAttr(node, kColors[i], real(0, 1), real(0, 1), real(0, 1));
                khost::setAttr(node, kAlphas[i], real(0, 1));
            }
        }
        if (chance(50)) {
            khost::setAttr(node, "pointSize", real(1, 40));
        }
        if (chance(30)) {
            khost::setAttr(node, "lineWidth", real(1, 10));
            khost::setAttr(node, "hullWidth", real(1, 10));
        }
        if (chance(50)) {
            // Forced past the range too, as a connection could deliver it.
            khost::forceAttr(node, "curveDivisions", below(80) - 8);
        }
        if (chance(60)) {
            // Either order of the two bounds.
            khost::setAttr(node, "distanceColorMin", real(0, 1));
            khost::setAttr(node, "distanceColorMax", real(0, 1));
        }
        if (!occluder_.empty() && chance(80)) {
            khost::setAttrString(node, "occluderMeshName", occluder_);
        }
        if (chance(8)) {
            khost::setAttr(node, "nodeState", 1 + below(2));
        }
        edited();
    }

    // CV indices of a curve of `count` CVs, with repeats and indices out of range.
    std::vector<int> someIndices(int count) {
        std::vector<int> indices;
        for (int k = below(6); k > 0; --k) {
            indices.push_back(chance(10) ? count + below(3) - (chance(50) ? 0 : count + 4) : below(count));
        }
        if (!indices.empty() && chance(20)) {
            indices.push_back(indices.front());
        }
        return indices;
    }

    void selectOne(bool add) {
        const std::size_t c = static_cast<std::size_t>(below(static_cast<int>(curves_.size())));
        const std::string& curve = curves_[c];
        const int kind = below(10);
        if (kind < 4) {
            khost::selectCVs(curve, someIndices(cvCounts_[c]), add);
        } else if (kind < 6) {
            const std::vector<int> indices = someIndices(cvCounts_[c]);
            std::vector<float> weights;
            for (std::size_t i = 0; i < indices.size(); ++i) {
                weights.push_back(static_cast<float>(real(-0.2, 1.2)));
            }
            khost::selectComponents(curve, MFn::kCurveCVComponent, indices,
                                    chance(50) ? weights : std::vector<float>{}, add);
        } else if (kind < 7) {
            khost::selectComponents(curve, MFn::kCurveEPComponent, someIndices(cvCounts_[c]), {}, add);
        } else if (kind < 9) {
            khost::select({curve}, add);
        } else {
            khost::setHilite({curve});
        }
        edited();
    }

    void select() {
        if (curves_.empty()) {
            return;
        }
        if (chance(15)) {
            std::vector<khost::RichItem> items;
            for (int i = 1 + below(2); i > 0; --i) {
                const std::size_t c = static_cast<std::size_t>(below(static_cast<int>(curves_.size())));
                khost::RichItem item;
                item.object = curves_[c];
                item.cvs = someIndices(cvCounts_[c]);
                for (std::size_t k = 0; k < item.cvs.size(); ++k) {
                    item.weights.push_back(static_cast<float>(real(0, 1)));
                }
                items.push_back(item);
            }
            khost::setRichSelection(items);
            edited();
            return;
        }
        for (int i = 1 + below(3); i > 0; --i) {
            selectOne(i != 1 || chance(30));
        }
    }

    // Between the two frames: the selection, a CV or a setting changes.
    void change() {
        const int kind = below(4);
        if (kind == 0 || curves_.empty()) {
            select();
        } else if (kind == 1) {
            khost::setCV(anyCurve(), below(4), gridPoint(6));
            edited();
        } else if (kind == 2) {
            const std::string manager = managers_.front().fullPathName().asChar();
            khost::setAttr(manager, "curveDivisions", 2 + below(20));
            khost::setAttr(manager, "curveAlpha", real(0, 1));
            edited();
        } else {
            khost::clearSelection();
            edited();
            select();
        }
    }

    std::string frame() {
        khost::drawFrame();
        return referenceFrame().checkFrame(managers_, views_);
    }

    std::mt19937 rng_;
    std::vector<std::string> curves_;
    std::vector<int> cvCounts_;
    std::vector<MDagPath> managers_;
    std::vector<MDagPath> views_;
    std::string occluder_;
};

class ReferenceFrameTest : public knotlens_test::PluginTest {};

TEST_F(ReferenceFrameTest, RandomScenesDrawAsTheReferenceDoes) {
    const long scenes = envCount("KNOTLENS_REFERENCE_SCENES", 3000);
    khost::ConsoleCapture quiet;  // the node's console lines
    const reference::ReferenceFrame::Coverage before = referenceFrame().coverage();
    for (uint32_t seed = 1; seed <= static_cast<uint32_t>(scenes); ++seed) {
        RandomScene scene(seed);
        const std::string difference = scene.play();
        ASSERT_EQ(difference, "") << "scene seed " << seed;
    }
    // Every kind of frame the scenes are meant to make was made: the
    // comparison is not vacuous.
    const reference::ReferenceFrame::Coverage& after = referenceFrame().coverage();
    EXPECT_EQ(after.frames - before.frames, static_cast<uint64_t>(2 * scenes));
    EXPECT_GT(after.framesWithCvs - before.framesWithCvs, static_cast<uint64_t>(scenes / 2));
    EXPECT_GT(after.framesWithCurve - before.framesWithCurve, static_cast<uint64_t>(scenes / 10));
    EXPECT_GT(after.framesWithHull - before.framesWithHull, static_cast<uint64_t>(scenes / 10));
    EXPECT_GT(after.softFrames - before.softFrames, static_cast<uint64_t>(scenes / 50));
    EXPECT_GT(after.abandonedFrames - before.abandonedFrames, static_cast<uint64_t>(scenes / 50));
    EXPECT_GT(after.selectedCvs - before.selectedCvs, static_cast<uint64_t>(scenes));
    EXPECT_GT(after.occludedCvs - before.occludedCvs, static_cast<uint64_t>(scenes / 50));
    EXPECT_GT(after.markers - before.markers, static_cast<uint64_t>(scenes));
    EXPECT_GT(after.tiedFrames - before.tiedFrames, static_cast<uint64_t>(scenes / 10));
    std::printf(
        "reference: %llu frames, %llu with CV points (%llu curve, %llu hull, %llu soft), %llu empty or "
        "abandoned; %llu CVs (%llu selected, %llu occluded), %llu markers; %llu with CVs at equal "
        "distance, %llu of them drawn in another order\n",
        static_cast<unsigned long long>(after.frames - before.frames),
        static_cast<unsigned long long>(after.framesWithCvs - before.framesWithCvs),
        static_cast<unsigned long long>(after.framesWithCurve - before.framesWithCurve),
        static_cast<unsigned long long>(after.framesWithHull - before.framesWithHull),
        static_cast<unsigned long long>(after.softFrames - before.softFrames),
        static_cast<unsigned long long>(after.abandonedFrames - before.abandonedFrames),
        static_cast<unsigned long long>(after.cvs - before.cvs),
        static_cast<unsigned long long>(after.selectedCvs - before.selectedCvs),
        static_cast<unsigned long long>(after.occludedCvs - before.occludedCvs),
        static_cast<unsigned long long>(after.markers - before.markers),
        static_cast<unsigned long long>(after.tiedFrames - before.tiedFrames),
        static_cast<unsigned long long>(after.reorderedTies - before.reorderedTies));
}

// ------------------------------------------------------------ the comparison itself

reference::FrameModel tiedModel() {
    reference::FrameModel model;
    model.complete = true;
    model.settings.showHull = true;
    model.useCVDistanceColor = true;
    model.useHullDistanceColor = true;
    model.rampByRank = true;
    model.distanceColorMin = 0.1f;
    model.rampTop = 1.0f;
    // Curve 0: CVs 0 and 1 at distance 5 (a tie), CV 2 at distance 3.
    const double distances[] = {5.0, 5.0, 3.0};
    for (uint32_t i = 0; i < 3; ++i) {
        reference::Cv cv;
        cv.curve = 0;
        cv.index = i;
        cv.position = MPoint(static_cast<double>(i), 0.0, 0.0);
        cv.distance = distances[i];
        cv.selected = i == 1;
        cv.hasMarker = i == 0;
        cv.marker = MPoint(10.0, 20.0, 0.0, 1.0);
        model.cvs.push_back(cv);
    }
    return model;
}

TEST(ReferenceComparison, AcceptsEitherOrderOfTiedCvsAndNothingElse) {
    const reference::FrameModel model = tiedModel();
    const std::vector<khost::DrawCall> inOrder = reference::drawCalls(model, {0, 1, 2});
    const std::vector<khost::DrawCall> tiesSwapped = reference::drawCalls(model, {1, 0, 2});
    // The two orders really draw differently (ranks move colours and the hull).
    EXPECT_NE(reference::firstDifference(inOrder, tiesSwapped), "");
    EXPECT_EQ(reference::compare(model, inOrder), "");
    EXPECT_EQ(reference::compare(model, tiesSwapped), "");
    // CVs at different distances may not trade places.
    EXPECT_NE(reference::compare(model, reference::drawCalls(model, {0, 2, 1})), "");
    EXPECT_NE(reference::compare(model, reference::drawCalls(model, {2, 0, 1})), "");
}

TEST(ReferenceComparison, ReportsOneBitOfAnyPointOrColour) {
    const reference::FrameModel model = tiedModel();
    const std::vector<khost::DrawCall> calls = reference::drawCalls(model, {0, 1, 2});
    int meshes = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].kind == khost::DrawCall::Mesh) {
            ++meshes;
            std::vector<khost::DrawCall> changed = calls;
            changed[i].colors[0].g = std::nextafter(changed[i].colors[0].g, 2.0f);
            EXPECT_NE(reference::compare(model, changed), "") << "colour of call " << i;
            changed = calls;
            changed[i].points[1].z = std::nextafter(changed[i].points[1].z, 1.0);
            EXPECT_NE(reference::compare(model, changed), "") << "point of call " << i;
        }
        if (calls[i].kind == khost::DrawCall::Circle2d) {
            std::vector<khost::DrawCall> changed = calls;
            changed[i].center.x += 1.0;
            EXPECT_NE(reference::compare(model, changed), "") << "marker centre";
            changed = calls;
            changed[i - 1].color.a = 0.5f;
            EXPECT_NE(reference::compare(model, changed), "") << "marker colour";
        }
    }
    EXPECT_EQ(meshes, 2);  // the hull and the CV points
    std::vector<khost::DrawCall> shorter = calls;
    shorter.pop_back();
    EXPECT_NE(reference::compare(model, shorter), "");
}

TEST(ReferenceComparison, NanDistancesComeFirst) {
    reference::FrameModel model = tiedModel();
    model.cvs[2].distance = std::nan("");
    EXPECT_EQ(reference::depthOrder(model), (std::vector<std::size_t>{2, 0, 1}));
    EXPECT_EQ(reference::compare(model, reference::drawCalls(model, {2, 1, 0})), "");
    EXPECT_NE(reference::compare(model, reference::drawCalls(model, {0, 1, 2})), "");
}

}  // namespace
