// Whole-frame outputs pinned by digest: varied scenes are drawn through the
// host, and every draw call (kind, values, the exact bits of every point and
// colour, in order), every CV record and the host's cache counters are folded
// into one FNV-1a 64 digest per scene, compared with a recorded value.
//
// The recorded values change only when an output change is intended. To
// record new ones, run this program and copy the digests printed in the
// failure messages into the expectations below.
#include <gtest/gtest.h>

#include <khost/harness.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

class Digest {
public:
    void bytes(const void* data, std::size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) {
            hash_ ^= p[i];
            hash_ *= 0x100000001b3ull;
        }
    }
    template <typename T>
    void value(const T& v) {
        bytes(&v, sizeof v);
    }
    void point(const MPoint& p) {
        value(p.x);
        value(p.y);
        value(p.z);
        value(p.w);
    }
    void color(const MColor& c) {
        value(c.r);
        value(c.g);
        value(c.b);
        value(c.a);
    }
    void points(const MPointArray& a) {
        value(a.length());
        for (unsigned int i = 0; i < a.length(); ++i) {
            point(a[i]);
        }
    }
    void colors(const MColorArray& a) {
        value(a.length());
        for (unsigned int i = 0; i < a.length(); ++i) {
            color(a[i]);
        }
    }
    std::string hex() const {
        char text[19];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_));
        return text;
    }

private:
    uint64_t hash_ = 0xcbf29ce484222325ull;
};

void addCalls(Digest& digest, const std::vector<khost::DrawCall>& calls) {
    digest.value(calls.size());
    for (const khost::DrawCall& c : calls) {
        digest.value(static_cast<int>(c.kind));
        digest.value(c.selectability);
        digest.value(c.selectionName);
        digest.color(c.color);
        digest.value(c.value);
        digest.value(c.primitive);
        digest.points(c.points);
        digest.colors(c.colors);
        digest.value(c.hasColors);
        digest.value(c.hasNormals);
        digest.value(c.hasIndices);
        digest.value(c.hasTexcoords);
        digest.point(c.center);
        digest.value(c.radius);
        digest.value(c.filled);
    }
}

void addRecords(Digest& digest, const MUserData* userData) {
    const auto* data = dynamic_cast<const UserData*>(userData);
    digest.value(data != nullptr);
    if (data == nullptr) {
        return;
    }
    digest.value(data->cvRecords.size());
    for (const CvRecord& r : data->cvRecords) {
        digest.value(r.curveIndex);
        digest.value(r.cvIndex);
        digest.point(r.position);
        digest.value(r.selected);
        digest.value(r.weight);
        digest.value(r.rampPosition);
        digest.value(r.alphaScale);
        digest.value(r.cameraDistance);
    }
    digest.value(data->curveSamples.size());
    for (const CurveSample& s : data->curveSamples) {
        digest.value(s.curveIndex);
        digest.point(s.position);
        digest.color(s.color);
        digest.value(s.sampleIndex);
        digest.value(s.cameraDistance);
    }
}

class FrameDigestTest : public knotlens_test::ManagerTest {
protected:
    // Draws one frame and folds what every node drew in every view into the digest.
    void frame() {
        khost::resetCounters();
        khost::drawFrame();
        const khost::Counters& counters = khost::counters();
        digest_.value(counters.getCVs);
        digest_.value(counters.getPointAtParam);
        digest_.value(counters.anyIntersection);
        for (int view = 0; view < khost::viewCount(); ++view) {
            for (const std::string& node : nodes_) {
                addCalls(digest_, khost::drawCalls(view, node));
                addRecords(digest_, khost::userData(view, node));
            }
        }
    }
    std::string digest() const { return digest_.hex(); }
    // The record a node's last frame left in a view.
    static const UserData& record(const std::string& node, int view = 0) {
        static const UserData none;
        const auto* data = dynamic_cast<const UserData*>(khost::userData(view, node));
        return data != nullptr ? *data : none;
    }
    static std::size_t occluded(const UserData& data) {
        std::size_t count = 0;
        for (const CvRecord& r : data.cvRecords) {
            count += r.alphaScale == 0.0f ? 1 : 0;
        }
        return count;
    }
    static std::size_t selected(const UserData& data) {
        std::size_t count = 0;
        for (const CvRecord& r : data.cvRecords) {
            count += r.selected ? 1 : 0;
        }
        return count;
    }

    // Curves of degrees 1, 2, 3 and 5, one of them periodic, around the origin.
    void makeCurves() {
        open3 = khost::createCurve(khost::openCurve({{0, 0, 0},
                                                     {-2, 1, -1},
                                                     {-4, 0, -2},
                                                     {-5, 2, -4},
                                                     {-6, 0, -5},
                                                     {-7, 1, -7},
                                                     {-9, 0, -8},
                                                     {-10, 2, -9}}));
        linear = khost::createCurve(khost::openCurve({{3, 0, 3}, {4, 1, 1}, {5, 0, -1}, {6, 2, -3}}, 1));
        circle = khost::createCurve(khost::periodicCircle(3.0, 8, 2, {0, 2, 0}));
        quintic = khost::createCurve(khost::openCurve(
            {{-3, -1, 4}, {-2, 0, 5}, {-1, 1, 4}, {0, 0, 6}, {1, -1, 5}, {2, 0, 7}, {3, 1, 6}}, 5));
    }

