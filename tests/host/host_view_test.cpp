// The embedded host's views: the default scene's camera and view, pixel
// projection, display status, the frame context handed to draw overrides,
// and console capture.
#include <gtest/gtest.h>
#include <khost/harness.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFnCamera.h>
#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MStatus.h>
#include <maya/MUIDrawManager.h>

#include <cmath>
#include <iostream>
#include <limits>
#include <string>
#include <vector>

#include "../host/src/frame_state.h"

namespace {

using khost::Vec3;

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override { khost::newScene(); }
};

std::string curveNamed(const std::string& name = "") {
    return khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}, {3, 1, 0}}), name);
}

M3dView::DisplayStatus statusOf(const std::string& name) {
    return M3dView::displayStatus(khost::dagPath(name));
}

// ---------------------------------------------------------------- default scene and views

TEST_F(ViewTest, NewSceneLooksThroughPerspAtTheOrigin) {
    EXPECT_EQ(khost::viewCount(), 1);
    EXPECT_EQ(khost::activeView(), 0);
    EXPECT_EQ(M3dView::numberOf3dViews(), 1u);
    M3dView view = M3dView::active3dView();
    EXPECT_EQ(view.portWidth(), 640);
    EXPECT_EQ(view.portHeight(), 480);

    MFnCamera camera(khost::dagPath("persp"));
    const MPoint eye = camera.eyePoint(MSpace::kWorld);
    EXPECT_NEAR(eye.x, 28.0, 1e-9);
    EXPECT_NEAR(eye.y, 21.0, 1e-9);
    EXPECT_NEAR(eye.z, 28.0, 1e-9);
    const MVector dir = camera.viewDirection(MSpace::kWorld);
    const MVector toOrigin = MVector(-28, -21, -28).normal();
    EXPECT_NEAR(dir * toOrigin, 1.0, 1e-12);
    EXPECT_TRUE(camera.viewDirection().isEquivalent(MVector(0, 0, -1)));

    // The origin is on the camera axis: the centre of the viewport (up to
    // rounding of the camera's rotation, which truncation may push one pixel
    // down).
    double cx = 0, cy = 0;
    EXPECT_TRUE(khost::projectToView(0, {0, 0, 0}, cx, cy));
    EXPECT_NEAR(cx, 320.0, 1e-6);
    EXPECT_NEAR(cy, 240.0, 1e-6);
    short x = 0, y = 0;
    EXPECT_TRUE(view.worldToView(MPoint(0, 0, 0), x, y));
    EXPECT_NEAR(x, 320, 1);
    EXPECT_NEAR(y, 240, 1);
    // The camera's right and up, seen from (28, 21, 28) towards the origin.
    const MVector right = MVector(0, 1, 0) ^ MVector(28, 21, 28);
    const MVector up = MVector(28, 21, 28) ^ right;
    EXPECT_TRUE(view.worldToView(MPoint(right.normal() * 2.0), x, y));
    EXPECT_GT(x, 330);
    EXPECT_NEAR(y, 240, 1);
    EXPECT_TRUE(view.worldToView(MPoint(up.normal() * 2.0), x, y));
    EXPECT_NEAR(x, 320, 1);
    EXPECT_GT(y, 250);
}

