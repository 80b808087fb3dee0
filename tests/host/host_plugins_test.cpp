// Plug-in modules in the embedded host: loading and refusals, registration
// and its log, injected failures, unloading with live nodes, nodes in the
// undo queue and callbacks left behind, and how node classifications pair
// with draw overrides.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MDrawRegistry.h>
#include <maya/MEventMessage.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxLocatorNode.h>
#include <maya/MUserData.h>

#include <dlfcn.h>

#include <string>
#include <vector>

namespace {

// What the test plug-ins did, in order.
std::vector<std::string> events;

// ---------------------------------------------------------------- the "alpha" plug-in
// A locator type with a draw override, registered and deregistered as a
// well-behaved plug-in does: type first, override second; the reverse on
// the way out, skipping what is already gone.

bool leakCallback = false;
int selectionCalls = 0;

void onSelectionChanged(void*) {
    ++selectionCalls;
}

class AlphaNode : public MPxLocatorNode {
public:
    AlphaNode() {
        if (leakCallback) {
            MEventMessage::addEventCallback("SelectionChanged", onSelectionChanged);
        }
    }
    ~AlphaNode() override { events.push_back("node destroyed"); }
    static void* creator() { return new AlphaNode; }
    static MStatus initialize() { return MS::kSuccess; }
};

class AlphaRecord : public MUserData {
public:
    ~AlphaRecord() override { events.push_back("record destroyed"); }
};

class AlphaOverride : public MHWRender::MPxDrawOverride {
public:
    explicit AlphaOverride(const MObject& obj) : MPxDrawOverride(obj, nullptr) {}
    ~AlphaOverride() override { events.push_back("override destroyed"); }
    static MHWRender::MPxDrawOverride* creator(const MObject& obj) { return new AlphaOverride(obj); }
    MHWRender::DrawAPI supportedDrawAPIs() const override { return MHWRender::kAllDevices; }
    MUserData* prepareForDraw(const MDagPath&, const MDagPath&, const MHWRender::MFrameContext&,
                              MUserData* oldData) override {
        return oldData ? oldData : new AlphaRecord;
    }
};

const MString kAlphaClass("drawdb/geometry/alpha");
const MString kAlphaRegistrant("alphaRegistrant");
const unsigned int kAlphaId = 0x7F101;
bool alphaNodeRegistered = false;
bool alphaOverrideRegistered = false;
MStatus alphaRegisterNodeStatus;

MStatus initializeAlpha(MObject obj) {
    events.push_back("initialize");
    MFnPlugin plugin(obj, "AlphaVendor", "2.0", "Any");
    alphaRegisterNodeStatus = plugin.registerNode("alphaNode", kAlphaId, AlphaNode::creator,
                                                  AlphaNode::initialize, MPxNode::kLocatorNode, &kAlphaClass);
    if (!alphaRegisterNodeStatus) {
        return alphaRegisterNodeStatus;
    }
    alphaNodeRegistered = true;
    const MStatus status = MHWRender::MDrawRegistry::registerDrawOverrideCreator(
        kAlphaClass, kAlphaRegistrant, AlphaOverride::creator);
    alphaOverrideRegistered = static_cast<bool>(status);
    return status;
}

MStatus uninitializeAlpha(MObject obj) {
    events.push_back("uninitialize");
    MFnPlugin plugin(obj);
    if (alphaOverrideRegistered) {
        const MStatus status =
            MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kAlphaClass, kAlphaRegistrant);
        if (!status) {
            return status;
        }
        alphaOverrideRegistered = false;
    }
    if (alphaNodeRegistered) {
        const MStatus status = plugin.deregisterNode(kAlphaId);
        if (!status) {
            return status;
        }
        alphaNodeRegistered = false;
    }
    return MS::kSuccess;
}

bool loadAlpha(std::string* error = nullptr) {
    return khost::loadPluginEntry("alpha", initializeAlpha, uninitializeAlpha, MApiVersion, error);
}

// ---------------------------------------------------------------- the "beta" plug-in
// Tries registrations that clash with alpha's and keeps their statuses.

struct BetaStatuses {
    MStatus sameTypeName, sameTypeId, sameClassAndRegistrant, sameClassOtherRegistrant;
    MStatus unknownTypeId, unknownOverride, ownType, unknownKind;
    MStatus newerApiRequired;
};
BetaStatuses beta;

