#include "host_replay.h"

#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFrameContext.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MString.h>
#include <maya/MWeight.h>

#include <set>

#include "selection_fetch.h"

namespace knotlens_bench {
namespace {

// The node attributes a frame reads: single values, and colours.
const char* const kFrameValues[] = {
    "lazyUpdate",
    "nodeState",
    "drawOnTop",
    "pointSize",
    "lineWidth",
    "hullWidth",
    "curveDivisions",
    "showCurve",
    "showHull",
    "selectedPointAlpha",
    "deselectedPointAlpha",
    "curveAlpha",
    "hullAlpha",
    "useCVOcclusion",
    "useCVDistanceColor",
    "useHullDistanceColor",
    "useCurveDistanceColor",
    "distanceColorMin",
    "distanceColorMax",
};
const char* const kFrameColors[] = {"selectedPointColor", "deselectedPointColor", "curveColor", "hullColor"};

// The selection fetch of the tracker, into `tracked`.
void fetchSelection(MSelectionList& tracked) {
    tracked.clear();
    tracked = fetchTrackedSelection();
}

}  // namespace

const std::vector<ReplayScene>& replayScenes() {
    static const std::vector<ReplayScene> scenes = {
        {"rig", "rig/curves:300/cvs:20", "rig",
         [] {
             return buildRig(300, 20, {2, 9, 16});
         }},
        {"groom", "groom/curves:10000", "hilited:10000", [] { return buildHilitedGuides(10000, 10); }},
        {"scaling", "scaling/curves:100000", "hilited:100000", [] { return buildHilitedGuides(100000, 10); }},
    };
    return scenes;
}

void replayCall(MHWRender::MUIDrawManager& draw, const khost::DrawCall& call) {
    using Kind = khost::DrawCall::Kind;
    switch (call.kind) {
        case Kind::BeginDrawable:
            draw.beginDrawable(static_cast<MHWRender::MUIDrawManager::Selectability>(call.selectability),
                               call.selectionName);
            break;
        case Kind::EndDrawable:
            draw.endDrawable();
            break;
        case Kind::BeginDrawInXray:
            draw.beginDrawInXray();
            break;
        case Kind::EndDrawInXray:
            draw.endDrawInXray();
            break;
        case Kind::SetColor:
            draw.setColor(call.color);
            break;
        case Kind::SetPointSize:
            draw.setPointSize(call.value);
            break;
        case Kind::SetLineWidth:
            draw.setLineWidth(call.value);
            break;
        case Kind::Mesh:
            draw.mesh(static_cast<MHWRender::MUIDrawManager::Primitive>(call.primitive), call.points, nullptr,
                      call.hasColors ? &call.colors : nullptr, nullptr, nullptr);
            break;
        case Kind::Circle2d:
            draw.circle2d(call.center, call.radius, call.filled);
            break;
    }
}

std::string HostReplay::prepare(const BuiltScene& scene) {
    scene_ = &scene;
    std::string error = applySettings(scene, {});
    if (!error.empty()) {
        return error;
    }
    // One real frame gives the arrays the draw manager receives.
    khost::drawFrame();
    error = checkDrawn(scene);
    if (!error.empty()) {
        return error;
    }
    recorded_ = khost::drawCalls(0, scene.node);

    // The items that name a curve for the first time: the overlay queries a
    // curve once, through its first item (which ones they are is the
    // plug-in's work, so it is found here, untimed).
    fetchSelection(tracked_);
    firstMention_.clear();
    std::set<std::string> seen;
    MDagPath path;
    MObject component;
    for (MItSelectionList item(tracked_, MFn::kInvalid); !item.isDone(); item.next()) {
        item.getDagPath(path, component);
        path.extendToShape();
        firstMention_.push_back(path.apiType() == MFn::kNurbsCurve &&
                                seen.insert(path.fullPathName().asChar()).second);
    }
    run();
    if (khost::replayedDrawCalls().size() != recorded_.size() || curvesQueried_ != scene.curves.size()) {
        return "the replay does not make the frame's host calls";
    }
    return std::string();
}

void HostReplay::run() {
    for (const char* attribute : kFrameValues) {
        checksum_ += khost::getAttr(scene_->node, attribute);
    }
    for (const char* attribute : kFrameColors) {
        checksum_ += khost::getAttr3(scene_->node, attribute)[0];
    }
    fetchSelection(tracked_);
    curvesQueried_ = 0;
    khost::replayHostDraw(0, [&](MHWRender::MUIDrawManager& draw, const MHWRender::MFrameContext& context) {
        // Preparation: camera, view, and the walk's queries.
        const MMatrix camera = context.getCurrentCameraPath().inclusiveMatrix();
        checksum_ += camera(3, 0);
        const MMatrix viewProjection = context.getMatrix(MHWRender::MFrameContext::kViewProjMtx);
        int x = 0, y = 0, width = 0, height = 0;
        context.getViewportDimensions(x, y, width, height);
        checksum_ += viewProjection(0, 0) + width;
        MDagPath path;
        MObject component;
        std::size_t index = 0;
        for (MItSelectionList item(tracked_, MFn::kInvalid); !item.isDone(); item.next(), ++index) {
            item.getDagPath(path, component);
            path.extendToShape();
            if (path.apiType() != MFn::kNurbsCurve) {
                continue;
            }
            const MString name = path.fullPathName();
            checksum_ += name.length();
            if (index >= firstMention_.size() || !firstMention_[index]) {
                continue;
            }
            ++curvesQueried_;
            MFnNurbsCurve curve(path);
            curve.getCVs(cvs_, MSpace::kWorld);
            checksum_ += cvs_.length();
            checksum_ += static_cast<double>(M3dView::displayStatus(path));
            if (!component.isNull()) {
                MFnSingleIndexedComponent cvComponent(component);
                checksum_ += static_cast<double>(cvComponent.componentType());
                const bool weighted = cvComponent.hasWeights();
                const int elements = cvComponent.elementCount();
                for (int k = 0; k < elements; ++k) {
                    checksum_ += cvComponent.element(k);
                    if (weighted) {
                        checksum_ += cvComponent.weight(k).influence();
                    }
                }
            }
        }
        // Drawing: the calls the plug-in made, with its arrays.
        for (const khost::DrawCall& call : recorded_) {
            replayCall(draw, call);
        }
    });
}

}  // namespace knotlens_bench
