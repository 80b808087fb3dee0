// Nodes of plug-in types in the embedded host: attribute definitions, plug
// reads, setAttr versus forceAttr, node creation and destruction, and the
// viewport frame driver with its recorded draw calls.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MDagPath.h>
#include <maya/MDrawRegistry.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnTypedAttribute.h>
#include <maya/MFrameContext.h>
#include <maya/MPlug.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- the test plug-in
// A locator type "probeLocator" with a float, an int64, a three-float colour,
// a boolean and a string attribute, and a draw override that records what
// the host calls it with.

MObject aSize, aCount, aTint, aFlag, aLabel;

// Statuses of attribute calls the initializer makes that must fail.
struct InitStatuses {
    MStatus singleDefaultOnColour;
    MStatus colourOnScalar;
    MStatus duplicateName;
    MStatus unequalMins;
};
InitStatuses initStatuses;

struct PrepareCall {
    std::string object, camera;
    const MUserData* oldData;
    MUserData* returned;
    int viewWidth;
};

struct Probe {
    int nodesAlive = 0;
    int overridesAlive = 0;
    int recordsAlive = 0;
    bool uiDrawables = true;
    bool replaceRecord = false;
    MHWRender::DrawAPI apis = MHWRender::kOpenGL | MHWRender::kDirectX11 | MHWRender::kOpenGLCoreProfile;
    bool alwaysDirty = true;
    std::vector<PrepareCall> prepares;
    std::vector<const MUserData*> drawnData;
};
Probe probe;

class ProbeLocator : public MPxLocatorNode {
public:
    ProbeLocator() { ++probe.nodesAlive; }
    ~ProbeLocator() override { --probe.nodesAlive; }
    static void* creator() { return new ProbeLocator; }

    static MStatus initialize() {
        MFnNumericAttribute n;
        MFnTypedAttribute t;
        aSize = n.create("size", "sz", MFnNumericData::kFloat, 2.5);
        n.setMin(0.5);
        n.setMax(10.0);
        addAttribute(aSize);
        aCount = n.create("count", "cnt", MFnNumericData::kInt64, 5.0);
        n.setMin(2.0);
        n.setMax(64.0);
        addAttribute(aCount);
        aTint = n.create("tint", "tn", MFnNumericData::k3Float, 0.0);
        initStatuses.singleDefaultOnColour = n.setDefault(0.5f);
        n.setDefault(0.25f, 0.5f, 0.75f);
        n.setMin(0.0);
        n.setMax(1.0);
        n.setUsedAsColor(true);
        initStatuses.unequalMins = n.setMin(0.0, 0.1, 0.2);
        addAttribute(aTint);
        aFlag = n.create("flag", "fl", MFnNumericData::kBoolean, 1.0);
        initStatuses.colourOnScalar = n.setUsedAsColor(true);
        addAttribute(aFlag);
        aLabel = t.create("label", "lb", MFnData::kString, MObject::kNullObj);
        addAttribute(aLabel);
        MObject clash = n.create("other", "size", MFnNumericData::kFloat, 0.0);
        initStatuses.duplicateName = addAttribute(clash);
        return MS::kSuccess;
    }
};

class ProbeRecord : public MUserData {
public:
    ProbeRecord() { ++probe.recordsAlive; }
    ~ProbeRecord() override { --probe.recordsAlive; }
};

class ProbeOverride : public MHWRender::MPxDrawOverride {
public:
    explicit ProbeOverride(const MObject& obj)
        : MPxDrawOverride(obj, nullptr, probe.alwaysDirty), node_(obj) {
        ++probe.overridesAlive;
    }
    ~ProbeOverride() override { --probe.overridesAlive; }
    static MHWRender::MPxDrawOverride* creator(const MObject& obj) { return new ProbeOverride(obj); }

    MHWRender::DrawAPI supportedDrawAPIs() const override { return probe.apis; }
    bool hasUIDrawables() const override { return probe.uiDrawables; }

