// The embedded host's selection: selection lists (strings, merging, name
// matching), iteration, the global selection queries, components, and the
// "SelectionChanged" event with callback removal.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/MCallbackIdArray.h>
#include <maya/MDagPath.h>
#include <maya/MEventMessage.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MIntArray.h>
#include <maya/MItSelectionList.h>
#include <maya/MMessage.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MStringArray.h>

#include <set>
#include <string>
#include <vector>

#include "support/curve_shapes.h"

namespace {

using khost::Vec3;

std::vector<Vec3> fiveCVs() {
    return {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}, {4, 0, 0}};
}

std::vector<Vec3> tenCVs() {
    std::vector<Vec3> cvs;
    for (int i = 0; i < 10; ++i) {
        cvs.push_back({static_cast<double>(i), static_cast<double>(i % 2), 0});
    }
    return cvs;
}

class SelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        khost::newScene();
        curve1 = khost::createCurve(khost::openCurve(tenCVs()));
        curve2 = khost::createCurve(khost::openCurve(fiveCVs()));
        curve3 = khost::createCurve(khost::openCurve(fiveCVs()));
    }
    std::string curve1, curve2, curve3;
};

std::vector<std::string> strings(const MSelectionList& list) {
    MStringArray array;
    list.getSelectionStrings(array);
    std::vector<std::string> out;
    for (unsigned int i = 0; i < array.length(); ++i) {
        out.push_back(array[i].asChar());
    }
    return out;
}

MSelectionList activeList() {
    MSelectionList list;
    MGlobal::getActiveSelectionList(list);
    return list;
}

MObject cvComponent(const std::vector<int>& elements) {
    MFnSingleIndexedComponent fn;
    MObject c = fn.create(MFn::kCurveCVComponent);
    for (int e : elements) {
        fn.addElement(e);
    }
    return c;
}

std::vector<int> elementsOf(const MObject& component) {
    MFnSingleIndexedComponent fn(component);
    std::vector<int> out;
    for (int k = 0; k < fn.elementCount(); ++k) {
        out.push_back(fn.element(k));
    }
    return out;
}

// ---------------------------------------------------------------- strings

TEST_F(SelectionTest, StringsShowShortestNamesAndCompressedRanges) {
    khost::selectCVs(curve1, {3});
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"curve1.cv[3]"}));
    khost::selectCVs(curve1, {2, 1, 3});
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"curve1.cv[1:3]"}));
    khost::selectCVs(curve1, {8, 5, 1, 2, 3, 9});
    EXPECT_EQ(strings(activeList()),
              std::vector<std::string>({"curve1.cv[1:3]", "curve1.cv[5]", "curve1.cv[8:9]"}));
    khost::select({curve2, "curveShape3"}, true);
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"curve1.cv[1:3]", "curve1.cv[5]",
                                                               "curve1.cv[8:9]", "curve2", "curveShape3"}));
}

TEST_F(SelectionTest, StringsTellApartNodesWithTheSameName) {
    khost::createTransform("a");
    khost::createTransform("b");
    ASSERT_TRUE(khost::parentNode(curve1, "a"));
    ASSERT_TRUE(khost::parentNode(curve2, "b"));
    ASSERT_TRUE(khost::renameNode("b|curve2", "curve1"));
    khost::select({"a|curve1", "b|curve1", curve3});
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"a|curve1", "b|curve1", "curve3"}));
    khost::selectCVs("b|curve1", {0, 1});
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"b|curve1.cv[0:1]"}));
}

TEST_F(SelectionTest, StringsDifferWhenTheSelectionDiffers) {
    auto key = [](const MSelectionList& l) {
        std::string k;
        for (const auto& s : strings(l)) {
            k += s;
        }
        return k;
    };
    khost::select({curve1, curve2});
    const std::string forward = key(activeList());
    khost::select({curve2, curve1});
    EXPECT_NE(key(activeList()), forward);
    khost::selectCVs(curve1, {1, 2});
    const std::string two = key(activeList());
    khost::selectCVs(curve1, {1, 3});
    EXPECT_NE(key(activeList()), two);
    khost::selectCVs(curve1, {2, 1});
    EXPECT_EQ(key(activeList()), two);  // the same set of CVs
}

