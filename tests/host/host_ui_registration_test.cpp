// MFnPlugin::registerUI in the embedded host, which runs no scripts but
// records the UI procedures it would run: when, which ones in batch mode,
// what a refusal leaves, and the log entry of the call.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MFnPlugin.h>

#include <string>
#include <vector>

namespace {

struct UiNames {
    MString creation = "makeMenu", deletion = "dropMenu", creationBatch, deletionBatch;
};
UiNames names;
MStatus lastStatus;

MStatus initializeUi(MObject obj) {
    MFnPlugin plugin(obj, "UiVendor", "1.0", "Any");
    lastStatus = plugin.registerUI(names.creation, names.deletion, names.creationBatch, names.deletionBatch);
    return lastStatus;
}

MStatus uninitializeUi(MObject) {
    return MStatus::kSuccess;
}

class UiRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        khost::clearRegistrationLog();
        khost::clearUiProcedureLog();
        names = UiNames();
    }
    void TearDown() override {
        if (khost::isPluginLoaded("ui")) {
            EXPECT_TRUE(khost::unloadPlugin("ui"));
        }
        khost::setBatchMode(false);
    }
    static bool load() { return khost::loadPluginEntry("ui", initializeUi, uninitializeUi, "20250000"); }
    static const std::vector<std::string>& ran() { return khost::uiProcedureLog(); }
};

TEST_F(UiRegistrationTest, CreationRunsAtOnceAndDeletionAtUnload) {
    ASSERT_TRUE(load());
    EXPECT_EQ(khost::registrationLog(), (std::vector<std::string>{"registerUI makeMenu dropMenu"}));
    EXPECT_EQ(ran(), (std::vector<std::string>{"makeMenu"}));
    khost::newScene();
    EXPECT_EQ(ran().size(), 1u) << "a new scene leaves the plug-in's UI alone";
    ASSERT_TRUE(khost::unloadPlugin("ui"));
    EXPECT_EQ(ran(), (std::vector<std::string>{"makeMenu", "dropMenu"}));
}

TEST_F(UiRegistrationTest, BatchModeRunsOnlyTheBatchProcedures) {
    khost::setBatchMode(true);
    ASSERT_TRUE(load());  // no batch procedures
    ASSERT_TRUE(khost::unloadPlugin("ui"));
    EXPECT_TRUE(ran().empty());

    names.creationBatch = "batchSetup";
    names.deletionBatch = "batchTeardown";
    ASSERT_TRUE(load());
    khost::setBatchMode(false);  // the unload runs what the load chose
    ASSERT_TRUE(khost::unloadPlugin("ui"));
    EXPECT_EQ(ran(), (std::vector<std::string>{"batchSetup", "batchTeardown"}));
}

TEST_F(UiRegistrationTest, RefusalsRunNothing) {
    khost::failNext(khost::HostStep::RegisterUI, MStatus::kNotFound);
    EXPECT_FALSE(load());
    EXPECT_EQ(lastStatus, MStatus::kNotFound) << "the injected code reaches the plug-in";
    EXPECT_EQ(khost::registrationLog(), (std::vector<std::string>{"registerUI makeMenu dropMenu failed"}));

    names.deletion = "";
    EXPECT_FALSE(load());
    EXPECT_EQ(lastStatus, MStatus::kInvalidParameter) << "a UI needs both procedures";
    EXPECT_TRUE(ran().empty());

    names = UiNames();
    ASSERT_TRUE(load()) << "the injection is used up";
    EXPECT_EQ(ran(), (std::vector<std::string>{"makeMenu"}));
}

}  // namespace