    MUserData* prepareForDraw(const MDagPath& objPath, const MDagPath& cameraPath,
                              const MHWRender::MFrameContext& frameContext, MUserData* oldData) override {
        MUserData* result = oldData && !probe.replaceRecord ? oldData : new ProbeRecord;
        int x = 0, y = 0, w = 0, h = 0;
        frameContext.getViewportDimensions(x, y, w, h);
        probe.prepares.push_back(
            {objPath.fullPathName().asChar(), cameraPath.fullPathName().asChar(), oldData, result, w});
        return result;
    }

    // Draws with the size attribute read through a plug, so that the
    // recorded calls show the node's current value.
    void addUIDrawables(const MDagPath&, MHWRender::MUIDrawManager& dm, const MHWRender::MFrameContext&,
                        const MUserData* data) override {
        probe.drawnData.push_back(data);
        const float size = MPlug(node_, aSize).asFloat();
        dm.beginDrawable(MHWRender::MUIDrawManager::kAutomatic, 0);
        dm.setPointSize(size);
        MPointArray points;
        points.append(MPoint(1.0, 2.0, 3.0));
        points.append(MPoint(4.0, 5.0, 6.0));
        MColorArray colors;
        colors.append(MColor(1.0f, 0.0f, 0.0f, 1.0f));
        colors.append(MColor(0.0f, 1.0f, 0.0f, 0.5f));
        dm.mesh(MHWRender::MUIDrawManager::kPoints, points, nullptr, &colors, nullptr, nullptr);
        dm.setLineWidth(1.0f);
        dm.setColor(MColor(0.2f, 0.4f, 0.6f, 1.0f));
        dm.circle2d(MPoint(100.0, 50.0), size * 0.5 + 4.0, false);
        dm.line(MPoint(0.0, 0.0, 0.0), MPoint(1.0, 1.0, 1.0));
        dm.endDrawable();
    }

private:
    MObject node_;
};

const MString kClassification("drawdb/geometry/probeLocator");
const MString kRegistrant("probeRegistrant");

MStatus initializeProbe(MObject obj) {
    MFnPlugin plugin(obj, "ProbeVendor", "0.1", "Any");
    MStatus status = plugin.registerNode("probeLocator", 0x7F001, ProbeLocator::creator,
                                         ProbeLocator::initialize, MPxNode::kLocatorNode, &kClassification);
    if (!status) {
        return status;
    }
    return MHWRender::MDrawRegistry::registerDrawOverrideCreator(kClassification, kRegistrant,
                                                                 ProbeOverride::creator);
}

MStatus uninitializeProbe(MObject obj) {
    MFnPlugin plugin(obj);
    MStatus status = MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kClassification, kRegistrant);
    if (!status) {
        return status;
    }
    return plugin.deregisterNode(0x7F001);
}

class NodesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(khost::loadPluginEntry("probe", initializeProbe, uninitializeProbe, MApiVersion, &error))
            << error;
    }
    void SetUp() override {
        khost::newScene();
        probe = Probe();
        khost::resetCounters();
    }
};

// ---------------------------------------------------------------- attributes