MStatus initializeBeta(MObject obj) {
    MFnPlugin needsNewer(obj, "BetaVendor", "1.0", "20990000", &beta.newerApiRequired);
    MFnPlugin plugin(obj, "BetaVendor", "1.0");
    beta.sameTypeName = plugin.registerNode("alphaNode", 0x7F201, AlphaNode::creator, AlphaNode::initialize,
                                            MPxNode::kLocatorNode, &kAlphaClass);
    beta.sameTypeId = plugin.registerNode("betaNode", kAlphaId, AlphaNode::creator, AlphaNode::initialize,
                                          MPxNode::kLocatorNode, &kAlphaClass);
    beta.sameClassAndRegistrant = MHWRender::MDrawRegistry::registerDrawOverrideCreator(
        kAlphaClass, kAlphaRegistrant, AlphaOverride::creator);
    beta.sameClassOtherRegistrant = MHWRender::MDrawRegistry::registerDrawOverrideCreator(
        kAlphaClass, "betaRegistrant", AlphaOverride::creator);
    beta.unknownTypeId = plugin.deregisterNode(0x7F2FF);
    beta.unknownOverride =
        MHWRender::MDrawRegistry::deregisterDrawOverrideCreator("drawdb/geometry/none", "nobody");
    beta.ownType = plugin.registerNode("betaNode", 0x7F202, AlphaNode::creator, AlphaNode::initialize);
    beta.unknownKind = plugin.registerNode("betaDeformer", 0x7F203, AlphaNode::creator, AlphaNode::initialize,
                                           MPxNode::kDeformerNode);
    return MS::kSuccess;
}

MStatus uninitializeBeta(MObject obj) {
    MFnPlugin plugin(obj);
    MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kAlphaClass, "betaRegistrant");
    return plugin.deregisterNode(0x7F202);
}

// ---------------------------------------------------------------- the "delta" plug-in
// Node types whose classifications do and do not pair with one override.

const MString kDeltaOverrideClass("drawdb/geometry/delta");
const MString kDeltaSubClass("drawdb/geometry/delta/sub");
const MString kDeltaLongerName("drawdb/geometry/deltaX");
const MString kDeltaListed("shader/surface:drawdb/geometry/delta");

MStatus initializeDelta(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.registerNode("deltaSub", 0x7F301, AlphaNode::creator, AlphaNode::initialize, MPxNode::kLocatorNode,
                        &kDeltaSubClass);
    plugin.registerNode("deltaX", 0x7F302, AlphaNode::creator, AlphaNode::initialize, MPxNode::kLocatorNode,
                        &kDeltaLongerName);
    plugin.registerNode("deltaListed", 0x7F303, AlphaNode::creator, AlphaNode::initialize,
                        MPxNode::kLocatorNode, &kDeltaListed);
    return MHWRender::MDrawRegistry::registerDrawOverrideCreator(kDeltaOverrideClass, "deltaRegistrant",
                                                                 AlphaOverride::creator);
}

MStatus uninitializeDelta(MObject obj) {
    MFnPlugin plugin(obj);
    MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kDeltaOverrideClass, "deltaRegistrant");
    plugin.deregisterNode(0x7F301);
    plugin.deregisterNode(0x7F302);
    return plugin.deregisterNode(0x7F303);
}

class PluginsTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        khost::clearRegistrationLog();
        khost::resetCounters();
        events.clear();
        leakCallback = false;
    }
    void TearDown() override {
        khost::newScene();
        if (khost::isPluginLoaded("alpha")) {
            EXPECT_TRUE(khost::unloadPlugin("alpha"));
        }
    }
};

// ---------------------------------------------------------------- loading

