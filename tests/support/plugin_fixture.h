#pragma once
// The starting point of the plug-in's white-box suites: a new scene with the
// plug-in loaded from the entry points linked into the test program, as the
// host loads a module, and (for ManagerTest) one draw manager node. Each test
// ends by emptying the scene, unloading the plug-in and putting the
// process-wide state block back to its state at load, so the tests of a
// program stay independent.
#include <gtest/gtest.h>

#ifndef MNoVersionString
#define MNoVersionString
#endif
#include <maya/MFnPlugin.h>

#include <khost/harness.h>

#include <string>

#include "plugin/process_objects.h"

extern "C" char MApiVersion[];

namespace knotlens_test {

constexpr const char* kNodeType = "QVTK_Tessark_DrawManagerNode";

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        std::string error;
        ASSERT_TRUE(
            khost::loadPluginEntry("knotlens", initializePlugin, uninitializePlugin, MApiVersion, &error))
            << error;
    }
    void TearDown() override {
        khost::newScene();
        std::string error;
        EXPECT_TRUE(khost::unloadPlugin("knotlens", &error)) << error;
        resetProcessState();
    }
    // A new draw manager node (its shape name).
    static std::string createManager() {
        std::string error;
        const std::string node = khost::createNode(kNodeType, "", &error);
        EXPECT_FALSE(node.empty()) << error;
        return node;
    }
};

// PluginTest with one draw manager node, `manager`. Fixtures that add to
// SetUp call this one first and stop when it failed.
class ManagerTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        manager = createManager();
        ASSERT_FALSE(manager.empty());
    }
    std::string manager;
};

}  // namespace knotlens_test