TEST_F(NodesTest, AttributesAreListedWithTheirDefinitions) {
    const std::string node = khost::createNode("probeLocator");
    const std::vector<khost::AttributeInfo> attrs = khost::listAttributes(node);
    ASSERT_EQ(attrs.size(), 5u) << "the clashing attribute must not be added";

    EXPECT_EQ(attrs[0].longName, "size");
    EXPECT_EQ(attrs[0].shortName, "sz");
    EXPECT_EQ(attrs[0].numericType, MFnNumericData::kFloat);
    EXPECT_DOUBLE_EQ(attrs[0].defaults[0], 2.5);
    EXPECT_TRUE(attrs[0].hasMin && attrs[0].hasMax);
    EXPECT_DOUBLE_EQ(attrs[0].minValue, 0.5);
    EXPECT_DOUBLE_EQ(attrs[0].maxValue, 10.0);
    EXPECT_FALSE(attrs[0].usedAsColor);

    EXPECT_EQ(attrs[1].longName, "count");
    EXPECT_EQ(attrs[1].numericType, MFnNumericData::kInt64);

    EXPECT_EQ(attrs[2].longName, "tint");
    EXPECT_EQ(attrs[2].components, 3);
    EXPECT_TRUE(attrs[2].usedAsColor);
    EXPECT_DOUBLE_EQ(attrs[2].defaults[0], 0.25);
    EXPECT_DOUBLE_EQ(attrs[2].defaults[1], 0.5);
    EXPECT_DOUBLE_EQ(attrs[2].defaults[2], 0.75);

    EXPECT_EQ(attrs[3].numericType, MFnNumericData::kBoolean);
    EXPECT_FALSE(attrs[3].usedAsColor);

    EXPECT_TRUE(attrs[4].typed);
    EXPECT_EQ(attrs[4].dataType, MFnData::kString);
    EXPECT_TRUE(khost::attrStringIsNull(node, "label"));
    for (const auto& a : attrs) {
        EXPECT_FALSE(a.builtin) << a.longName;
    }
}

TEST_F(NodesTest, AttributeSettersRefuseWhatTheAttributeCannotHold) {
    EXPECT_EQ(initStatuses.singleDefaultOnColour, MS::kInvalidParameter);
    EXPECT_EQ(initStatuses.colourOnScalar, MS::kInvalidParameter);
    EXPECT_EQ(initStatuses.duplicateName, MS::kFailure);
    EXPECT_EQ(initStatuses.unequalMins, MS::kNotImplemented);

    // Outside a node type's initializer there is no type to add to.
    MFnNumericAttribute n;
    MObject late = n.create("late", "lt", MFnNumericData::kFloat, 0.0);
    EXPECT_EQ(MPxNode::addAttribute(late), MS::kFailure);
}

