// The draw manager node: its attributes as the host sees them, the console
// lines, the selection callback lifecycle with one and two nodes, and the
// tracked selection following real selection changes.
#include <gtest/gtest.h>

#define MNoVersionString
#include <maya/MFnPlugin.h>
#include <maya/MGlobal.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <khost/harness.h>

#include <string>
#include <vector>

#include "node/selection_tracker.h"
#include "support/plugin_fixture.h"

namespace {

const char* const kNodeType = "QVTK_Tessark_DrawManagerNode";
const std::string kAdded = "QV_Tessark >> Draw Manager Node >> Callbacks Added\n";
const std::string kRemoved = "QV_Tessark >> Draw Manager Node >> Callbacks Removed\n";

class NodeTest : public knotlens_test::PluginTest {};

std::vector<std::string> strings(const MSelectionList& list) {
    MStringArray array;
    list.getSelectionStrings(array);
    std::vector<std::string> result;
    for (unsigned int i = 0; i < array.length(); ++i) {
        result.push_back(array[i].asChar());
    }
    return result;
}

std::vector<std::string> trackedStrings() {
    return strings(trackedSelection);
}

// ------------------------------------------------------------------ attributes

struct ExpectedAttribute {
    const char* longName;
    const char* shortName;
    int numericType;  // 0 for the string attribute
    int components;
    double defaults[3];
    bool ranged;
    double minValue, maxValue;
    bool color;
};

// kBoolean 1, kInt64 10, kFloat 11, k3Float 13.
const ExpectedAttribute kTable[] = {
    {"drawOnTop", "dot", 1, 1, {1, 0, 0}, false, 0, 0, false},
    {"pointSize", "psize", 11, 1, {10.5, 0, 0}, true, 1, 100, false},
    {"lineWidth", "lwidth", 11, 1, {4, 0, 0}, true, 1, 100, false},
    {"hullWidth", "hwidth", 11, 1, {3, 0, 0}, true, 1, 100, false},
    {"curveDivisions", "crvdiv", 10, 1, {5, 0, 0}, true, 2, 64, false},
    {"deselectedPointColor", "dpcolor", 13, 3, {1, 0, 0}, false, 0, 0, true},
    {"deselectedPointAlpha", "dpalpha", 11, 1, {1, 0, 0}, true, 0, 1, false},
    {"selectedPointColor", "spcolor", 13, 3, {0, 1, 0}, false, 0, 0, true},
    {"selectedPointAlpha", "spalpha", 11, 1, {1, 0, 0}, true, 0, 1, false},
    {"curveColor", "ccolor", 13, 3, {0, 0, 1}, false, 0, 0, true},
    {"curveAlpha", "calpha", 11, 1, {1, 0, 0}, true, 0, 1, false},
    {"hullColor", "hcolor", 13, 3, {0.5, 0, 0.5}, false, 0, 0, true},
    {"hullAlpha", "halpha", 11, 1, {1, 0, 0}, true, 0, 1, false},
    {"useCVDistanceColor", "usecvdcolor", 1, 1, {1, 0, 0}, false, 0, 0, false},
    {"useHullDistanceColor", "usehulldcolor", 1, 1, {1, 0, 0}, false, 0, 0, false},
    {"useCurveDistanceColor", "usecurvedcolor", 1, 1, {1, 0, 0}, false, 0, 0, false},
    {"distanceColorMin", "dcolormin", 11, 1, {0.25, 0, 0}, true, 0.01, 1, false},
    {"distanceColorMax", "dcolormax", 11, 1, {1, 0, 0}, true, 0.01, 1, false},
    {"occluderMeshName", "oclmeshname", 0, 1, {0, 0, 0}, false, 0, 0, false},
    {"useCVOcclusion", "usecvocclusion", 1, 1, {0, 0, 0}, false, 0, 0, false},
    {"showCurve", "showcurve", 1, 1, {1, 0, 0}, false, 0, 0, false},
    {"showHull", "showhull", 1, 1, {0, 0, 0}, false, 0, 0, false},
    {"lazyUpdate", "lazyupdate", 1, 1, {0, 0, 0}, false, 0, 0, false},
};

TEST_F(NodeTest, AttributesAreExactlyTheTableInOrder) {
    const std::string node = createManager();
    const std::vector<khost::AttributeInfo> attributes = khost::listAttributes(node);
    ASSERT_EQ(attributes.size(), 23u);
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const khost::AttributeInfo& a = attributes[i];
        const ExpectedAttribute& e = kTable[i];
        SCOPED_TRACE(e.longName);
        EXPECT_EQ(a.longName, e.longName);
        EXPECT_EQ(a.shortName, e.shortName);
        EXPECT_FALSE(a.builtin);
        if (e.numericType == 0) {
            EXPECT_TRUE(a.typed);
            EXPECT_EQ(a.dataType, 4);  // kString
            continue;
        }
        EXPECT_FALSE(a.typed);
        EXPECT_EQ(a.numericType, e.numericType);
        EXPECT_EQ(a.components, e.components);
        for (int c = 0; c < e.components; ++c) {
            EXPECT_DOUBLE_EQ(a.defaults[static_cast<std::size_t>(c)], e.defaults[c]) << "component " << c;
        }
        EXPECT_EQ(a.hasMin, e.ranged);
        EXPECT_EQ(a.hasMax, e.ranged);
        if (e.ranged) {
            EXPECT_DOUBLE_EQ(a.minValue, e.minValue);
            EXPECT_DOUBLE_EQ(a.maxValue, e.maxValue);
        }
        EXPECT_EQ(a.usedAsColor, e.color);
    }
    EXPECT_TRUE(khost::attrStringIsNull(node, "occluderMeshName"));
}