// ---------------------------------------------------------------- merging

TEST_F(SelectionTest, MergeKeepsOrderAndCombinesComponents) {
    MSelectionList a, b;
    a.add(khost::dagPath(curve1));
    a.add(khost::dagPath(curve2));
    a.add(khost::dagPath("curveShape3"), cvComponent({1}));
    b.add(khost::dagPath(curve3));
    b.add(khost::dagPath(curve1));
    b.add(khost::dagPath("curveShape3"), cvComponent({4, 2}));
    const MSelectionList bBefore = b;
    ASSERT_TRUE(a.merge(b));
    EXPECT_EQ(strings(a),
              std::vector<std::string>({"curve1", "curve2", "curve3.cv[1:2]", "curve3.cv[4]", "curve3"}));
    MDagPath path;
    MObject component;
    ASSERT_TRUE(a.getDagPath(2, path, component));
    EXPECT_EQ(elementsOf(component), std::vector<int>({1, 4, 2}));
    EXPECT_EQ(strings(b), strings(bBefore));
}

TEST_F(SelectionTest, LongListsKeepEachThingOnceAsTheirIndexGrows) {
    // Enough items to make the list's index grow several times.
    std::vector<std::string> curves;
    for (int i = 0; i < 300; ++i) {
        curves.push_back(khost::createCurve(khost::openCurve(fiveCVs())));
    }
    MSelectionList a, b;
    for (const std::string& curve : curves) {
        a.add(khost::dagPath(curve));
        a.add(khost::dagPath(curve));  // the same object again: kept once
    }
    ASSERT_EQ(a.length(), 300u);
    for (std::size_t i = 0; i < curves.size(); i += 2) {
        b.add(khost::dagPath(curves[i]));
        b.add(khost::dagPath(khost::shapeOf(curves[i])), cvComponent({static_cast<int>(i % 5)}));
    }
    ASSERT_TRUE(a.merge(b));
    // Every object once, plus one CV item for every other curve, after them.
    ASSERT_EQ(a.length(), 450u);
    MDagPath path;
    MObject component;
    ASSERT_TRUE(a.getDagPath(300, path, component));
    EXPECT_EQ(elementsOf(component), std::vector<int>({0}));
    ASSERT_TRUE(a.merge(b, MSelectionList::kRemoveFromList));
    EXPECT_EQ(a.length(), 150u);  // the odd curves are left
    ASSERT_TRUE(a.getDagPath(0, path));
    EXPECT_EQ(std::string(path.partialPathName().asChar()), curves[1]);
}

TEST_F(SelectionTest, XorAndRemoveWorkPerObjectAndPerElement) {
    MSelectionList a, b;
    a.add(khost::dagPath(curve1));
    a.add(khost::dagPath(curve2));
    a.add(khost::dagPath("curveShape3"), cvComponent({1, 2, 3}));
    b.add(khost::dagPath(curve2));
    b.add(khost::dagPath(curve3));
    b.add(khost::dagPath("curveShape3"), cvComponent({3, 4}));
    MSelectionList x = a;
    ASSERT_TRUE(x.merge(b, MSelectionList::kXORWithList));
    EXPECT_EQ(strings(x), std::vector<std::string>({"curve1", "curve3.cv[1:2]", "curve3.cv[4]", "curve3"}));

    MSelectionList r = a;
    ASSERT_TRUE(r.merge(b, MSelectionList::kRemoveFromList));
    EXPECT_EQ(strings(r), std::vector<std::string>({"curve1", "curve3.cv[1:2]"}));
    ASSERT_TRUE(r.merge(khost::dagPath("curveShape3"), cvComponent({1, 2}), MSelectionList::kRemoveFromList));
    EXPECT_EQ(strings(r), std::vector<std::string>({"curve1"}));  // an emptied item goes
    EXPECT_EQ(strings(a).size(), 3u);                             // copies are independent
}