TEST_F(NodesTest, FunctionSetsAttachOnlyToCompatibleObjects) {
    EXPECT_TRUE(MObject::kNullObj.isNull());
    MStatus status;
    MFnNumericAttribute numeric(aLabel, &status);
    EXPECT_EQ(status, MS::kInvalidParameter) << "a string attribute is not numeric";
    EXPECT_EQ(numeric.setMin(1.0), MS::kInvalidParameter) << "an unattached set changes nothing";

    MFnAttribute general(aTint, &status);
    EXPECT_TRUE(status) << "every attribute takes the general attribute set";
    EXPECT_TRUE(general.isUsedAsColor());
    EXPECT_STREQ(aTint.apiTypeStr(), "kNumericAttribute");
    EXPECT_TRUE(aTint.hasFn(MFn::kAttribute));
    EXPECT_FALSE(aTint.hasFn(MFn::kNumericData));

    MFnNumericData data(aTint, &status);
    EXPECT_EQ(status, MS::kInvalidParameter);
    MObject made = data.create(MFnNumericData::k3Double, &status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(data.setData(1.0, 2.0, 3.0));
    double x = 0, y = 0, z = 0;
    ASSERT_TRUE(MFnNumericData(made).getData(x, y, z));
    EXPECT_DOUBLE_EQ(z, 3.0);
    data.create(MFnNumericData::kFloat, &status);
    EXPECT_EQ(status, MS::kInvalidParameter) << "a single value makes no data object";
}

TEST_F(NodesTest, NumericDefaultsAreStoredAsTheTypeHoldsThem) {
    MFnNumericAttribute n;
    n.create("f", "f", MFnNumericData::kFloat, 0.1);
    double d = 0.0;
    ASSERT_TRUE(n.getDefault(d));
    EXPECT_EQ(d, static_cast<double>(0.1f));

    n.create("i", "i", MFnNumericData::kInt, 2.6);
    int i = 0;
    ASSERT_TRUE(n.getDefault(i));
    EXPECT_EQ(i, 3);

    n.create("b", "b", MFnNumericData::kBoolean, 0.25);
    bool b = false;
    ASSERT_TRUE(n.getDefault(b));
    EXPECT_TRUE(b);
}

TEST_F(NodesTest, EveryNumericTypeHoldsItsNumberOfValues) {
    // Values per type, in enumeration order; -1: no attribute of it can be
    // made (k4Double and kAddr are data-only).
    const int expected[] = {0, 1, 1, 1, 1, 2, 3, 1, 2, 3, 1, 1, 2, 3, 1, 2, 3, -1, -1, 0};
    for (int t = MFnNumericData::kInvalid; t <= MFnNumericData::kLast; ++t) {
        const auto type = static_cast<MFnNumericData::Type>(t);
        const int count = expected[t];
        MFnNumericAttribute n;
        MStatus status;
        n.create("v", "v", type, 1.0, &status);
        EXPECT_EQ(status,
                  count > 0 ? MS::kSuccess : (count < 0 ? MS::kNotImplemented : MS::kInvalidParameter))
            << "type " << t;
        double a = 0.0, b = 0.0, c = 0.0;
        EXPECT_EQ(static_cast<bool>(n.getDefault(a)), count == 1) << "type " << t;
        EXPECT_EQ(static_cast<bool>(n.getDefault(a, b)), count == 2) << "type " << t;
        EXPECT_EQ(static_cast<bool>(n.getDefault(a, b, c)), count == 3) << "type " << t;

        // Data objects carry the multi-value kinds, k4Double included.
        MFnNumericData data;
        data.create(type, &status);
        EXPECT_EQ(static_cast<bool>(status), count > 1 || type == MFnNumericData::k4Double) << "type " << t;
    }
}

TEST_F(NodesTest, SetAttrClampsToTheRangeAndForceAttrDoesNot) {
    const std::string node = khost::createNode("probeLocator");
    EXPECT_TRUE(khost::setAttr(node, "size", 20.0));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "size"), 10.0);
    EXPECT_TRUE(khost::setAttr(node, "sz", 0.1));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "size"), 0.5);
    EXPECT_TRUE(khost::forceAttr(node, "size", 20.0));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "size"), 20.0);

    // Each component of the colour is clamped on its own.
    EXPECT_TRUE(khost::setAttr(node, "tint", 2.0, -1.0, 0.5));
    const auto tint = khost::getAttr3(node, "tint");
    EXPECT_DOUBLE_EQ(tint[0], 1.0);
    EXPECT_DOUBLE_EQ(tint[1], 0.0);
    EXPECT_DOUBLE_EQ(tint[2], 0.5);
    EXPECT_TRUE(khost::forceAttr(node, "tn", 2.0, -1.0, 0.5));
    EXPECT_DOUBLE_EQ(khost::getAttr3(node, "tint")[0], 2.0);

    // Integer attributes hold whole numbers.
    EXPECT_TRUE(khost::setAttr(node, "count", 7.6));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "count"), 8.0);
}

TEST_F(NodesTest, SetAttrRefusesWrongShapesOfValue) {
    const std::string node = khost::createNode("probeLocator");
    EXPECT_FALSE(khost::setAttr(node, "tint", 0.5));
    EXPECT_FALSE(khost::setAttr(node, "size", 1.0, 2.0, 3.0));
    EXPECT_FALSE(khost::setAttr(node, "label", 1.0));
    EXPECT_FALSE(khost::setAttr(node, "noSuchAttr", 1.0));
    EXPECT_FALSE(khost::setAttr("noSuchNode", "size", 1.0));
    EXPECT_FALSE(khost::setAttr(node, "size", std::nan("")));
    EXPECT_FALSE(khost::setAttrString(node, "size", "text"));
    EXPECT_TRUE(std::isnan(khost::getAttr(node, "noSuchAttr")));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "size"), 2.5) << "refused writes leave the value alone";
}

