// Overlay drawing: the exact sequence of draw manager calls for real frames,
// and for hand-made records passed through a relay override that the test
// registers, so that records no frame would produce can be drawn too.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MDrawRegistry.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <khost/harness.h>

#include <string>
#include <vector>

#include "overlay/draw_override.h"
#include "overlay/user_data.h"
#include "support/plugin_fixture.h"

namespace {

using Kind = khost::DrawCall::Kind;

// ------------------------------------------------------------------ relay plug-in

// What the relay override hands to the overlay's addUIDrawables.
struct Relay {
    DrawOverride* target = nullptr;
    const MUserData* data = nullptr;
};
Relay& relay() {
    static Relay r;
    return r;
}

class RelayNode : public MPxLocatorNode {
public:
    static void* creator() { return new RelayNode(); }
    static MStatus initialize() { return MS::kSuccess; }
};

class RelayOverride : public MHWRender::MPxDrawOverride {
public:
    static MHWRender::MPxDrawOverride* creator(const MObject& obj) { return new RelayOverride(obj); }
    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kAllDevices; }
    bool hasUIDrawables() const override { return true; }
    MUserData* prepareForDraw(const MDagPath&, const MDagPath&, const MHWRender::MFrameContext&,
                              MUserData* oldData) override {
        return oldData;
    }
    void addUIDrawables(const MDagPath& objPath, MHWRender::MUIDrawManager& drawManager,
                        const MHWRender::MFrameContext& frameContext, const MUserData*) override {
        if (relay().target != nullptr) {
            relay().target->addUIDrawables(objPath, drawManager, frameContext, relay().data);
        }
    }

private:
    explicit RelayOverride(const MObject& obj) : MHWRender::MPxDrawOverride(obj, nullptr, true) {}
};

const MString kRelayClassification("drawdb/geometry/knotlensTestRelay");
const MString kRelayRegistrant("knotlensTestRelay");
const MTypeId kRelayTypeId(0x7F7F1);

MStatus relayInitialize(MObject obj) {
    MFnPlugin plugin(obj, "test", "1.0", "Any");
    const MStatus status =
        plugin.registerNode("knotlensTestRelay", kRelayTypeId, RelayNode::creator, RelayNode::initialize,
                            MPxNode::kLocatorNode, &kRelayClassification);
    if (!status) {
        return status;
    }
    return MHWRender::MDrawRegistry::registerDrawOverrideCreator(kRelayClassification, kRelayRegistrant,
                                                                 RelayOverride::creator);
}

MStatus relayUninitialize(MObject obj) {
    MFnPlugin plugin(obj);
    const MStatus status =
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kRelayClassification, kRelayRegistrant);
    if (!status) {
        return status;
    }
    return plugin.deregisterNode(kRelayTypeId);
}

class ForeignData : public MUserData {};

// ------------------------------------------------------------------ fixture

class DrawTest : public knotlens_test::ManagerTest {
protected:
    void TearDown() override {
        relay() = Relay{};
        ManagerTest::TearDown();
        if (khost::isPluginLoaded("relay")) {
            std::string error;
            EXPECT_TRUE(khost::unloadPlugin("relay", &error)) << error;
        }
    }
    std::string curveWithSelectedCvs(double z = 0.0) {
        const std::string c =
            khost::createCurve(khost::openCurve({{0, 0, z}, {1, 1, z}, {2, -1, z}, {3, 0, z}, {4, 1, z}}));
        khost::selectCVs(c, {1}, true);
        return c;
    }
    const UserData& record(const std::string& node) {
        const auto* data = dynamic_cast<const UserData*>(khost::userData(0, node));
        EXPECT_NE(data, nullptr);
        static const UserData empty;
        return data != nullptr ? *data : empty;
    }
    std::vector<khost::DrawCall> calls(const std::string& node) { return khost::drawCalls(0, node); }