TEST_F(SelectionTest, ListsKeepTheirOwnCopyOfComponents) {
    MFnSingleIndexedComponent fn;
    MObject component = fn.create(MFn::kCurveCVComponent);
    fn.addElement(2);
    MSelectionList list;
    list.add(khost::dagPath("curveShape1"), component);
    fn.addElement(7);
    EXPECT_EQ(strings(list), std::vector<std::string>({"curve1.cv[2]"}));
    // Without merging, a second component item of the same object is kept apart.
    list.add(khost::dagPath("curveShape1"), cvComponent({3}));
    EXPECT_EQ(list.length(), 2u);
    list.add(khost::dagPath("curveShape1"), cvComponent({4}), true);
    EXPECT_EQ(strings(list), std::vector<std::string>({"curve1.cv[2]", "curve1.cv[4]", "curve1.cv[3]"}));
    // A whole object is listed once.
    list.add(khost::dagPath(curve2));
    list.add(khost::object(curve2));
    EXPECT_EQ(list.length(), 3u);
}

// ---------------------------------------------------------------- name matching

TEST_F(SelectionTest, AddByNameMatchesNamesPathsAndWildcards) {
    MSelectionList list;
    ASSERT_TRUE(list.add("curve2"));
    ASSERT_TRUE(list.add("|curve1|curveShape1"));
    ASSERT_TRUE(list.add("curve3|curveShape3"));
    EXPECT_EQ(strings(list), std::vector<std::string>({"curve2", "curveShape1", "curveShape3"}));

    MSelectionList wild;
    ASSERT_TRUE(wild.add("curve?"));
    EXPECT_EQ(strings(wild), std::vector<std::string>({"curve1", "curve2", "curve3"}));
    MSelectionList star;
    ASSERT_TRUE(star.add("*Shape*"));
    EXPECT_EQ(strings(star),
              std::vector<std::string>({"perspShape", "curveShape1", "curveShape2", "curveShape3"}));

    MSelectionList none;
    EXPECT_EQ(none.add("nothing*"), MStatus::kInvalidParameter);
    EXPECT_EQ(none.add("|curveShape1"), MStatus::kInvalidParameter);  // not at the world level
    EXPECT_TRUE(none.isEmpty());
}

TEST_F(SelectionTest, AddByNameFindsEveryNodeOfAnAmbiguousName) {
    khost::createTransform("a");
    khost::createTransform("b");
    const std::string s1 = khost::createCurve(khost::openCurve(fiveCVs()), "pSphere1", "b");
    const std::string s2 = khost::createCurve(khost::openCurve(fiveCVs()), "pSphere1", "a");
    ASSERT_EQ(s2, "pSphere2");
    ASSERT_TRUE(khost::renameNode("a|pSphere2", "pSphere1"));
    MSelectionList list;
    ASSERT_TRUE(list.add("pSphere1"));
    ASSERT_EQ(list.length(), 2u);
    // In creation order: the one under b was made first.
    EXPECT_EQ(strings(list), std::vector<std::string>({"b|pSphere1", "a|pSphere1"}));
    MDagPath first;
    ASSERT_TRUE(list.getDagPath(0, first));
    EXPECT_EQ(std::string(first.fullPathName().asChar()), "|b|pSphere1");
}

TEST_F(SelectionTest, SelectionStringsReadBackIntoTheSameSelection) {
    khost::selectCVs(curve1, {0, 1, 2, 6, 9});
    khost::select({curve2}, true);
    const MSelectionList original = activeList();
    MSelectionList rebuilt;
    for (const std::string& s : strings(original)) {
        ASSERT_TRUE(rebuilt.add(s.c_str())) << s;
    }
    EXPECT_EQ(strings(rebuilt), strings(original));
    MSelectionList all;
    ASSERT_TRUE(all.add("curve2.cv[*]"));
    EXPECT_EQ(strings(all), std::vector<std::string>({"curve2.cv[0:4]"}));
    EXPECT_FALSE(all.add("curve2.cv[5]"));  // curve2 has five CVs
}