TEST_F(NodesTest, NodeStateTakesTheEnumValuesOnly) {
    const std::string node = khost::createNode("probeLocator");
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "nodeState"), 0.0);
    EXPECT_TRUE(khost::setAttr(node, "nodeState", 5.0));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "nds"), 5.0);
    EXPECT_FALSE(khost::setAttr(node, "nodeState", 6.0));
    EXPECT_FALSE(khost::setAttr(node, "nds", -1.0));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "nodeState"), 5.0);
    EXPECT_TRUE(khost::forceAttr(node, "nodeState", 9.0));
    EXPECT_DOUBLE_EQ(khost::getAttr(node, "nodeState"), 9.0);
}

// ---------------------------------------------------------------- plugs

TEST_F(NodesTest, PlugsReadTheNodesCurrentValues) {
    const std::string node = khost::createNode("probeLocator");
    const MObject obj = khost::object(node);
    EXPECT_FLOAT_EQ(MPlug(obj, aSize).asFloat(), 2.5f);
    EXPECT_EQ(MPlug(obj, aCount).asInt64(), 5);
    EXPECT_EQ(MPlug(obj, aCount).asInt(), 5);
    EXPECT_TRUE(MPlug(obj, aFlag).asBool());

    ASSERT_TRUE(khost::setAttr(node, "size", 7.25));
    ASSERT_TRUE(khost::setAttr(node, "flag", 0.0));
    ASSERT_TRUE(khost::setAttr(node, "count", 40.0));
    const MPlug size(obj, aSize);
    EXPECT_FLOAT_EQ(size.asFloat(), 7.25f);
    EXPECT_DOUBLE_EQ(size.asDouble(), 7.25);
    EXPECT_FALSE(MPlug(obj, aFlag).asBool());
    EXPECT_EQ(MPlug(obj, aCount).asShort(), 40);
    EXPECT_EQ(size.name(), MString((node + ".size").c_str()));
}

TEST_F(NodesTest, ThreeFloatPlugGivesNumericDataWithTheComponents) {
    const std::string node = khost::createNode("probeLocator");
    ASSERT_TRUE(khost::setAttr(node, "tint", 0.1, 0.2, 0.3));
    MStatus status;
    MObject data = MPlug(khost::object(node), aTint).asMObject(&status);
    ASSERT_TRUE(status);
    ASSERT_TRUE(data.hasFn(MFn::kNumericData));
    MFnNumericData fn(data);
    EXPECT_EQ(fn.numericType(), MFnNumericData::k3Float);
    float r = 0, g = 0, b = 0;
    ASSERT_TRUE(fn.getData(r, g, b));
    EXPECT_FLOAT_EQ(r, 0.1f);
    EXPECT_FLOAT_EQ(g, 0.2f);
    EXPECT_FLOAT_EQ(b, 0.3f);
    float x = 0, y = 0;
    EXPECT_EQ(fn.getData(x, y), MS::kInvalidParameter) << "two values cannot be read from three";

    // Scalars have no data object, and a colour has no single value.
    MPlug(khost::object(node), aSize).asMObject(&status);
    EXPECT_FALSE(status);
    MPlug(khost::object(node), aTint).asFloat(&status);
    EXPECT_FALSE(status);
}

TEST_F(NodesTest, StringPlugReadsEmptyUntilSet) {
    const std::string node = khost::createNode("probeLocator");
    MStatus status;
    EXPECT_EQ(MPlug(khost::object(node), aLabel).asString(&status), MString(""));
    EXPECT_TRUE(status);
    ASSERT_TRUE(khost::setAttrString(node, "lb", "pCube1"));
    EXPECT_FALSE(khost::attrStringIsNull(node, "label"));
    EXPECT_EQ(MPlug(khost::object(node), aLabel).asString(), MString("pCube1"));
    MPlug(khost::object(node), aLabel).asInt(&status);
    EXPECT_FALSE(status);
}