TEST_F(PluginsTest, LoadAndUnloadRegisterInOrder) {
    std::string error;
    ASSERT_TRUE(loadAlpha(&error)) << error;
    EXPECT_TRUE(khost::isPluginLoaded("alpha"));
    EXPECT_EQ(khost::pluginVendor("alpha"), "AlphaVendor");
    EXPECT_EQ(khost::pluginVersion("alpha"), "2.0");
    EXPECT_EQ(khost::pluginApiVersion("alpha"), "20250000");
    EXPECT_TRUE(khost::nodeTypeRegistered("alphaNode"));
    EXPECT_TRUE(khost::drawOverrideRegistered("drawdb/geometry/alpha", "alphaRegistrant"));

    ASSERT_TRUE(khost::unloadPlugin("alpha", &error)) << error;
    EXPECT_FALSE(khost::isPluginLoaded("alpha"));
    EXPECT_FALSE(khost::nodeTypeRegistered("alphaNode"));
    EXPECT_FALSE(khost::drawOverrideRegistered("drawdb/geometry/alpha", "alphaRegistrant"));
    EXPECT_EQ(khost::pluginVendor("alpha"), "");
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{
                  "registerNode alphaNode", "registerDrawOverrideCreator drawdb/geometry/alpha",
                  "deregisterDrawOverrideCreator drawdb/geometry/alpha", "deregisterNode alphaNode"}));
    EXPECT_EQ(events, (std::vector<std::string>{"initialize", "uninitialize"}));
}

TEST_F(PluginsTest, LoadingTwiceUnderOneNameIsRefused) {
    ASSERT_TRUE(loadAlpha());
    std::string error;
    EXPECT_FALSE(loadAlpha(&error));
    EXPECT_NE(error.find("already loaded"), std::string::npos) << error;
    EXPECT_EQ(events, (std::vector<std::string>{"initialize"}));
}

TEST_F(PluginsTest, ModulesBuiltForAnotherReleaseAreRefused) {
    std::string error;
    EXPECT_FALSE(khost::loadPluginEntry("alpha", initializeAlpha, uninitializeAlpha, "20240000", &error));
    EXPECT_NE(error.find("20240000"), std::string::npos) << error;
    EXPECT_FALSE(khost::loadPluginEntry("alpha", initializeAlpha, uninitializeAlpha, "", &error));
    EXPECT_TRUE(events.empty()) << "initializePlugin must not run";
    EXPECT_TRUE(khost::loadPluginEntry("alpha", initializeAlpha, uninitializeAlpha, "20250300", &error))
        << error;
}

TEST_F(PluginsTest, LoadPluginRefusesFilesThatAreNotPlugins) {
    std::string error;
    EXPECT_FALSE(khost::loadPlugin("/no/such/dir/knotlens.so", &error));
    EXPECT_NE(error.find("/no/such/dir/knotlens.so"), std::string::npos) << error;

    // The host library itself and the C math library are shared objects
    // without initializePlugin.
    const std::string hostLibrary = std::string(KNOTLENS_BINARY_DIR) + "/host/libknotlens_host.so";
    EXPECT_FALSE(khost::loadPlugin(hostLibrary, &error));
    EXPECT_NE(error.find("initializePlugin"), std::string::npos) << error;

    void* libm = dlopen("libm.so.6", RTLD_NOW);
    ASSERT_NE(libm, nullptr);
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(libm, "cos"), &info), 0);
    const std::string libmPath = info.dli_fname;
    dlclose(libm);
    EXPECT_FALSE(khost::loadPlugin(libmPath, &error));
    EXPECT_NE(error.find("initializePlugin"), std::string::npos) << error;
    EXPECT_TRUE(khost::registrationLog().empty());
}

// ---------------------------------------------------------------- registration

TEST_F(PluginsTest, ClashingRegistrationsAreRefused) {
    ASSERT_TRUE(loadAlpha());
    ASSERT_TRUE(khost::loadPluginEntry("beta", initializeBeta, uninitializeBeta, MApiVersion));
    EXPECT_EQ(beta.sameTypeName, MS::kFailure);
    EXPECT_EQ(beta.sameTypeId, MS::kFailure);
    EXPECT_EQ(beta.sameClassAndRegistrant, MS::kFailure);
    EXPECT_EQ(beta.sameClassOtherRegistrant, MS::kSuccess);
    EXPECT_EQ(beta.unknownTypeId, MS::kInvalidParameter);
    EXPECT_EQ(beta.unknownOverride, MS::kInvalidParameter);
    EXPECT_EQ(beta.ownType, MS::kSuccess);
    EXPECT_EQ(beta.unknownKind, MS::kNotImplemented);
    EXPECT_EQ(beta.newerApiRequired, MS::kFailure);
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{
                  "registerNode alphaNode", "registerDrawOverrideCreator drawdb/geometry/alpha",
                  "registerNode alphaNode failed", "registerNode betaNode failed",
                  "registerDrawOverrideCreator drawdb/geometry/alpha failed",
                  "registerDrawOverrideCreator drawdb/geometry/alpha", "deregisterNode 520959 failed",
                  "deregisterDrawOverrideCreator drawdb/geometry/none failed", "registerNode betaNode",
                  "registerNode betaDeformer failed"}));
    EXPECT_EQ(khost::pluginVendor("beta"), "BetaVendor");
    EXPECT_TRUE(khost::unloadPlugin("beta"));
    EXPECT_FALSE(khost::nodeTypeRegistered("betaNode"));
    EXPECT_TRUE(khost::nodeTypeRegistered("alphaNode")) << "alpha's type is not beta's to remove";
}