// ---------------------------------------------------------------- iteration

TEST_F(SelectionTest, IteratorFiltersAndReportsComponents) {
    const std::string mesh = khost::createMesh(khost::planeMesh(1, 1));
    khost::selectCVs(curve1, {4});
    khost::select({mesh, curve2}, true);
    std::vector<std::string> seen;
    for (MItSelectionList it(activeList(), MFn::kNurbsCurve); !it.isDone(); it.next()) {
        MDagPath path;
        MObject component;
        ASSERT_TRUE(it.getDagPath(path, component));
        EXPECT_EQ(it.itemType(), MItSelectionList::kDagSelectionItem);
        EXPECT_EQ(it.hasComponents(), !component.isNull());
        seen.push_back(path.partialPathName().asChar());
    }
    EXPECT_EQ(seen, std::vector<std::string>({"curveShape1", "curve2"}));

    MItSelectionList all(activeList());
    int count = 0;
    for (; !all.isDone(); all.next()) {
        ++count;
    }
    EXPECT_EQ(count, 3);
    EXPECT_FALSE(all.next());
    ASSERT_TRUE(all.setFilter(MFn::kMesh));
    MDagPath meshPath;
    ASSERT_TRUE(all.getDagPath(meshPath));
    EXPECT_EQ(std::string(meshPath.partialPathName().asChar()), mesh);
}

TEST_F(SelectionTest, IteratorWalksTheListAsItWasMade) {
    MSelectionList list;
    list.add(khost::dagPath(curve1));
    MItSelectionList it(list);
    list.add(khost::dagPath(curve2));
    list.remove(0);
    MDagPath path;
    ASSERT_TRUE(it.getDagPath(path));
    EXPECT_EQ(std::string(path.partialPathName().asChar()), curve1);
    it.next();
    EXPECT_TRUE(it.isDone());
}

TEST_F(SelectionTest, CopiesStayIndependentThroughMergesAndRemovals) {
    MSelectionList original;
    original.add(khost::dagPath(curve1));
    original.add(khost::dagPath(curve2));
    // The first merge indexes the original; the copy must not take over an
    // index that its own later changes would leave stale.
    original.merge(khost::dagPath(curve1));
    MSelectionList copy(original);
    copy.remove(0);
    copy.merge(khost::dagPath(curve2));
    copy.merge(khost::dagPath(curve3));
    EXPECT_EQ(strings(copy), std::vector<std::string>({curve2, curve3}));
    EXPECT_EQ(strings(original), std::vector<std::string>({curve1, curve2}));

    MSelectionList assigned;
    assigned = copy;
    assigned.merge(khost::dagPath(curve3), cvComponent({1}));
    EXPECT_EQ(assigned.length(), 3u);
    EXPECT_EQ(copy.length(), 2u);
    // Merging a list with itself changes nothing for whole objects.
    assigned.merge(assigned);
    EXPECT_EQ(assigned.length(), 3u);
    assigned.merge(assigned, MSelectionList::kXORWithList);
    EXPECT_TRUE(assigned.isEmpty());
    EXPECT_EQ(copy.length(), 2u);
}

TEST_F(SelectionTest, CurveShapesOfASelectionNameEachShapeOnce) {
    const std::string mesh = khost::createMesh(khost::planeMesh(1, 1));
    MSelectionList list;
    list.add(khost::dagPath(curve1));                                       // a transform
    list.add(khost::dagPath(khost::shapeOf(curve2)));                       // a shape
    list.add(khost::dagPath(khost::shapeOf(curve1)), cvComponent({2, 3}));  // CVs of curve1 again
    list.add(khost::dagPath(mesh));
    const std::set<std::string> expected = {khost::fullPathName(khost::shapeOf(curve1)),
                                            khost::fullPathName(khost::shapeOf(curve2))};
    EXPECT_EQ(knotlens_test::curveShapesIn(list), expected);
    EXPECT_TRUE(knotlens_test::curveShapesIn(MSelectionList()).empty());
}