TEST_F(NodesTest, NodeStatePlugIsReadOnAnyNode) {
    const std::string node = khost::createNode("probeLocator");
    ASSERT_TRUE(khost::setAttr(node, "nodeState", 2.0));
    EXPECT_EQ(MPlug(khost::object(node), MPxNode::state).asInt(), 2);
    EXPECT_EQ(MPlug(khost::object(node), MPxNode::state).asShort(), 2);

    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}}));
    MStatus status;
    EXPECT_EQ(MPlug(khost::object(khost::shapeOf(curve)), MPxNode::state).asInt(&status), 0);
    EXPECT_TRUE(status);
}

TEST_F(NodesTest, PlugOfAnAttributeTheNodeLacksIsNull) {
    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}}));
    const MPlug plug(khost::object(khost::shapeOf(curve)), aSize);
    EXPECT_TRUE(plug.isNull());
    MStatus status;
    EXPECT_EQ(plug.asFloat(&status), 0.0f);
    EXPECT_EQ(status, MS::kInvalidParameter);
    EXPECT_TRUE(MPlug().isNull());
}

// ---------------------------------------------------------------- nodes

TEST_F(NodesTest, LocatorGetsATransformAndNumberedNames) {
    const std::string first = khost::createNode("probeLocator");
    const std::string second = khost::createNode("probeLocator");
    const std::string named = khost::createNode("probeLocator", "myProbe");
    EXPECT_EQ(first, "probeLocator1");
    EXPECT_EQ(second, "probeLocator2");
    EXPECT_EQ(named, "myProbe");
    EXPECT_EQ(khost::fullPathName(first), "|transform1|probeLocator1");
    EXPECT_EQ(khost::fullPathName(second), "|transform2|probeLocator2");
    EXPECT_EQ(probe.nodesAlive, 3);

    std::string error;
    EXPECT_EQ(khost::createNode("noSuchType", "", &error), "");
    EXPECT_FALSE(error.empty());
}

TEST_F(NodesTest, PluginObjectKnowsItsNode) {
    const std::string node = khost::createNode("probeLocator");
    const MObject obj = khost::object(node);
    EXPECT_TRUE(obj.hasFn(MFn::kPluginLocatorNode));
    EXPECT_EQ(obj.apiType(), MFn::kPluginLocatorNode);
}

TEST_F(NodesTest, DeletingANodeDestroysThePluginObject) {
    const std::string node = khost::createNode("probeLocator");
    ASSERT_EQ(probe.nodesAlive, 1);
    ASSERT_TRUE(khost::deleteNode(node));
    EXPECT_EQ(probe.nodesAlive, 0);

    // An undoable delete keeps the object until the undo queue is flushed.
    const std::string kept = khost::createNode("probeLocator");
    ASSERT_TRUE(khost::deleteNode(kept, true));
    EXPECT_EQ(probe.nodesAlive, 1);
    khost::flushUndoQueue();
    EXPECT_EQ(probe.nodesAlive, 0);
}

// ---------------------------------------------------------------- frames

TEST_F(NodesTest, OverrideIsMadeOncePerNodeAndGetsThePreviousRecord) {
    const std::string node = khost::createNode("probeLocator");
    khost::drawFrame();
    khost::drawFrame();
    khost::drawFrame();
    EXPECT_EQ(khost::counters().overridesCreated, 1u);
    EXPECT_EQ(khost::counters().prepareForDraw, 3u);
    EXPECT_EQ(probe.overridesAlive, 1);
    ASSERT_EQ(probe.prepares.size(), 3u);
    EXPECT_EQ(probe.prepares[0].oldData, nullptr);
    EXPECT_EQ(probe.prepares[1].oldData, probe.prepares[0].returned);
    EXPECT_EQ(probe.prepares[2].oldData, probe.prepares[0].returned);
    EXPECT_EQ(probe.prepares[0].object, "|transform1|probeLocator1");
    EXPECT_EQ(probe.prepares[0].camera, "|persp|perspShape");
    EXPECT_EQ(khost::userData(0, node), probe.prepares[0].returned);
    EXPECT_EQ(khost::counters().recordsDeleted, 0u);
    EXPECT_EQ(probe.recordsAlive, 1);
    EXPECT_NE(khost::drawOverride(node), nullptr);
}