TEST_F(NodeTest, SetAttrClampsToEachRange) {
    const std::string node = createManager();
    struct Case {
        const char* attr;
        double value;
        double expected;
    };
    const Case cases[] = {
        {"crvdiv", 100, 64}, {"crvdiv", 0, 2},        {"crvdiv", 17, 17},      {"psize", 0.5, 1},
        {"psize", 250, 100}, {"lwidth", -4, 1},       {"hwidth", 101, 100},    {"dpalpha", -0.5, 0},
        {"spalpha", 1.5, 1}, {"calpha", 0.4, 0.4},    {"halpha", 7, 1},        {"dcolormin", 0, 0.01},
        {"dcolormax", 2, 1}, {"dcolormin", 0.9, 0.9}, {"dcolormax", 0.2, 0.2},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(khost::setAttr(node, c.attr, c.value)) << c.attr;
        EXPECT_FLOAT_EQ(static_cast<float>(khost::getAttr(node, c.attr)), static_cast<float>(c.expected))
            << c.attr << " set to " << c.value;
    }
    // No rule keeps the minimum below the maximum.
    EXPECT_GT(khost::getAttr(node, "distanceColorMin"), khost::getAttr(node, "distanceColorMax"));
}

// ------------------------------------------------------------------ callbacks

TEST_F(NodeTest, OneNodeInstallsAndRemovesOneCallbackWithConsoleLines) {
    const std::size_t before = khost::installedCallbackCount();
    std::string node;
    {
        khost::ConsoleCapture console;
        node = createManager();
        EXPECT_EQ(console.out(), kAdded);
    }
    EXPECT_EQ(khost::installedCallbackCount(), before + 1);
    EXPECT_EQ(selectionCallbackIds.length(), 1u);
    {
        khost::ConsoleCapture console;
        ASSERT_TRUE(khost::deleteNode(node));
        EXPECT_EQ(console.out(), kRemoved);
    }
    EXPECT_EQ(khost::installedCallbackCount(), before);
    EXPECT_EQ(selectionCallbackIds.length(), 0u);
}