    // Draws `data` with the overlay's addUIDrawables through the relay node.
    std::vector<khost::DrawCall> drawThroughRelay(const MUserData* data) {
        if (!khost::isPluginLoaded("relay")) {
            std::string error;
            EXPECT_TRUE(
                khost::loadPluginEntry("relay", relayInitialize, relayUninitialize, MApiVersion, &error))
                << error;
            relayNode = khost::createNode("knotlensTestRelay", "", &error);
            EXPECT_FALSE(relayNode.empty()) << error;
        }
        khost::drawFrame();  // makes the overlay's override if needed
        relay().target = static_cast<DrawOverride*>(khost::drawOverride(manager));
        relay().data = data;
        khost::drawFrame();
        return khost::drawCalls(0, relayNode);
    }

    std::string relayNode;
};

std::vector<Kind> kinds(const std::vector<khost::DrawCall>& calls) {
    std::vector<Kind> result;
    for (const khost::DrawCall& c : calls) {
        result.push_back(c.kind);
    }
    return result;
}

void expectSamePoints(const MPointArray& a, const MPointArray& b) {
    ASSERT_EQ(a.length(), b.length());
    for (unsigned int i = 0; i < a.length(); ++i) {
        EXPECT_EQ(a[i], b[i]) << i;
    }
}

void expectSameColors(const MColorArray& a, const MColorArray& b) {
    ASSERT_EQ(a.length(), b.length());
    for (unsigned int i = 0; i < a.length(); ++i) {
        EXPECT_EQ(a[i], b[i]) << i;
    }
}

void expectMesh(const khost::DrawCall& call, int primitive, const MPointArray& points,
                const MColorArray& colors) {
    EXPECT_EQ(call.kind, Kind::Mesh);
    EXPECT_EQ(call.primitive, primitive);
    EXPECT_TRUE(call.hasColors);
    EXPECT_FALSE(call.hasNormals);
    EXPECT_FALSE(call.hasIndices);
    EXPECT_FALSE(call.hasTexcoords);
    expectSamePoints(call.points, points);
    expectSameColors(call.colors, colors);
}

// ------------------------------------------------------------------ real frames

TEST_F(DrawTest, NormalDrawingFullSequence) {
    curveWithSelectedCvs();
    curveWithSelectedCvs(4.0);
    khost::setAttr(manager, "drawOnTop", 0.0);
    khost::setAttr(manager, "showHull", 1.0);
    khost::setAttr(manager, "lineWidth", 6.0);
    khost::setAttr(manager, "hullWidth", 2.5);
    khost::drawFrame();
    const UserData& data = record(manager);
    ASSERT_EQ(data.hullLinePoints.size(), 2u);
    ASSERT_EQ(data.markerPoints.length(), 2u);

    const std::vector<khost::DrawCall> c = calls(manager);
    const std::vector<Kind> expected{
        Kind::BeginDrawable, Kind::SetLineWidth, Kind::Mesh,         Kind::SetLineWidth, Kind::Mesh,
        Kind::SetLineWidth,  Kind::Mesh,         Kind::SetPointSize, Kind::Mesh,         Kind::SetLineWidth,
        Kind::SetColor,      Kind::Circle2d,     Kind::SetColor,     Kind::Circle2d,     Kind::EndDrawable};
    ASSERT_EQ(kinds(c), expected);
    EXPECT_EQ(c[0].selectability, 2);
    EXPECT_EQ(c[0].selectionName, 0u);
    EXPECT_EQ(c[1].value, 6.0f);
    expectMesh(c[2], 1, data.curveLinePoints[0], data.curveLineColors[0]);
    EXPECT_EQ(c[3].value, 2.5f);
    expectMesh(c[4], 1, data.hullLinePoints[0], data.hullLineColors[0]);
    EXPECT_EQ(c[5].value, 2.5f);
    expectMesh(c[6], 1, data.hullLinePoints[1], data.hullLineColors[1]);
    EXPECT_EQ(c[7].value, 10.5f);
    expectMesh(c[8], 0, data.cvPoints, data.cvColors);
    EXPECT_EQ(c[9].value, 1.0f);
    for (unsigned int m = 0; m < 2; ++m) {
        EXPECT_EQ(c[10 + 2 * m].color, data.markerColors[m]);
        EXPECT_EQ(c[11 + 2 * m].center, data.markerPoints[m]);
        EXPECT_EQ(c[11 + 2 * m].radius, 9.25);
        EXPECT_FALSE(c[11 + 2 * m].filled);
    }
}