TEST_F(NodesTest, ReplacedRecordIsDeletedByTheHost) {
    const std::string node = khost::createNode("probeLocator");
    probe.replaceRecord = true;
    khost::drawFrame();
    khost::drawFrame();
    ASSERT_EQ(probe.prepares.size(), 2u);
    EXPECT_NE(probe.prepares[1].returned, probe.prepares[0].returned);
    EXPECT_EQ(probe.prepares[1].oldData, probe.prepares[0].returned);
    EXPECT_EQ(khost::counters().recordsDeleted, 1u);
    EXPECT_EQ(probe.recordsAlive, 1);
    EXPECT_EQ(khost::userData(0, node), probe.prepares[1].returned);
}

TEST_F(NodesTest, AddUIDrawablesOnlyWhenTheOverrideHasThem) {
    const std::string node = khost::createNode("probeLocator");
    probe.uiDrawables = false;
    khost::drawFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 1u);
    EXPECT_EQ(khost::counters().addUIDrawables, 0u);
    EXPECT_TRUE(khost::drawCalls(0, node).empty());

    probe.uiDrawables = true;
    khost::drawFrame();
    EXPECT_EQ(khost::counters().addUIDrawables, 1u);
    ASSERT_EQ(probe.drawnData.size(), 1u);
    EXPECT_EQ(probe.drawnData[0], khost::userData(0, node)) << "the frame's own record is drawn";
}

TEST_F(NodesTest, DrawCallsAreRecordedInOrderWithTheirArguments) {
    const std::string node = khost::createNode("probeLocator");
    ASSERT_TRUE(khost::setAttr(node, "size", 3.0));
    khost::drawFrame();
    const std::vector<khost::DrawCall>& calls = khost::drawCalls(0, node);
    std::vector<std::string> kinds;
    for (const auto& c : calls) {
        kinds.push_back(khost::toString(c.kind));
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"BeginDrawable", "SetPointSize", "Mesh", "SetLineWidth",
                                               "SetColor", "Circle2d", "Mesh", "EndDrawable"}));
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[0].selectability, MHWRender::MUIDrawManager::kAutomatic);
    EXPECT_EQ(calls[0].selectionName, 0u);
    EXPECT_FLOAT_EQ(calls[1].value, 3.0f);
    EXPECT_EQ(calls[2].primitive, MHWRender::MUIDrawManager::kPoints);
    ASSERT_EQ(calls[2].points.length(), 2u);
    EXPECT_EQ(calls[2].points[1], MPoint(4.0, 5.0, 6.0));
    ASSERT_TRUE(calls[2].hasColors);
    ASSERT_EQ(calls[2].colors.length(), 2u);
    EXPECT_FLOAT_EQ(calls[2].colors[1].a, 0.5f);
    EXPECT_FALSE(calls[2].hasNormals || calls[2].hasIndices || calls[2].hasTexcoords);
    EXPECT_FLOAT_EQ(calls[3].value, 1.0f);
    EXPECT_FLOAT_EQ(calls[4].color.b, 0.6f);
    EXPECT_EQ(calls[5].center, MPoint(100.0, 50.0));
    EXPECT_DOUBLE_EQ(calls[5].radius, 5.5);
    EXPECT_FALSE(calls[5].filled);
    EXPECT_EQ(calls[6].primitive, MHWRender::MUIDrawManager::kLines) << "a 3D line is a two-point line mesh";
    EXPECT_FALSE(calls[6].hasColors);

    // The next frame replaces the calls, it does not append to them.
    khost::drawFrame();
    EXPECT_EQ(khost::drawCalls(0, node).size(), 8u);
}

