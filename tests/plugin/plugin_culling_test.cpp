// Frustum culling in the embedded host's frame driver, and the overlay's
// exemption from it. Probe overrides of a test-only locator type show what
// the host culls; the draw manager node shows that the overlay is drawn
// wherever its curves are, whatever the locator's own position.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MBoundingBox.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <khost/harness.h>

#include <map>
#include <string>

#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using khost::Vec3;

// How the probe override of a node (by full path name) answers the culling
// queries; the host makes overrides at the first frame, so they look it up.
struct ProbeSetup {
    bool overrideBounds = false;  // false: the base class's isBounded and boundingBox
    bool bounded = true;
    MBoundingBox box;
};
std::map<std::string, ProbeSetup> probeSetups;

const ProbeSetup& setupOf(const MDagPath& path) {
    static const ProbeSetup base;
    const auto it = probeSetups.find(path.fullPathName().asChar());
    return it != probeSetups.end() ? it->second : base;
}

class ProbeNode : public MPxLocatorNode {
public:
    static void* creator() { return new ProbeNode; }
    static MStatus initialize() { return MStatus::kSuccess; }
};

class ProbeOverride : public MHWRender::MPxDrawOverride {
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj) { return new ProbeOverride(obj); }
    explicit ProbeOverride(const MObject& obj) : MPxDrawOverride(obj, nullptr, true) {}

    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kAllDevices; }
    bool hasUIDrawables() const override { return true; }
    bool isBounded(const MDagPath& objPath, const MDagPath& cameraPath) const override {
        const ProbeSetup& setup = setupOf(objPath);
        return setup.overrideBounds ? setup.bounded : MPxDrawOverride::isBounded(objPath, cameraPath);
    }
    MBoundingBox boundingBox(const MDagPath& objPath, const MDagPath& cameraPath) const override {
        const ProbeSetup& setup = setupOf(objPath);
        return setup.overrideBounds ? setup.box : MPxDrawOverride::boundingBox(objPath, cameraPath);
    }
    MUserData* prepareForDraw(const MDagPath&, const MDagPath&, const MHWRender::MFrameContext&,
                              MUserData* oldData) override {
        return oldData != nullptr ? oldData : new MUserData();
    }
    void addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext&, const MUserData*) override {
        drawManager.beginDrawable();
        drawManager.endDrawable();
    }
};

const MTypeId kProbeId(0x7F0001);
const MString kProbeClassification("drawdb/geometry/cullProbe");
const MString kProbeRegistrant("cullProbe");

MStatus initializeProbe(MObject obj) {
    MFnPlugin plugin(obj, "test", "1.0", "Any");
    MStatus status = plugin.registerNode("cullProbe", kProbeId, ProbeNode::creator, ProbeNode::initialize,
                                         MPxNode::kLocatorNode, &kProbeClassification);
    if (!status) {
        return status;
    }
    return MHWRender::MDrawRegistry::registerDrawOverrideCreator(kProbeClassification, kProbeRegistrant,
                                                                 ProbeOverride::creator);
}

MStatus uninitializeProbe(MObject obj) {
    MFnPlugin plugin(obj);
    MStatus status =
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kProbeClassification, kProbeRegistrant);
    return status ? plugin.deregisterNode(kProbeId) : status;
}

// The transform the host made above a locator shape.
std::string transformOf(const std::string& shape) {
    const std::string path = khost::fullPathName(shape);
    const std::size_t last = path.rfind('|');
    return path.substr(1, last - 1);
}

class CullingTest : public knotlens_test::ManagerTest {
protected:
    void SetUp() override {
        knotlens_test::ManagerTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        std::string error;
        ASSERT_TRUE(
            khost::loadPluginEntry("cullProbe", initializeProbe, uninitializeProbe, "20250000", &error))
            << error;
        // View 1 looks down +Z from z = 40: the origin is behind it.
        awayView = khost::addView(khost::createCamera({0, 1, 40}, {0, 1, 100}));
    }
    void TearDown() override {
        khost::newScene();
        std::string error;
        EXPECT_TRUE(khost::unloadPlugin("cullProbe", &error)) << error;
        probeSetups.clear();
        knotlens_test::ManagerTest::TearDown();
    }
    static std::string probe(const ProbeSetup& setup) {
        std::string error;
        const std::string node = khost::createNode("cullProbe", "", &error);
        EXPECT_FALSE(node.empty()) << error;
        probeSetups[khost::fullPathName(node)] = setup;
        return node;
    }
    static bool drawnIn(int view, const std::string& node) { return !khost::drawCalls(view, node).empty(); }
    int awayView = -1;
};