TEST_F(ViewTest, WorldToViewUsesBottomLeftPixelCoordinates) {
    // 90 degrees horizontally: at distance 10 the view spans x in [-10, 10];
    // a 200x100 viewport spans y in [-5, 5].
    const std::string cam = khost::createCamera({0, 0, 10}, {0, 0, 0}, 90.0);
    const int index = khost::addView(cam, 200, 100);
    ASSERT_EQ(index, 1);
    M3dView view;
    ASSERT_TRUE(M3dView::get3dView(1, view));
    short x = 0, y = 0;
    EXPECT_TRUE(view.worldToView(MPoint(5, 0, 0), x, y));
    EXPECT_EQ(x, 150);  // right of the centre
    EXPECT_EQ(y, 50);
    EXPECT_TRUE(view.worldToView(MPoint(0, 2, 0), x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 70);  // above the centre
    EXPECT_TRUE(view.worldToView(MPoint(-10, -5, 0), x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // Coordinates are truncated toward zero.
    double ux = 0, uy = 0;
    ASSERT_TRUE(khost::projectToView(1, {1.234, -0.77, 0}, ux, uy));
    EXPECT_NEAR(ux, (1.234 / 10 + 1) / 2 * 200, 1e-9);
    view.worldToView(MPoint(1.234, -0.77, 0), x, y);
    EXPECT_EQ(x, static_cast<short>(ux));
    EXPECT_EQ(y, static_cast<short>(uy));
    // Far off to the side: clamped to the range of a short.
    view.worldToView(MPoint(1e9, -1e9, 0), x, y);
    EXPECT_EQ(x, 32767);
    EXPECT_EQ(y, -32768);
    // Behind the camera: reported, with coordinates written all the same.
    x = y = 1234;
    EXPECT_FALSE(view.worldToView(MPoint(0, 0, 20), x, y));
    EXPECT_EQ(x, 100);
    // A point in the camera plane projects nowhere.
    view.worldToView(MPoint(3, 0, 10), x, y);
    EXPECT_EQ(y, 0);
    view.worldToView(MPoint(std::numeric_limits<double>::quiet_NaN(), 0, 0), x, y);
    EXPECT_EQ(x, 0);
}

TEST_F(ViewTest, ActiveViewFollowsTheHarness) {
    const std::string cam = khost::createCamera({0, 0, 10}, {0, 0, 0}, 90.0);
    khost::addView(cam, 300, 200);
    EXPECT_EQ(M3dView::active3dView().portWidth(), 640);
    khost::setActiveView(1);
    EXPECT_EQ(khost::activeView(), 1);
    EXPECT_EQ(M3dView::active3dView().portWidth(), 300);
    khost::setActiveView(5);  // no such view
    EXPECT_EQ(khost::activeView(), 1);
    M3dView none;
    EXPECT_FALSE(M3dView::get3dView(2, none));
    short x = 0, y = 0;
    EXPECT_FALSE(none.worldToView(MPoint(), x, y));
    EXPECT_EQ(khost::addView("noCamera"), -1);
}

TEST_F(ViewTest, ViewToWorldInvertsWorldToView) {
    M3dView view = M3dView::active3dView();
    MPoint nearPt, farPt;
    ASSERT_TRUE(view.viewToWorld(320, 240, nearPt, farPt));
    const MVector ray = (farPt - nearPt).normal();
    EXPECT_NEAR(ray * MVector(-28, -21, -28).normal(), 1.0, 1e-9);
    const MPoint target(3, -2, 4);
    short x = 0, y = 0;
    view.worldToView(target, x, y);
    MPoint origin;
    MVector direction;
    ASSERT_TRUE(view.viewToWorld(x, y, origin, direction));
    // The target lies within a pixel's width of the ray through its pixel.
    const MVector offset = target - origin;
    const double off = (offset - direction * (offset * direction)).length();
    EXPECT_LT(off, 0.2);
}

// ---------------------------------------------------------------- display status

TEST_F(ViewTest, DisplayStatusFollowsSelectionHiliteAndTemplate) {
    const std::string a = curveNamed(), b = curveNamed(), c = curveNamed();
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kDormant);
    khost::select({a, b});
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kActive);  // the shape of a selected transform
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kLead);    // the most recent selection
    EXPECT_EQ(statusOf(b), M3dView::kLead);
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kDormant);
    khost::select({a}, true);  // already selected: stays where it is
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kLead);

    khost::selectCVs(c, {1});
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kHilite);
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kDormant);
    khost::selectComponents(a, MFn::kCurveCVComponent, {0}, {}, true, false);
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kDormant);  // components alone do not hilite

    khost::setTemplated(b, true);
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kTemplate);
    khost::select({b});
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kActiveTemplate);
    khost::clearSelection();
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kDormant);
}

TEST_F(ViewTest, DisplayStatusLeadIsTheLastWholeObjectAndActiveOutranksHilite) {
    const std::string a = curveNamed(), b = curveNamed(), c = curveNamed();
    khost::select({a, b});
    khost::selectComponents(c, MFn::kCurveCVComponent, {0}, {}, true, false);
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kLead);  // component items after it do not count
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kDormant);
    khost::setHilite({a, c});
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kActive);  // active and hilited: active
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kHilite);
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kLead);
    khost::select({b, a});
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kLead);
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kActive);
}