TEST_F(DrawTest, XrayDrawingWrapsTheSameContent) {
    curveWithSelectedCvs();
    khost::drawFrame();
    const std::vector<Kind> expected{Kind::BeginDrawInXray, Kind::SetLineWidth, Kind::Mesh,
                                     Kind::SetPointSize,    Kind::Mesh,         Kind::SetLineWidth,
                                     Kind::SetColor,        Kind::Circle2d,     Kind::EndDrawInXray};
    EXPECT_EQ(kinds(calls(manager)), expected);
}

TEST_F(DrawTest, EmptyRecordStillBeginsAndEnds) {
    khost::clearSelection();
    khost::drawFrame();
    EXPECT_EQ(kinds(calls(manager)), (std::vector<Kind>{Kind::BeginDrawInXray, Kind::EndDrawInXray}));
    khost::setAttr(manager, "drawOnTop", 0.0);
    curveWithSelectedCvs();
    khost::clearSelection();
    khost::drawFrame();  // no snapshot without a selection: drawOnTop is still on
    EXPECT_EQ(kinds(calls(manager)), (std::vector<Kind>{Kind::BeginDrawInXray, Kind::EndDrawInXray}));
    khost::select({khost::createMesh(khost::boxMesh({0, 0, 0}, {1, 1, 1}))});
    khost::setAttr(manager, "showCurve", 0.0);
    khost::drawFrame();  // a snapshot with no curve: empty but normal
    EXPECT_EQ(kinds(calls(manager)), (std::vector<Kind>{Kind::BeginDrawable, Kind::EndDrawable}));
}

TEST_F(DrawTest, DisabledNodeDrawsNothingAtAll) {
    curveWithSelectedCvs();
    khost::setAttr(manager, "nodeState", 2.0);
    khost::drawFrame();
    EXPECT_TRUE(calls(manager).empty());
}

TEST_F(DrawTest, MarkerRadiusFollowsPointSizeAndCirclesUseWidthOne) {
    curveWithSelectedCvs();
    khost::setAttr(manager, "showHull", 1.0);
    khost::setAttr(manager, "lineWidth", 7.0);
    khost::setAttr(manager, "hullWidth", 9.0);
    for (const auto& sizeAndRadius : {std::pair<double, double>{10.5, 9.25}, {1.0, 4.5}, {100.0, 54.0}}) {
        khost::setAttr(manager, "pointSize", sizeAndRadius.first);
        khost::drawFrame();
        float width = 0.0f;
        int circles = 0;
        for (const khost::DrawCall& c : calls(manager)) {
            width = c.kind == Kind::SetLineWidth ? c.value : width;
            if (c.kind == Kind::Circle2d) {
                EXPECT_EQ(c.radius, sizeAndRadius.second);
                EXPECT_EQ(width, 1.0f);
                ++circles;
            }
        }
        EXPECT_EQ(circles, 1) << sizeAndRadius.first;
    }
}

TEST_F(DrawTest, ShowCurveOffSetsNoCurveWidth) {
    curveWithSelectedCvs();
    khost::setAttr(manager, "showCurve", 0.0);
    khost::setAttr(manager, "lineWidth", 7.0);
    khost::drawFrame();
    const std::vector<Kind> expected{Kind::BeginDrawInXray, Kind::SetPointSize, Kind::Mesh,
                                     Kind::SetLineWidth,    Kind::SetColor,     Kind::Circle2d,
                                     Kind::EndDrawInXray};
    const std::vector<khost::DrawCall> c = calls(manager);
    ASSERT_EQ(kinds(c), expected);
    EXPECT_EQ(c[2].primitive, 0);
}

// Each node's own state decides, whichever node is prepared last.
class TwoNodesOneDisabled : public DrawTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TwoNodesOneDisabled, OnlyTheDisabledNodeIsSuppressed) {
    const std::string other = createManager();
    const bool disableFirst = GetParam();
    const std::string& disabled = disableFirst ? manager : other;
    const std::string& enabled = disableFirst ? other : manager;
    curveWithSelectedCvs();
    khost::setAttr(disabled, "nodeState", 1.0);
    khost::drawFrame();
    EXPECT_TRUE(calls(disabled).empty());
    const std::vector<khost::DrawCall> c = calls(enabled);
    ASSERT_FALSE(c.empty());
    EXPECT_EQ(c.front().kind, Kind::BeginDrawInXray);
    EXPECT_EQ(c.back().kind, Kind::EndDrawInXray);
    EXPECT_EQ(record(disabled).nodeState, 1);
    EXPECT_EQ(record(enabled).nodeState, 0);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, TwoNodesOneDisabled, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("FirstDisabled")
                                                : std::string("SecondDisabled");
                         });

