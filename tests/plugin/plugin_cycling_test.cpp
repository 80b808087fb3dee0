// The built knotlens module loaded and unloaded again and again, as a user
// reloading the plug-in would, with draw manager nodes created, drawn and
// deleted in between: every unload leaves no selection callback installed and
// none dangling, an unload with a node in the scene is refused, and a node
// kept alive by the undo queue does not stop the unload or leave its callback
// behind. LeakSanitizer (the asan preset) checks that nothing leaks.
//
// KNOTLENS_CYCLES sets the number of cycles (default 100; the full run is 1000).
#include <gtest/gtest.h>

#include <khost/harness.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/env_count.h"

namespace {

constexpr const char* kModule = "knotlens";
constexpr const char* kNodeType = "QVTK_Tessark_DrawManagerNode";
constexpr const char* kAdded = "QV_Tessark >> Draw Manager Node >> Callbacks Added";
constexpr const char* kRemoved = "QV_Tessark >> Draw Manager Node >> Callbacks Removed";

using knotlens_test::envCount;

std::size_t occurrences(const std::string& text, const std::string& line) {
    std::size_t count = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + line.size())) {
        ++count;
    }
    return count;
}

class CyclingTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        ASSERT_FALSE(khost::isPluginLoaded(kModule));
        danglingAtStart = khost::danglingCallbackCount();
    }
    void TearDown() override {
        khost::newScene();
        if (khost::isPluginLoaded(kModule)) {
            EXPECT_TRUE(khost::unloadPlugin(kModule));
        }
        EXPECT_EQ(khost::danglingCallbackCount(), danglingAtStart);
    }

    static void load() {
        std::string error;
        ASSERT_TRUE(khost::loadPlugin(KNOTLENS_MODULE_PATH, &error)) << error;
    }

    static std::string createManager() {
        std::string error;
        const std::string node = khost::createNode(kNodeType, "", &error);
        EXPECT_FALSE(node.empty()) << error;
        return node;
    }

    // A frame with a selected curve: the node's override must draw its CVs.
    static void expectDrawn(const std::string& node, const std::string& curve) {
        khost::selectCVs(curve, {1});
        khost::drawFrame();
        const std::vector<khost::DrawCall>& calls = khost::drawCalls(0, node);
        ASSERT_FALSE(calls.empty()) << node;
        bool points = false;
        for (const khost::DrawCall& call : calls) {
            points = points || (call.kind == khost::DrawCall::Mesh && call.points.length() == 4);
        }
        EXPECT_TRUE(points) << node;
    }

    std::size_t danglingAtStart = 0;
};

TEST_F(CyclingTest, LoadUnloadCyclesLeaveNoCallbackBehind) {
    const long cycles = envCount("KNOTLENS_CYCLES", 100);
    khost::ConsoleCapture console;
    std::size_t nodesMade = 0;
    std::size_t plainDeletes = 0;
    for (long cycle = 0; cycle < cycles; ++cycle) {
        load();
        ASSERT_FALSE(HasFatalFailure()) << "cycle " << cycle;
        ASSERT_TRUE(khost::nodeTypeRegistered(kNodeType));

        const std::string curve =
            khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}));
        std::vector<std::string> nodes;
        const long count = 1 + cycle % 3;
        for (long i = 0; i < count; ++i) {
            nodes.push_back(createManager());
        }
        nodesMade += nodes.size();
        ASSERT_EQ(khost::installedCallbackCount(), nodes.size()) << "cycle " << cycle;
        for (const std::string& node : nodes) {
            expectDrawn(node, curve);
        }

        // Plain deletes, undoable deletes flushed before the unload, and
        // undoable deletes still waiting in the undo queue at the unload.
        const long way = (cycle / 3) % 3;
        for (const std::string& node : nodes) {
            ASSERT_TRUE(khost::deleteNode(node, way != 0));
        }
        plainDeletes += way == 0 ? nodes.size() : 0;
        if (way == 1) {
            khost::flushUndoQueue();
            plainDeletes += nodes.size();
            ASSERT_EQ(khost::installedCallbackCount(), 0u) << "cycle " << cycle;
        }

        std::string error;
        ASSERT_TRUE(khost::unloadPlugin(kModule, &error)) << "cycle " << cycle << ": " << error;
        EXPECT_FALSE(khost::isPluginLoaded(kModule));
        EXPECT_FALSE(khost::nodeTypeRegistered(kNodeType));
        ASSERT_EQ(khost::installedCallbackCount(), 0u) << "cycle " << cycle;
        ASSERT_EQ(khost::danglingCallbackCount(), danglingAtStart) << "cycle " << cycle;
        khost::flushUndoQueue();
        khost::clearSelection();  // fires "SelectionChanged" with the module gone
        khost::newScene();
    }
    // One line per node made; a removal line only for nodes whose own
    // destructor removed their callback (not those the unload cleaned up).
    EXPECT_EQ(occurrences(console.out(), kAdded), nodesMade);
    EXPECT_EQ(occurrences(console.out(), kRemoved), plainDeletes);
}

TEST_F(CyclingTest, UnloadWithANodeInTheSceneIsRefusedAndChangesNothing) {
    load();
    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}));
    const std::string node = createManager();
    std::string error;
    EXPECT_FALSE(khost::unloadPlugin(kModule, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(khost::isPluginLoaded(kModule));
    EXPECT_TRUE(khost::nodeTypeRegistered(kNodeType));
    EXPECT_EQ(khost::installedCallbackCount(), 1u);
    expectDrawn(node, curve);  // the refused unload left the node working

    ASSERT_TRUE(khost::deleteNode(node));
    EXPECT_EQ(khost::installedCallbackCount(), 0u);
    EXPECT_TRUE(khost::unloadPlugin(kModule, &error)) << error;
}

TEST_F(CyclingTest, UndoableDeleteThenUnloadRemovesTheWaitingNodesCallback) {
    load();
    const std::string curve =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}));
    const std::string node = createManager();
    expectDrawn(node, curve);
    ASSERT_TRUE(khost::deleteNode(node, true));
    EXPECT_FALSE(khost::exists(node));
    // The node waits in the undo queue with its callback still installed.
    EXPECT_EQ(khost::installedCallbackCount(), 1u);

    khost::ConsoleCapture console;
    std::string error;
    ASSERT_TRUE(khost::unloadPlugin(kModule, &error)) << error;
    EXPECT_EQ(khost::installedCallbackCount(), 0u);
    EXPECT_EQ(khost::danglingCallbackCount(), danglingAtStart);
    // The waiting node was destroyed after the unload removed its callback,
    // so it had nothing left to remove and said nothing.
    EXPECT_EQ(occurrences(console.out(), kRemoved), 0u);
    khost::flushUndoQueue();
    khost::select({curve});  // no callback may call into the unloaded module

    // The module loads again and works.
    load();
    const std::string again = createManager();
    EXPECT_EQ(khost::installedCallbackCount(), 1u);
    expectDrawn(again, curve);
    ASSERT_TRUE(khost::deleteNode(again));
    EXPECT_TRUE(khost::unloadPlugin(kModule, &error)) << error;
}

}  // namespace