TEST_F(PluginsTest, AFailedNodeRegistrationStopsTheLoad) {
    khost::failNext(khost::HostStep::RegisterNode, MStatus::kInsufficientMemory);
    std::string error;
    EXPECT_FALSE(loadAlpha(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(alphaRegisterNodeStatus, MS::kInsufficientMemory) << "the injected code reaches the plug-in";
    EXPECT_EQ(khost::registrationLog(), (std::vector<std::string>{"registerNode alphaNode failed"}));
    EXPECT_FALSE(khost::isPluginLoaded("alpha"));
    EXPECT_FALSE(khost::nodeTypeRegistered("alphaNode"));

    // The injection is used up: the next load goes through.
    EXPECT_TRUE(loadAlpha(&error)) << error;
}

TEST_F(PluginsTest, AFailedOverrideRegistrationFailsTheLoadAndDropsTheType) {
    khost::failNext(khost::HostStep::RegisterDrawOverride);
    EXPECT_FALSE(loadAlpha());
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"registerNode alphaNode",
                                        "registerDrawOverrideCreator drawdb/geometry/alpha failed"}));
    EXPECT_FALSE(khost::isPluginLoaded("alpha"));
    EXPECT_FALSE(khost::nodeTypeRegistered("alphaNode"))
        << "a module that failed to load leaves nothing behind";
    alphaNodeRegistered = false;
}

TEST_F(PluginsTest, AFailedDeregistrationKeepsThePluginLoaded) {
    ASSERT_TRUE(loadAlpha());
    khost::failNext(khost::HostStep::DeregisterDrawOverride);
    std::string error;
    EXPECT_FALSE(khost::unloadPlugin("alpha", &error));
    EXPECT_NE(error.find("uninitializePlugin"), std::string::npos) << error;
    EXPECT_TRUE(khost::isPluginLoaded("alpha"));
    EXPECT_TRUE(khost::drawOverrideRegistered("drawdb/geometry/alpha", "alphaRegistrant"));
    EXPECT_TRUE(khost::nodeTypeRegistered("alphaNode"));

    khost::failNext(khost::HostStep::DeregisterNode, MStatus::kNotFound);
    EXPECT_FALSE(khost::unloadPlugin("alpha"));
    EXPECT_FALSE(khost::drawOverrideRegistered("drawdb/geometry/alpha", "alphaRegistrant"));
    EXPECT_TRUE(khost::nodeTypeRegistered("alphaNode"));

    EXPECT_TRUE(khost::unloadPlugin("alpha", &error)) << error;
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"registerNode alphaNode",
                                        "registerDrawOverrideCreator drawdb/geometry/alpha",
                                        "deregisterDrawOverrideCreator drawdb/geometry/alpha failed",
                                        "deregisterDrawOverrideCreator drawdb/geometry/alpha",
                                        "deregisterNode alphaNode failed", "deregisterNode alphaNode"}));
}

// ---------------------------------------------------------------- unloading

TEST_F(PluginsTest, UnloadIsRefusedWhileANodeOfThePluginExists) {
    ASSERT_TRUE(loadAlpha());
    const std::string node = khost::createNode("alphaNode");
    ASSERT_FALSE(node.empty());
    std::string error;
    EXPECT_FALSE(khost::unloadPlugin("alpha", &error));
    EXPECT_NE(error.find(node), std::string::npos) << error;
    EXPECT_EQ(events, (std::vector<std::string>{"initialize"})) << "uninitializePlugin must not run";

    ASSERT_TRUE(khost::deleteNode(node));
    EXPECT_TRUE(khost::unloadPlugin("alpha", &error)) << error;
    EXPECT_FALSE(khost::unloadPlugin("alpha", &error)) << "not loaded any more";
}