// ------------------------------------------------------------------ hand-made records

TEST_F(DrawTest, NoDataForeignDataOrADisabledNodesRecordDrawNothing) {
    EXPECT_TRUE(drawThroughRelay(nullptr).empty());
    const ForeignData foreign;
    EXPECT_TRUE(drawThroughRelay(&foreign).empty());
    UserData disabled;
    disabled.nodeState = 3;
    disabled.cvPoints.append(MPoint(0, 0, 0));
    disabled.cvColors.append(MColor(1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(drawThroughRelay(&disabled).empty());
}

TEST_F(DrawTest, CurveEntriesAreIgnoredWhileShowCurveIsOff) {
    UserData data;
    data.drawOnTop = false;
    data.showCurve = false;
    data.curveLinePoints.push_back(MPointArray(2, MPoint(1, 2, 3)));
    data.curveLineColors.push_back(MColorArray(2, MColor(1.0f, 0.0f, 0.0f)));
    EXPECT_EQ(kinds(drawThroughRelay(&data)), (std::vector<Kind>{Kind::BeginDrawable, Kind::EndDrawable}));

    data.showCurve = true;
    data.lineWidth = 5.0f;
    data.curveLinePoints.push_back(MPointArray(4, MPoint(0, 1, 0)));
    data.curveLineColors.push_back(MColorArray(4, MColor(0.0f, 1.0f, 0.0f)));
    const std::vector<khost::DrawCall> c = drawThroughRelay(&data);
    ASSERT_EQ(kinds(c), (std::vector<Kind>{Kind::BeginDrawable, Kind::SetLineWidth, Kind::Mesh, Kind::Mesh,
                                           Kind::EndDrawable}));
    EXPECT_EQ(c[1].value, 5.0f);
    expectMesh(c[2], 1, data.curveLinePoints[0], data.curveLineColors[0]);
    expectMesh(c[3], 1, data.curveLinePoints[1], data.curveLineColors[1]);
}

TEST_F(DrawTest, MarkersWithoutCvPointsDrawNoCircles) {
    UserData data;
    data.markerPoints.append(MPoint(10, 20, 0));
    data.markerColors.append(MColor(1.0f, 1.0f, 0.0f));
    EXPECT_EQ(kinds(drawThroughRelay(&data)),
              (std::vector<Kind>{Kind::BeginDrawInXray, Kind::EndDrawInXray}));
}

TEST_F(DrawTest, HullWidthBeforeEveryEntryAndNotWithoutEntries) {
    UserData data;
    data.showHull = true;
    data.hullWidth = 2.0f;
    EXPECT_EQ(kinds(drawThroughRelay(&data)),
              (std::vector<Kind>{Kind::BeginDrawInXray, Kind::EndDrawInXray}));

    for (int i = 0; i < 3; ++i) {
        data.hullLinePoints.push_back(MPointArray(static_cast<unsigned int>(2 * i), MPoint(i, 0, 0)));
        data.hullLineColors.push_back(
            MColorArray(static_cast<unsigned int>(2 * i), MColor(0.5f, 0.0f, 0.5f)));
    }
    const std::vector<khost::DrawCall> c = drawThroughRelay(&data);
    ASSERT_EQ(kinds(c),
              (std::vector<Kind>{Kind::BeginDrawInXray, Kind::SetLineWidth, Kind::Mesh, Kind::SetLineWidth,
                                 Kind::Mesh, Kind::SetLineWidth, Kind::Mesh, Kind::EndDrawInXray}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(c[static_cast<std::size_t>(1 + 2 * i)].value, 2.0f);
        expectMesh(c[static_cast<std::size_t>(2 + 2 * i)], 1,
                   data.hullLinePoints[static_cast<std::size_t>(i)],
                   data.hullLineColors[static_cast<std::size_t>(i)]);
    }
}

}  // namespace