TEST_F(ViewTest, DisplayStatusOfEveryNodeInALongSelection) {
    std::vector<std::string> curves;
    for (int i = 0; i < 200; ++i) {
        curves.push_back(curveNamed());
    }
    const std::vector<std::string> selected(curves.begin(), curves.begin() + 150);
    khost::select(selected);
    khost::setHilite(std::vector<std::string>(curves.begin() + 100, curves.end()));
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const M3dView::DisplayStatus expected = i == 149  ? M3dView::kLead
                                                : i < 150 ? M3dView::kActive
                                                          : M3dView::kHilite;
        EXPECT_EQ(statusOf(khost::shapeOf(curves[i])), expected) << curves[i];
    }
    khost::select({curves[0]}, true);  // already selected: the lead stays
    EXPECT_EQ(statusOf(curves[149]), M3dView::kLead);
    khost::select({curves[199]}, true);
    EXPECT_EQ(statusOf(curves[199]), M3dView::kLead);
    EXPECT_EQ(statusOf(curves[149]), M3dView::kActive);
}

// A node keeps the status it was last given until a list changes; every way
// a list changes must reach the next read.
TEST_F(ViewTest, DisplayStatusReadAgainAfterEveryChangeOfTheLists) {
    const std::string a = curveNamed(), b = curveNamed(), c = curveNamed();
    khost::select({a, b});
    ASSERT_EQ(statusOf(a), M3dView::kActive);
    ASSERT_EQ(statusOf(b), M3dView::kLead);
    khost::deleteNode(b);  // deleting the lead drops it from the active list
    EXPECT_EQ(statusOf(a), M3dView::kLead);

    MSelectionList hilite;
    hilite.add(khost::dagPath(c));
    khost::setHiliteList(hilite);
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kHilite);
    hilite.clear();  // the host keeps its own copy
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kHilite);
    khost::setHiliteList(hilite);
    EXPECT_EQ(statusOf(khost::shapeOf(c)), M3dView::kDormant);

    khost::select({c}, true);  // appended to the active list
    EXPECT_EQ(statusOf(a), M3dView::kActive);
    EXPECT_EQ(statusOf(c), M3dView::kLead);
    MSelectionList copy;
    MGlobal::getActiveSelectionList(copy);
    copy.clear();  // a copy handed out changes nothing
    EXPECT_EQ(statusOf(c), M3dView::kLead);
    khost::clearSelection();
    EXPECT_EQ(statusOf(a), M3dView::kDormant);
    EXPECT_EQ(statusOf(c), M3dView::kDormant);
}

TEST_F(ViewTest, DisplayStatusOfGroupsAndOverrides) {
    khost::createTransform("group1");
    const std::string a = khost::createCurve(khost::openCurve({{0, 0, 0}, {1, 0, 0}}, 1), "", "group1");
    const std::string b = curveNamed();
    khost::select({"group1", b});
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kActive);  // below a selected group
    khost::setDisplayStatusOverride(a, M3dView::kHilite);
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kHilite);  // set on the transform, seen on the shape
    khost::setDisplayStatusOverride(khost::shapeOf(b), M3dView::kDormant);
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kDormant);
    EXPECT_EQ(statusOf(b), M3dView::kLead);
    khost::clearDisplayStatusOverrides();
    EXPECT_EQ(statusOf(khost::shapeOf(b)), M3dView::kLead);
    EXPECT_EQ(statusOf(khost::shapeOf(a)), M3dView::kActive);
    MStatus status;
    EXPECT_EQ(M3dView::displayStatus(MDagPath(), &status), M3dView::kNoStatus);
    EXPECT_FALSE(status);
    EXPECT_EQ(khost::dagPath(b).getDisplayStatus(), static_cast<unsigned int>(M3dView::kLead));
}

// ---------------------------------------------------------------- frame context

TEST_F(ViewTest, FrameContextCarriesTheViewsMatrices) {
    const std::string cam = khost::createCamera({0, 0, 10}, {0, 0, 0}, 90.0);
    const int index = khost::addView(cam, 200, 100);
    const khost::detail::FrameContextImpl context(
        khost::detail::viewSet().views[static_cast<std::size_t>(index)]);
    const MHWRender::MFrameContext& fc = context;
    int ox = -1, oy = -1, w = 0, h = 0;
    ASSERT_TRUE(fc.getViewportDimensions(ox, oy, w, h));
    EXPECT_EQ(ox, 0);
    EXPECT_EQ(oy, 0);
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);
    EXPECT_EQ(std::string(fc.getCurrentCameraPath().fullPathName().asChar()), "|camera1|cameraShape1");

    const MMatrix view = fc.getMatrix(MHWRender::MFrameContext::kViewMtx);
    const MMatrix proj = fc.getMatrix(MHWRender::MFrameContext::kProjectionMtx);
    EXPECT_TRUE((view * proj).isEquivalent(fc.getMatrix(MHWRender::MFrameContext::kViewProjMtx), 1e-12));
    EXPECT_TRUE(
        (view * fc.getMatrix(MHWRender::MFrameContext::kViewInverseMtx)).isEquivalent(MMatrix(), 1e-12));
    EXPECT_TRUE(view.transpose().isEquivalent(fc.getMatrix(MHWRender::MFrameContext::kViewTransposeMtx)));
    // The camera sits at z = 10 looking down -Z: the origin is 10 in front.
    const MPoint inView = MPoint(0, 0, 0) * view;
    EXPECT_NEAR(inView.z, -10.0, 1e-12);
    // Projected with the frame's matrix, a point lands where worldToView puts it.
    MPoint clip = MPoint(5, 2, 0) * fc.getMatrix(MHWRender::MFrameContext::kViewProjMtx);
    clip.cartesianize();
    short x = 0, y = 0;
    M3dView v;
    M3dView::get3dView(1, v);
    v.worldToView(MPoint(5, 2, 0), x, y);
    EXPECT_EQ(x, static_cast<short>((clip.x + 1) / 2 * 200));
    EXPECT_EQ(y, static_cast<short>((clip.y + 1) / 2 * 100));
    MStatus status;
    MHWRender::MFrameContext::semanticToMatrixType("ViewProjection", &status);
    EXPECT_TRUE(status);
}

