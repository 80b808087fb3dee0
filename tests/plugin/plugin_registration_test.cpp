// End to end through the built module, loaded as the host loads a plug-in:
// registration order and failure reporting, unload order, version data, and
// the removal of selection callbacks that outlive the unload.
#include <gtest/gtest.h>

#include <khost/harness.h>

#include <string>
#include <vector>

namespace {

const std::string kNodeType = "QVTK_Tessark_DrawManagerNode";
const std::string kClassification = "drawdb/geometry/QVTK_Tessark_DrawManager_cpp";
const std::string kRegistrant = "QVTK_Tessark_DrawManagerPlugin";
const std::string kUiRegistration = "registerUI knotlensCreateUI knotlensDeleteUI";

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        khost::clearRegistrationLog();
        khost::clearUiProcedureLog();
    }
    void TearDown() override {
        khost::newScene();
        if (khost::isPluginLoaded("knotlens") && !stuckLoaded) {
            std::string error;
            EXPECT_TRUE(khost::unloadPlugin("knotlens", &error)) << error;
        }
    }
    static bool load(std::string* error = nullptr) { return khost::loadPlugin(KNOTLENS_MODULE_PATH, error); }
    bool stuckLoaded = false;
};

TEST_F(RegistrationTest, LoadRegistersNodeTypeThenDrawOverrideThenTheMenu) {
    std::string error;
    ASSERT_TRUE(load(&error)) << error;
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"registerNode " + kNodeType,
                                        "registerDrawOverrideCreator " + kClassification, kUiRegistration}));
    EXPECT_EQ(khost::uiProcedureLog(), (std::vector<std::string>{"knotlensCreateUI"}));
    EXPECT_TRUE(khost::nodeTypeRegistered(kNodeType));
    EXPECT_TRUE(khost::drawOverrideRegistered(kClassification, kRegistrant));
    EXPECT_EQ(khost::pluginVendor("knotlens"), "TamsinOkraveld");
    EXPECT_EQ(khost::pluginVersion("knotlens"), "1.3.1");
    EXPECT_EQ(khost::pluginApiVersion("knotlens"), "20250000");
}

TEST_F(RegistrationTest, UnloadRemovesDrawOverrideThenNodeTypeAndTheMenu) {
    ASSERT_TRUE(load());
    khost::clearRegistrationLog();
    std::string error;
    ASSERT_TRUE(khost::unloadPlugin("knotlens", &error)) << error;
    EXPECT_EQ(khost::uiProcedureLog(), (std::vector<std::string>{"knotlensCreateUI", "knotlensDeleteUI"}));
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"deregisterDrawOverrideCreator " + kClassification,
                                        "deregisterNode " + kNodeType}));
    EXPECT_FALSE(khost::nodeTypeRegistered(kNodeType));
    EXPECT_FALSE(khost::drawOverrideRegistered(kClassification, kRegistrant));
}

TEST_F(RegistrationTest, RefusedNodeRegistrationStopsBeforeTheDrawOverride) {
    khost::failNext(khost::HostStep::RegisterNode, MStatus::kInvalidParameter);
    khost::ConsoleCapture console;
    EXPECT_FALSE(load());
    EXPECT_EQ(khost::registrationLog(), (std::vector<std::string>{"registerNode " + kNodeType + " failed"}));
    EXPECT_NE(console.err().find("registerNode"), std::string::npos) << console.err();
    EXPECT_FALSE(khost::drawOverrideRegistered(kClassification, kRegistrant));
    EXPECT_FALSE(khost::isPluginLoaded("knotlens"));
}

TEST_F(RegistrationTest, RefusedDrawOverrideIsReportedAndNothingIsUndone) {
    khost::failNext(khost::HostStep::RegisterDrawOverride);
    khost::ConsoleCapture console;
    EXPECT_FALSE(load());
    // The node type was registered and the plug-in did not deregister it.
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"registerNode " + kNodeType,
                                        "registerDrawOverrideCreator " + kClassification + " failed"}));
    EXPECT_NE(console.err().find("registerDrawOverrideCreator"), std::string::npos) << console.err();
    EXPECT_TRUE(khost::uiProcedureLog().empty()) << "no menu without the draw override";
}

TEST_F(RegistrationTest, RefusedMenuRegistrationIsReportedAndReturned) {
    khost::failNext(khost::HostStep::RegisterUI, MStatus::kNotFound);
    khost::ConsoleCapture console;
    std::string error;
    EXPECT_FALSE(load(&error));
    EXPECT_NE(error.find(MStatus(MStatus::kNotFound).errorString().asChar()), std::string::npos) << error;
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"registerNode " + kNodeType,
                                        "registerDrawOverrideCreator " + kClassification,
                                        kUiRegistration + " failed"}));
    EXPECT_NE(console.err().find("registerUI"), std::string::npos) << console.err();
    EXPECT_TRUE(khost::uiProcedureLog().empty());
}