// ---------------------------------------------------------------- global queries and components

TEST_F(SelectionTest, RichSelectionFallsBackOnlyWhenAsked) {
    khost::select({curve2});
    MRichSelection rich;
    MSelectionList list;
    ASSERT_TRUE(MGlobal::getRichSelection(rich, false));
    rich.getSelection(list);
    EXPECT_TRUE(list.isEmpty());
    ASSERT_TRUE(MGlobal::getRichSelection(rich));
    rich.getSelection(list);
    EXPECT_EQ(strings(list), std::vector<std::string>({"curve2"}));

    khost::setRichSelection({{curve1, {4, 2, 3}, {1.0f, 0.5f, 0.25f}}});
    ASSERT_TRUE(MGlobal::getRichSelection(rich, false));
    rich.getSelection(list);
    ASSERT_EQ(list.length(), 1u);
    MDagPath path;
    MObject component;
    list.getDagPath(0, path, component);
    MFnSingleIndexedComponent fn(component);
    EXPECT_EQ(fn.componentType(), MFn::kCurveCVComponent);
    ASSERT_TRUE(fn.hasWeights());
    ASSERT_EQ(fn.elementCount(), 3);
    EXPECT_EQ(fn.element(1), 2);
    EXPECT_FLOAT_EQ(fn.weight(1).influence(), 0.5f);
    EXPECT_FLOAT_EQ(fn.weight(2).influence(), 0.25f);
    // Selecting anew drops the soft selection.
    khost::select({curve3});
    ASSERT_TRUE(MGlobal::getRichSelection(rich, false));
    rich.getSelection(list);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(SelectionTest, ComponentSelectionHilitesTheCurve) {
    khost::selectCVs(curve1, {3, 1});
    MSelectionList hilite;
    MGlobal::getHiliteList(hilite);
    EXPECT_EQ(strings(hilite), std::vector<std::string>({"curve1"}));
    // Merged as the overlay merges them, both items reach the same shape.
    MSelectionList merged = activeList();
    merged.merge(hilite);
    ASSERT_EQ(merged.length(), 2u);
    MDagPath first, second;
    MObject component;
    merged.getDagPath(0, first, component);
    merged.getDagPath(1, second);
    second.extendToShape();
    EXPECT_TRUE(first == second);
    EXPECT_EQ(elementsOf(component), std::vector<int>({3, 1}));
    MFnSingleIndexedComponent fn(component);
    EXPECT_FALSE(fn.hasWeights());
    EXPECT_FLOAT_EQ(fn.weight(0).influence(), 1.0f);
    // CVs the curve does not have are not selectable; repeats count once.
    khost::selectCVs(curve2, {1, 1, 7, -1});
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"curve2.cv[1]"}));
}

TEST_F(SelectionTest, ComponentFunctionSetsAttachOnlyToComponents) {
    MStatus status;
    MFnSingleIndexedComponent onNode(khost::object(curve1), &status);
    EXPECT_FALSE(status);
    EXPECT_EQ(onNode.elementCount(), 0);
    MFnSingleIndexedComponent fn;
    EXPECT_TRUE(fn.create(MFn::kCurveEPComponent).hasFn(MFn::kComponent));
    EXPECT_TRUE(fn.create(MFn::kCurveParamComponent).isNull());
    MObject c = cvComponent({5, 2, 5, 9});
    MFnSingleIndexedComponent cv(c);
    EXPECT_EQ(cv.elementCount(), 3);
    EXPECT_EQ(cv.elementMax(), 9);
    MIntArray elements;
    cv.getElements(elements);
    ASSERT_EQ(elements.length(), 3u);
    EXPECT_EQ(elements[2], 9);
    EXPECT_FALSE(cv.isEmpty());
    EXPECT_EQ(cv.element(3, &status), -1);
    EXPECT_FALSE(status);
}