// ---------------------------------------------------------------- console

TEST(ConsoleCaptureTest, CapturesBothStreamsAndRestoresThem) {
    std::streambuf* const coutBefore = std::cout.rdbuf();
    std::streambuf* const cerrBefore = std::cerr.rdbuf();
    {
        khost::ConsoleCapture capture;
        std::cout << "first line" << std::endl;
        MStatus(MStatus::kFailure).perror("step");
        MGlobal::displayWarning("careful");
        EXPECT_EQ(capture.out(), "first line\n");
        EXPECT_NE(capture.err().find("step"), std::string::npos);
        EXPECT_NE(capture.err().find("careful"), std::string::npos);
        {
            khost::ConsoleCapture inner;
            std::cout << "inner";
            EXPECT_EQ(inner.out(), "inner");
        }
        std::cout << "again";
        EXPECT_EQ(capture.out(), "first line\nagain");
    }
    EXPECT_EQ(std::cout.rdbuf(), coutBefore);
    EXPECT_EQ(std::cerr.rdbuf(), cerrBefore);
}

}  // namespace

namespace {

// The host-only replay of a frame: the frame context of the view asked for,
// a draw manager that records, and nothing for a view without a camera.
TEST_F(ViewTest, ReplayedDrawCallsAreRecordedWithTheViewsFrameContext) {
    const std::string camera = khost::createCamera({0, 0, 30}, {0, 0, 0}, 54.43, "side");
    const int second = khost::addView(camera, 320, 200);
    MPointArray points;
    points.append(MPoint(1, 2, 3));
    points.append(MPoint(4, 5, 6));
    int width = 0, height = 0;
    MDagPath cameraPath;
    khost::replayHostDraw(second,
                          [&](MHWRender::MUIDrawManager& draw, const MHWRender::MFrameContext& context) {
                              int x = 0, y = 0;
                              context.getViewportDimensions(x, y, width, height);
                              cameraPath = context.getCurrentCameraPath();
                              draw.beginDrawInXray();
                              draw.setPointSize(7.0f);
                              draw.mesh(MHWRender::MUIDrawManager::kPoints, points);
                              draw.endDrawInXray();
                          });
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    EXPECT_EQ(cameraPath.fullPathName().asChar(), khost::fullPathName(khost::shapeOf(camera)));
    const std::vector<khost::DrawCall>& calls = khost::replayedDrawCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[1].kind, khost::DrawCall::SetPointSize);
    EXPECT_EQ(calls[1].value, 7.0f);
    ASSERT_EQ(calls[2].kind, khost::DrawCall::Mesh);
    EXPECT_EQ(calls[2].points.length(), 2u);
    EXPECT_EQ(calls[2].points[1], MPoint(4, 5, 6));

    // A shorter replay leaves exactly its own calls; a view that does not exist records none.
    khost::replayHostDraw(0, [](MHWRender::MUIDrawManager& draw, const MHWRender::MFrameContext&) {
        draw.beginDrawable();
        draw.endDrawable();
    });
    EXPECT_EQ(khost::replayedDrawCalls().size(), 2u);
    bool ran = false;
    khost::replayHostDraw(7,
                          [&](MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&) { ran = true; });
    EXPECT_FALSE(ran);
    EXPECT_TRUE(khost::replayedDrawCalls().empty());
}

}  // namespace