TEST_F(PluginsTest, NodesInTheUndoQueueAreDestroyedAfterUninitialize) {
    ASSERT_TRUE(loadAlpha());
    const std::string node = khost::createNode("alphaNode");
    khost::drawFrame();
    ASSERT_NE(khost::drawOverride(node), nullptr);
    ASSERT_TRUE(khost::deleteNode(node, true));
    EXPECT_EQ(events, (std::vector<std::string>{"initialize"})) << "an undoable delete keeps the objects";

    ASSERT_TRUE(khost::unloadPlugin("alpha"));
    EXPECT_EQ(events, (std::vector<std::string>{"initialize", "uninitialize", "override destroyed",
                                                "record destroyed", "node destroyed"}));
    EXPECT_EQ(khost::counters().overridesDeleted, 1u);
    EXPECT_EQ(khost::counters().recordsDeleted, 1u);
    // The transform that was deleted with the node still waits; flushing it is harmless.
    khost::flushUndoQueue();
    EXPECT_EQ(events.size(), 5u);
}

TEST_F(PluginsTest, CallbacksLeftInstalledAreCountedAndDropped) {
    ASSERT_TRUE(loadAlpha());
    const std::size_t installedBefore = khost::installedCallbackCount();
    const std::size_t danglingBefore = khost::danglingCallbackCount();
    leakCallback = true;
    const std::string node = khost::createNode("alphaNode");
    EXPECT_EQ(khost::installedCallbackCount(), installedBefore + 1);
    ASSERT_TRUE(khost::deleteNode(node));
    ASSERT_TRUE(khost::unloadPlugin("alpha"));
    EXPECT_EQ(khost::danglingCallbackCount(), danglingBefore + 1);
    EXPECT_EQ(khost::installedCallbackCount(), installedBefore);
    selectionCalls = 0;
    khost::clearSelection();
    EXPECT_EQ(selectionCalls, 0) << "a dropped callback never runs";
}

TEST_F(PluginsTest, UnloadingWithoutLeftoversCountsNoDanglingCallbacks) {
    ASSERT_TRUE(loadAlpha());
    const std::size_t danglingBefore = khost::danglingCallbackCount();
    const std::string node = khost::createNode("alphaNode");
    ASSERT_TRUE(khost::deleteNode(node));
    ASSERT_TRUE(khost::unloadPlugin("alpha"));
    EXPECT_EQ(khost::danglingCallbackCount(), danglingBefore);
}

// ---------------------------------------------------------------- pairing

TEST_F(PluginsTest, ClassificationsPairAtPathBoundaries) {
    ASSERT_TRUE(khost::loadPluginEntry("delta", initializeDelta, uninitializeDelta, MApiVersion));
    const std::string sub = khost::createNode("deltaSub");
    const std::string longer = khost::createNode("deltaX");
    const std::string listed = khost::createNode("deltaListed");
    khost::drawFrame();
    EXPECT_NE(khost::drawOverride(sub), nullptr);
    EXPECT_EQ(khost::drawOverride(longer), nullptr) << "\"delta\" does not pair with \"deltaX\"";
    EXPECT_NE(khost::drawOverride(listed), nullptr) << "any listed classification pairs";
    EXPECT_EQ(khost::counters().overridesCreated, 2u);
    khost::newScene();
    EXPECT_TRUE(khost::unloadPlugin("delta"));
}

TEST_F(PluginsTest, DeregisteringAnOverrideDropsTheOverridesItMade) {
    ASSERT_TRUE(loadAlpha());
    const std::string node = khost::createNode("alphaNode");
    khost::drawFrame();
    ASSERT_NE(khost::drawOverride(node), nullptr);
    ASSERT_TRUE(MHWRender::MDrawRegistry::deregisterDrawOverrideCreator(kAlphaClass, kAlphaRegistrant));
    alphaOverrideRegistered = false;
    khost::drawFrame();
    EXPECT_EQ(khost::drawOverride(node), nullptr);
    EXPECT_EQ(events, (std::vector<std::string>{"initialize", "override destroyed", "record destroyed"}));
}

}  // namespace