TEST_F(NodesTest, EachViewKeepsItsOwnRecord) {
    const std::string node = khost::createNode("probeLocator");
    const std::string cam = khost::createCamera({0, 0, 10}, {0, 0, 0});
    const int second = khost::addView(cam, 320, 200);
    ASSERT_EQ(second, 1);
    khost::drawFrame();
    khost::drawFrame();
    ASSERT_EQ(probe.prepares.size(), 4u);
    // Frame order: view 0 then view 1.
    EXPECT_EQ(probe.prepares[0].camera, "|persp|perspShape");
    EXPECT_EQ(probe.prepares[1].camera, khost::fullPathName(khost::shapeOf(cam)));
    EXPECT_EQ(probe.prepares[0].viewWidth, 640);
    EXPECT_EQ(probe.prepares[1].viewWidth, 320);
    EXPECT_NE(probe.prepares[0].returned, probe.prepares[1].returned);
    EXPECT_EQ(probe.prepares[2].oldData, probe.prepares[0].returned);
    EXPECT_EQ(probe.prepares[3].oldData, probe.prepares[1].returned);
    EXPECT_EQ(khost::userData(1, node), probe.prepares[1].returned);
    EXPECT_EQ(khost::counters().overridesCreated, 1u) << "one override serves every view";
    EXPECT_EQ(khost::drawCalls(1, node).size(), 8u);
}

TEST_F(NodesTest, DeletingTheNodeDeletesItsOverrideAndRecords) {
    const std::string node = khost::createNode("probeLocator");
    khost::addView("persp");
    khost::drawFrame();
    ASSERT_EQ(probe.overridesAlive, 1);
    ASSERT_EQ(probe.recordsAlive, 2);
    ASSERT_TRUE(khost::deleteNode(node));
    EXPECT_EQ(probe.overridesAlive, 0);
    EXPECT_EQ(probe.recordsAlive, 0);
    EXPECT_EQ(probe.nodesAlive, 0);
    EXPECT_EQ(khost::counters().overridesDeleted, 1u);
    EXPECT_EQ(khost::counters().recordsDeleted, 2u);
    EXPECT_EQ(khost::drawOverride(node), nullptr);
}

TEST_F(NodesTest, NewSceneDeletesEveryOverride) {
    khost::createNode("probeLocator");
    khost::createNode("probeLocator");
    khost::drawFrame();
    ASSERT_EQ(probe.overridesAlive, 2);
    khost::newScene();
    EXPECT_EQ(probe.overridesAlive, 0);
    EXPECT_EQ(probe.recordsAlive, 0);
    EXPECT_EQ(probe.nodesAlive, 0);
}

TEST_F(NodesTest, OverrideWithoutTheViewportsDrawApiIsNotDrawn) {
    const std::string node = khost::createNode("probeLocator");
    probe.apis = MHWRender::kOpenGL;
    khost::drawFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 0u);
    EXPECT_EQ(khost::counters().addUIDrawables, 0u);
    probe.apis = MHWRender::kOpenGLCoreProfile;
    khost::drawFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 1u);
}

TEST_F(NodesTest, OverrideThatIsNotAlwaysDirtyIsPreparedWhenItsNodeChanges) {
    probe.alwaysDirty = false;
    const std::string node = khost::createNode("probeLocator");
    khost::drawFrame();
    khost::drawFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 1u);
    EXPECT_EQ(khost::counters().addUIDrawables, 2u) << "the kept record is drawn every frame";
    ASSERT_TRUE(khost::setAttr(node, "size", 4.0));
    khost::drawFrame();
    EXPECT_EQ(khost::counters().prepareForDraw, 2u);
}

}  // namespace