// With two nodes, deleting either one leaves the other's callback following
// the selection, and only the deleted node's callback goes.
class TwoNodeDeletion : public NodeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TwoNodeDeletion, EachNodeRemovesOnlyItsOwnCallback) {
    const bool deleteFirstCreatedFirst = GetParam();
    const std::string curveA =
        khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}}));
    const std::string curveB =
        khost::createCurve(khost::openCurve({{0, 0, 5}, {1, 0, 5}, {2, 1, 5}, {3, 0, 5}}));
    const std::size_t before = khost::installedCallbackCount();
    std::string first;
    std::string second;
    {
        khost::ConsoleCapture console;
        first = createManager();
        second = createManager();
        EXPECT_EQ(console.out(), kAdded + kAdded);
    }
    EXPECT_EQ(khost::installedCallbackCount(), before + 2);
    ASSERT_EQ(selectionCallbackIds.length(), 2u);
    const MCallbackId firstId = selectionCallbackIds[0];
    const MCallbackId secondId = selectionCallbackIds[1];

    const std::string& doomed = deleteFirstCreatedFirst ? first : second;
    const std::string& survivor = deleteFirstCreatedFirst ? second : first;
    {
        khost::ConsoleCapture console;
        ASSERT_TRUE(khost::deleteNode(doomed));
        EXPECT_EQ(console.out(), kRemoved);
    }
    EXPECT_EQ(khost::installedCallbackCount(), before + 1);
    ASSERT_EQ(selectionCallbackIds.length(), 1u);
    EXPECT_EQ(selectionCallbackIds[0], deleteFirstCreatedFirst ? secondId : firstId);

    // The survivor's callback still refreshes the tracked selection.
    khost::select({curveA});
    const std::vector<std::string> afterA = trackedStrings();
    khost::select({curveB});
    EXPECT_NE(trackedStrings(), afterA);
    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    EXPECT_EQ(trackedStrings(), strings(active));

    {
        khost::ConsoleCapture console;
        ASSERT_TRUE(khost::deleteNode(survivor));
        EXPECT_EQ(console.out(), kRemoved);
    }
    EXPECT_EQ(khost::installedCallbackCount(), before);
    EXPECT_EQ(selectionCallbackIds.length(), 0u);

    // No callback is left: selection changes no longer reach the tracker.
    const std::vector<std::string> frozen = trackedStrings();
    khost::select({curveA});
    EXPECT_EQ(trackedStrings(), frozen);
    khost::clearSelection();
    EXPECT_EQ(trackedStrings(), frozen);
}

INSTANTIATE_TEST_SUITE_P(BothOrders, TwoNodeDeletion, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& param) {
                             return param.param ? std::string("FirstCreatedFirst")
                                                : std::string("LastCreatedFirst");
                         });

// ------------------------------------------------------------------ selection tracking

class TrackingTest : public NodeTest {
protected:
    void SetUp() override {
        NodeTest::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        manager = createManager();
        curve1 =
            khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {3, 0, 0}, {4, 0, 0}}));
        curve2 = khost::createCurve(khost::openCurve({{0, 0, 3}, {1, 0, 3}, {2, 1, 3}, {3, 0, 3}}));
        curve3 = khost::createCurve(khost::openCurve({{0, 2, 3}, {1, 2, 3}, {2, 3, 3}, {3, 2, 3}}));
    }
    std::string manager, curve1, curve2, curve3;
};

TEST_F(TrackingTest, RichSelectionWinsUnchangedAndSetsSoftFlag) {
    khost::select({curve2});
    khost::setRichSelection({{curve1, {1, 2}, {0.5f, 0.25f}}});

    MRichSelection rich;
    MGlobal::getRichSelection(rich, false);
    MSelectionList richList;
    rich.getSelection(richList);
    ASSERT_FALSE(richList.isEmpty());

    EXPECT_TRUE(softSelectionActive);
    EXPECT_EQ(trackedStrings(), strings(richList));
    // The active list (curve2) is not consulted.
    for (const std::string& s : trackedStrings()) {
        EXPECT_EQ(s.find(curve2), std::string::npos) << s;
    }
}

TEST_F(TrackingTest, WithoutRichSelectionActiveListThenHiliteList) {
    khost::setRichSelection({});
    khost::select({curve2});
    khost::setHilite({curve3});

    MSelectionList active;
    MGlobal::getActiveSelectionList(active);
    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    ASSERT_FALSE(active.isEmpty());
    ASSERT_FALSE(hilite.isEmpty());

    EXPECT_FALSE(softSelectionActive);
    std::vector<std::string> expected = strings(active);
    for (const std::string& s : strings(hilite)) {
        expected.push_back(s);
    }
    EXPECT_EQ(trackedStrings(), expected);
}

TEST_F(TrackingTest, EverythingEmptyGivesEmptyTrackedSelection) {
    khost::setRichSelection({{curve1, {0}, {1.0f}}});
    EXPECT_FALSE(trackedSelection.isEmpty());
    khost::clearSelection();
    EXPECT_TRUE(trackedSelection.isEmpty());
    EXPECT_FALSE(softSelectionActive);
}

}  // namespace