TEST_F(RegistrationTest, BatchSessionGetsNoMenu) {
    khost::setBatchMode(true);
    std::string error;
    EXPECT_TRUE(load(&error)) << error;
    EXPECT_EQ(khost::registrationLog().back(), kUiRegistration) << "registered, with no batch procedures";
    EXPECT_TRUE(khost::unloadPlugin("knotlens", &error)) << error;
    khost::setBatchMode(false);
    EXPECT_TRUE(khost::uiProcedureLog().empty());
}

TEST_F(RegistrationTest, RefusedOverrideRemovalKeepsTheNodeType) {
    ASSERT_TRUE(load());
    khost::clearRegistrationLog();
    khost::failNext(khost::HostStep::DeregisterDrawOverride);
    {
        khost::ConsoleCapture console;
        EXPECT_FALSE(khost::unloadPlugin("knotlens"));
        EXPECT_NE(console.err().find("deregisterDrawOverrideCreator"), std::string::npos) << console.err();
    }
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"deregisterDrawOverrideCreator " + kClassification + " failed"}));
    EXPECT_TRUE(khost::isPluginLoaded("knotlens"));
    EXPECT_TRUE(khost::nodeTypeRegistered(kNodeType));
    EXPECT_TRUE(khost::drawOverrideRegistered(kClassification, kRegistrant));
}

TEST_F(RegistrationTest, UnloadRemovesTheCallbackOfANodeInTheUndoQueue) {
    ASSERT_TRUE(load());
    const std::size_t before = khost::installedCallbackCount();
    const std::string node = khost::createNode(kNodeType);
    ASSERT_FALSE(node.empty());
    ASSERT_TRUE(khost::deleteNode(node, true));  // kept alive by the undo queue
    EXPECT_EQ(khost::installedCallbackCount(), before + 1);

    const std::size_t danglingBefore = khost::danglingCallbackCount();
    khost::ConsoleCapture console;
    std::string error;
    ASSERT_TRUE(khost::unloadPlugin("knotlens", &error)) << error;
    EXPECT_EQ(khost::installedCallbackCount(), before);
    EXPECT_EQ(khost::danglingCallbackCount(), danglingBefore);
    // The node, destroyed after the unload, found its callback already gone.
    EXPECT_EQ(console.out().find("Callbacks Removed"), std::string::npos) << console.out();
}

TEST_F(RegistrationTest, LoadedModuleDrawsTheOverlay) {
    ASSERT_TRUE(load());
    std::string error;
    const std::string node = khost::createNode(kNodeType, "", &error);
    ASSERT_FALSE(node.empty()) << error;
    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}));
    khost::selectCVs(curve, {0, 2});
    khost::drawFrame();
    const std::vector<khost::DrawCall>& calls = khost::drawCalls(0, node);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().kind, khost::DrawCall::BeginDrawInXray);
    EXPECT_EQ(calls.back().kind, khost::DrawCall::EndDrawInXray);
    std::size_t circles = 0;
    std::size_t points = 0;
    for (const khost::DrawCall& c : calls) {
        circles += c.kind == khost::DrawCall::Circle2d ? 1u : 0u;
        if (c.kind == khost::DrawCall::Mesh && c.primitive == 0) {
            points = c.points.length();
        }
    }
    EXPECT_EQ(circles, 1u);
    EXPECT_EQ(points, 4u);
}

// Last in the file: it leaves the module loaded for good.
TEST_F(RegistrationTest, RefusedNodeRemovalIsReported) {
    ASSERT_TRUE(load());
    khost::clearRegistrationLog();
    khost::failNext(khost::HostStep::DeregisterNode);
    {
        khost::ConsoleCapture console;
        EXPECT_FALSE(khost::unloadPlugin("knotlens"));
        EXPECT_NE(console.err().find("deregisterNode"), std::string::npos) << console.err();
    }
    EXPECT_EQ(khost::registrationLog(),
              (std::vector<std::string>{"deregisterDrawOverrideCreator " + kClassification,
                                        "deregisterNode " + kNodeType + " failed"}));
    EXPECT_TRUE(khost::nodeTypeRegistered(kNodeType));
    EXPECT_FALSE(khost::drawOverrideRegistered(kClassification, kRegistrant));
    // Nothing is undone, so a second unload fails at the override removal
    // and the module stays loaded for the rest of the process.
    EXPECT_FALSE(khost::unloadPlugin("knotlens"));
    stuckLoaded = true;
}

}  // namespace