    std::vector<std::string> nodes_{manager};
    std::string open3, linear, circle, quintic;

private:
    Digest digest_;
};

TEST_F(FrameDigestTest, MixedSelectionAcrossFramesAndSettings) {
    nodes_ = {manager};
    makeCurves();
    khost::selectCVs(open3, {5, 2, 2, 7});
    khost::selectCVs(circle, {0, 4}, true);
    khost::select({linear}, true);  // an object: curve line only
    khost::setHilite({open3, circle, quintic});
    frame();
    // CVs 5, 2, 7 of one curve and 0, 4 of the circle; a marker per hilited curve.
    EXPECT_EQ(selected(record(manager)), 5u);
    EXPECT_EQ(record(manager).markerPoints.length(), 3u);
    khost::setCV(open3, 3, {-5, 3, -4});
    frame();
    khost::setAttr(manager, "showHull", 1.0);
    khost::setAttr(manager, "drawOnTop", 0.0);
    khost::setAttr(manager, "curveDivisions", 3.0);
    frame();
    khost::setAttr(manager, "showCurve", 0.0);
    khost::setAttr(manager, "distanceColorMin", 0.8);
    khost::setAttr(manager, "distanceColorMax", 0.5);
    frame();
    khost::setAttr(manager, "showCurve", 1.0);
    khost::clearSelection();
    frame();
    EXPECT_EQ(digest(), "05e0a1f5257800da");
}

TEST_F(FrameDigestTest, SoftSelectionAndRampSwitches) {
    nodes_ = {manager};
    makeCurves();
    khost::setRichSelection({{open3, {0, 1, 2, 6}, {1.0f, 0.5f, 0.25f, 0.0f}},
                             {quintic, {3, 3}, {0.75f, 0.5f}},
                             {circle, {}, {}}});
    khost::setAttr(manager, "showHull", 1.0);
    frame();
    khost::setAttr(manager, "useCVDistanceColor", 0.0);
    khost::setAttr(manager, "useHullDistanceColor", 0.0);
    frame();
    khost::setRichSelection({});
    khost::selectCVs(quintic, {1, 6});
    khost::setAttr(manager, "useCurveDistanceColor", 0.0);
    frame();
    khost::setAttr(manager, "useCVDistanceColor", 1.0);
    khost::setAttr(manager, "selectedPointColor", 0.2, 0.4, 0.6);
    khost::setAttr(manager, "hullAlpha", 0.5);
    frame();
    EXPECT_EQ(digest(), "97003fd45abcbd92");
}

TEST_F(FrameDigestTest, OcclusionXrayAndHull) {
    nodes_ = {manager};
    makeCurves();
    khost::createMesh(khost::planeMesh(6.0, 4, {-3, 1, 2}, 0), "wall");
    khost::setHilite({open3, linear, circle, quintic});
    khost::setAttr(manager, "showHull", 1.0);
    khost::setAttr(manager, "showCurve", 0.0);
    khost::setAttr(manager, "useCVOcclusion", 1.0);
    khost::setAttrString(manager, "occluderMeshName", "wall");
    frame();
    EXPECT_GT(occluded(record(manager)), 0u);
    khost::setAttr(manager, "drawOnTop", 0.0);
    khost::setAttr(manager, "showCurve", 1.0);
    frame();
    khost::setAttrString(manager, "occluderMeshName", "nothing");
    frame();
    EXPECT_EQ(digest(), "09f69e29ef9666ef");
}

TEST_F(FrameDigestTest, TwoViewsTwoNodes) {
    const std::string second = createManager();
    nodes_ = {manager, second};
    makeCurves();
    // A second view whose camera sits among the curves, so that some first
    // CVs lie behind it.
    khost::createCamera({-1, 0.5, 1}, {-10, 0, -9}, 40.0, "closeCam");
    khost::addView("closeCam", 320, 240);
    khost::setAttr(second, "showHull", 1.0);
    khost::setAttr(second, "pointSize", 5.0);
    khost::setAttr(second, "useCVDistanceColor", 0.0);
    khost::setAttr(second, "useCurveDistanceColor", 0.0);
    khost::setAttr(second, "lazyUpdate", 1.0);
    khost::selectCVs(open3, {1, 4});
    khost::selectCVs(quintic, {0}, true);
    khost::setHilite({open3, linear, quintic});
    frame();
    EXPECT_EQ(record(manager, 0).markerPoints.length(), 3u);
    EXPECT_EQ(record(manager, 1).markerPoints.length(), 1u);
    khost::setActiveView(1);
    khost::setCV(quintic, 2, {-1, 3, 4});
    frame();
    khost::setAttr(manager, "nodeState", 1.0);
    frame();
    EXPECT_EQ(digest(), "4c0a2b25a0375643");
}

}  // namespace