// ---------------------------------------------------------------- events

struct Counter {
    int calls = 0;
    MCallbackId removeOnCall = 0;
    MCallbackId seenId = 0;
};

void countCall(void* data) {
    auto* c = static_cast<Counter*>(data);
    ++c->calls;
    c->seenId = MMessage::currentCallbackId();
    if (c->removeOnCall != 0) {
        MMessage::removeCallback(c->removeOnCall);
    }
}

TEST_F(SelectionTest, EveryHarnessSelectionChangeFiresOnce) {
    Counter counter;
    MStatus status;
    const MCallbackId id = MEventMessage::addEventCallback("SelectionChanged", countCall, &counter, &status);
    ASSERT_TRUE(status);
    ASSERT_NE(id, 0u);
    khost::resetCounters();
    khost::select({curve1});
    EXPECT_EQ(counter.calls, 1);
    EXPECT_EQ(counter.seenId, id);
    khost::selectCVs(curve1, {1}, true);
    khost::selectComponents(curve2, MFn::kCurveEPComponent, {0}, {}, true, false);
    khost::setHilite({curve3});
    khost::setRichSelection({});
    khost::setActiveList(MSelectionList());
    khost::setHiliteList(MSelectionList());
    khost::clearSelection();
    EXPECT_EQ(counter.calls, 8);
    EXPECT_EQ(khost::counters().selectionChangedEvents, 8u);
    // Deleting a selected node changes the selection too.
    khost::select({curve1, curve2});
    ASSERT_TRUE(khost::deleteNode(curve1));
    EXPECT_EQ(counter.calls, 10);
    EXPECT_EQ(strings(activeList()), std::vector<std::string>({"curve2"}));
    MCallbackIdArray ids;
    ids.append(id);
    EXPECT_TRUE(MMessage::removeCallbacks(ids));
    khost::select({curve3});
    EXPECT_EQ(counter.calls, 10);
}

TEST_F(SelectionTest, RemovedCallbacksNeverFire) {
    Counter first, second;
    const std::size_t before = khost::installedCallbackCount();
    const MCallbackId a = MEventMessage::addEventCallback("SelectionChanged", countCall, &first);
    const MCallbackId b = MEventMessage::addEventCallback("SelectionChanged", countCall, &second);
    EXPECT_EQ(khost::installedCallbackCount(), before + 2);
    // The first callback removes the second while the event is delivered.
    first.removeOnCall = b;
    khost::select({curve1});
    EXPECT_EQ(first.calls, 1);
    EXPECT_EQ(second.calls, 0);
    EXPECT_FALSE(MMessage::removeCallback(b));
    MCallbackIdArray ids;
    ids.append(b);
    ids.append(a);
    EXPECT_FALSE(MMessage::removeCallbacks(ids));  // b was already gone ...
    khost::select({curve2});
    EXPECT_EQ(first.calls, 1);  // ... and a was removed all the same
    EXPECT_EQ(khost::installedCallbackCount(), before);
}

TEST_F(SelectionTest, UnknownEventNamesAreRefused) {
    Counter c;
    MStatus status;
    EXPECT_EQ(MEventMessage::addEventCallback("SelectionChangd", countCall, &c, &status), 0u);
    EXPECT_FALSE(status);
    EXPECT_EQ(MEventMessage::addEventCallback("SelectionChanged", nullptr, &c, &status), 0u);
    EXPECT_FALSE(status);
    MStringArray names;
    MEventMessage::getEventNames(names);
    EXPECT_GE(names.indexOf("SelectionChanged"), 0);
    MMessage::currentCallbackId(&status);
    EXPECT_FALSE(status);  // not inside a callback
}

}  // namespace