TEST_F(CullingTest, BoundedOverrideAtTheOriginIsNeitherPreparedNorDrawnWhenTheCameraLooksAway) {
    const std::string node = probe(ProbeSetup());  // the base class: bounded, empty box at the origin
    khost::drawFrame();
    EXPECT_TRUE(drawnIn(0, node)) << "the default view looks at the origin";
    EXPECT_FALSE(drawnIn(awayView, node));
    EXPECT_EQ(khost::userData(awayView, node), nullptr) << "a culled override is not prepared";

    // Only the culled view loses it, frame after frame.
    khost::resetCounters();
    khost::drawFrame();
    EXPECT_TRUE(drawnIn(0, node));
    EXPECT_FALSE(drawnIn(awayView, node));
    EXPECT_GE(khost::counters().culled, 1u);
}

TEST_F(CullingTest, TheBoxIsTakenToWorldSpaceThroughTheObjectsTransform) {
    const std::string atOrigin = probe(ProbeSetup());
    const std::string moved = probe(ProbeSetup());
    khost::setTranslate(transformOf(moved), {0, 1, 60});  // in front of the away view, behind nothing
    khost::drawFrame();
    EXPECT_FALSE(drawnIn(awayView, atOrigin));
    EXPECT_TRUE(drawnIn(awayView, moved));
}

TEST_F(CullingTest, ABoxReachingIntoTheFrustumKeepsTheOverride) {
    ProbeSetup straddling;
    straddling.overrideBounds = true;
    straddling.box =
        MBoundingBox(MPoint(-1, -1, -1), MPoint(1, 2, 50));  // from the origin into the away view
    ProbeSetup farAside = straddling;
    farAside.box = MBoundingBox(MPoint(500, 0, 60), MPoint(501, 1, 61));  // beside the away view's cone
    const std::string kept = probe(straddling);
    const std::string culled = probe(farAside);
    khost::drawFrame();
    EXPECT_TRUE(drawnIn(awayView, kept));
    EXPECT_FALSE(drawnIn(awayView, culled));
}

TEST_F(CullingTest, UnboundedOverrideIsNeverCulled) {
    ProbeSetup unbounded;
    unbounded.overrideBounds = true;
    unbounded.bounded = false;
    const std::string node = probe(unbounded);
    khost::drawFrame();
    EXPECT_TRUE(drawnIn(0, node));
    EXPECT_TRUE(drawnIn(awayView, node));
}

// The draw manager locator sits at the origin, behind the away view's
// camera, while the curves it tracks are in front of it.
TEST_F(CullingTest, OverlayIsDrawnWhereverItsCurvesAreAndTheLocatorIsNot) {
    const std::string curve =
        khost::createCurve(khost::openCurve({{-2, 1, 60}, {-1, 2, 61}, {1, 0, 62}, {2, 1, 63}}));
    const std::string reference = probe(ProbeSetup());
    khost::selectCVs(curve, {0});
    khost::drawFrame();
    ASSERT_FALSE(drawnIn(awayView, reference)) << "an override bounded at the origin would be culled here";
    const auto* data = dynamic_cast<const UserData*>(khost::userData(awayView, manager));
    ASSERT_NE(data, nullptr) << "the overlay was not prepared in the view that looks away from the locator";
    EXPECT_EQ(data->cvPoints.length(), 4u);
    std::size_t points = 0;
    for (const khost::DrawCall& c : khost::drawCalls(awayView, manager)) {
        if (c.kind == khost::DrawCall::Mesh && c.primitive == 0) {
            points += c.points.length();
        }
    }
    EXPECT_EQ(points, 4u);
}

}  // namespace
