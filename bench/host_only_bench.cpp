// The embedded host's side of a frame on its own: host_only/groom,
// host_only/rig and host_only/scaling replay, on the groom, rig and
// scaling/curves:100000 scenes, every host call a frame of the overlay
// makes, with no plug-in code running. The plug-in's share of a frame is the
// frame minus its replay, from the same run.
//
// One replayed frame:
//   - the node's settings (plug reads; through the harness's attribute
//     lookup, which costs at least what a plug read costs);
//   - the selection fetch as the tracker makes it (rich selection, active
//     list, hilite list, merge) and its copy into the tracked list;
//   - the camera's inclusive matrix, the frame context's view-projection
//     matrix and viewport;
//   - for each item: getDagPath, extendToShape, apiType, fullPathName,
//     getCVs in world space, displayStatus, and for CV components the
//     component's type, weights flag, element count and elements;
//   - the draw manager calls of the frame, with the arrays the plug-in
//     handed over in a real frame of the same scene (copied once, untimed).
// Counters per frame: cvs (the N of the frame it replays), allocs (host
// allocations), getCVs. The label names the frame benchmark it replays.
//
// host_draw/curve_steady/div:D replays only the draw manager calls of a
// curve_steady/div:D frame, with that frame's arrays: the host's copy of
// every array it is handed (the real draw manager copies them as well). No
// steady frame can cost less than its own draw calls, so curve_cold/div:D
// divided by this bounds the ratio of a cold to a steady frame. Counters:
// line_vertices (vertices of the line meshes), allocs.
#include <benchmark/benchmark.h>
#include <khost/harness.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MFrameContext.h>
#include <maya/MGlobal.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>
#include <maya/MUIDrawManager.h>
#include <maya/MWeight.h>

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "scenes.h"
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

// What the overlay handed the draw manager in a real frame: the draw calls
// of the node in view 0, replayed as they were made.
struct RecordedDraw {
    std::vector<khost::DrawCall> calls;
};

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

// The selection fetch of the tracker, into `tracked`.
void fetchSelection(MSelectionList& tracked) {
    tracked.clear();
    tracked = fetchTrackedSelection();
}

struct ReplayCase {
    std::string name;
    std::string replays;  // the frame benchmark of the same scene
    std::string sceneKey;
    std::function<BuiltScene()> build;
};

void hostOnly(benchmark::State& state, const ReplayCase& c) {
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        state.SkipWithError(("cannot load the plug-in: " + error).c_str());
        return;
    }
    const BuiltScene& scene = sceneCache().use(c.sceneKey, c.build);
    error = applySettings(scene, {});
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    // One real frame gives the arrays the draw manager receives.
    khost::drawFrame();
    error = checkDrawn(scene);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const RecordedDraw recorded{khost::drawCalls(0, scene.node)};

    // The items that name a curve for the first time: the overlay queries a
    // curve once, through its first item (which ones they are is the
    // plug-in's work, so it is found here, untimed).
    MSelectionList tracked;
    fetchSelection(tracked);
    std::vector<char> firstMention;
    {
        std::set<std::string> seen;
        MDagPath path;
        MObject component;
        for (MItSelectionList item(tracked, MFn::kInvalid); !item.isDone(); item.next()) {
            item.getDagPath(path, component);
            path.extendToShape();
            firstMention.push_back(path.apiType() == MFn::kNurbsCurve &&
                                   seen.insert(path.fullPathName().asChar()).second);
        }
    }
    MPointArray cvs;
    double checksum = 0.0;
    std::size_t curves = 0;
    auto frame = [&] {
        for (const char* attribute : kFrameValues) {
            checksum += khost::getAttr(scene.node, attribute);
        }
        for (const char* attribute : kFrameColors) {
            checksum += khost::getAttr3(scene.node, attribute)[0];
        }
        fetchSelection(tracked);
        khost::replayHostDraw(
            0, [&](MHWRender::MUIDrawManager& draw, const MHWRender::MFrameContext& context) {
                // Preparation: camera, view, and the walk's queries.
                const MMatrix camera = context.getCurrentCameraPath().inclusiveMatrix();
                checksum += camera(3, 0);
                const MMatrix viewProjection = context.getMatrix(MHWRender::MFrameContext::kViewProjMtx);
                int x = 0, y = 0, width = 0, height = 0;
                context.getViewportDimensions(x, y, width, height);
                checksum += viewProjection(0, 0) + width;
                MDagPath path;
                MObject component;
                std::size_t index = 0;
                for (MItSelectionList item(tracked, MFn::kInvalid); !item.isDone(); item.next(), ++index) {
                    item.getDagPath(path, component);
                    path.extendToShape();
                    if (path.apiType() != MFn::kNurbsCurve) {
                        continue;
                    }
                    const MString name = path.fullPathName();
                    checksum += name.length();
                    if (index >= firstMention.size() || !firstMention[index]) {
                        continue;
                    }
                    ++curves;
                    MFnNurbsCurve curve(path);
                    curve.getCVs(cvs, MSpace::kWorld);
                    checksum += cvs.length();
                    checksum += static_cast<double>(M3dView::displayStatus(path));
                    if (!component.isNull()) {
                        MFnSingleIndexedComponent cvComponent(component);
                        checksum += static_cast<double>(cvComponent.componentType());
                        const bool weighted = cvComponent.hasWeights();
                        const int elements = cvComponent.elementCount();
                        for (int k = 0; k < elements; ++k) {
                            checksum += cvComponent.element(k);
                            if (weighted) {
                                checksum += cvComponent.weight(k).influence();
                            }
                        }
                    }
                }
                // Drawing: the calls the plug-in made, with its arrays.
                for (const khost::DrawCall& call : recorded.calls) {
                    replayCall(draw, call);
                }
            });
    };
    frame();  // sizes the replay's call storage
    if (khost::replayedDrawCalls().size() != recorded.calls.size() || curves != scene.curves.size()) {
        state.SkipWithError("the replay does not make the frame's host calls");
        return;
    }

    khost::resetCounters();
    const AllocationCount before = allocationCount();
    for (auto _ : state) {
        frame();
    }
    const AllocationCount after = allocationCount();
    benchmark::DoNotOptimize(checksum);

    using benchmark::Counter;
    const auto n = static_cast<double>(scene.cvsPerView);
    state.SetLabel("replays " + c.replays);
    state.counters["cvs"] = Counter(n);
    state.counters["per_cv"] = Counter(n, Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["allocs"] =
        Counter(static_cast<double>(after.allocations - before.allocations), Counter::kAvgIterations);
    state.counters["allocs_host"] = state.counters["allocs"];
    state.counters["getCVs"] =
        Counter(static_cast<double>(khost::counters().getCVs), Counter::kAvgIterations);
}

void hostDraw(benchmark::State& state, int divisions) {
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        state.SkipWithError(("cannot load the plug-in: " + error).c_str());
        return;
    }
    // The scene and settings of curve_steady/div:D.
    const BuiltScene& scene = sceneCache().use("hilited:1000", [] { return buildHilitedGuides(1000, 10); });
    OverlaySettings settings;
    settings.showCurve = true;
    settings.curveDivisions = divisions;
    error = applySettings(scene, settings);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    khost::drawFrame();
    khost::drawFrame();
    error = checkDrawn(scene);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const RecordedDraw recorded{khost::drawCalls(0, scene.node)};
    std::size_t lineVertices = 0;
    for (const khost::DrawCall& call : recorded.calls) {
        if (call.kind == khost::DrawCall::Kind::Mesh && call.primitive == MHWRender::MUIDrawManager::kLines) {
            lineVertices += call.points.length();
        }
    }
    if (lineVertices == 0) {
        state.SkipWithError("the frame drew no curve lines");
        return;
    }
    auto frame = [&] {
        khost::replayHostDraw(0, [&](MHWRender::MUIDrawManager& draw, const MHWRender::MFrameContext&) {
            for (const khost::DrawCall& call : recorded.calls) {
                replayCall(draw, call);
            }
        });
    };
    frame();  // sizes the replay's call storage
    const AllocationCount before = allocationCount();
    for (auto _ : state) {
        frame();
    }
    const AllocationCount after = allocationCount();
    using benchmark::Counter;
    state.SetLabel("draw calls of curve_steady/div:" + std::to_string(divisions));
    state.counters["line_vertices"] = Counter(static_cast<double>(lineVertices));
    state.counters["allocs"] =
        Counter(static_cast<double>(after.allocations - before.allocations), Counter::kAvgIterations);
}

const bool registered = [] {
    const std::vector<ReplayCase> cases = {
        {"host_only/rig", "rig/curves:300/cvs:20", "rig",
         [] {
             return buildRig(300, 20, {2, 9, 16});
         }},
        {"host_only/groom", "groom/curves:10000", "hilited:10000",
         [] { return buildHilitedGuides(10000, 10); }},
        // Last: the largest scene, so no replay above runs after it was built.
        {"host_only/scaling", "scaling/curves:100000", "hilited:100000",
         [] { return buildHilitedGuides(100000, 10); }},
    };
    for (const ReplayCase& c : cases) {
        benchmark::RegisterBenchmark(c.name.c_str(), hostOnly, c)->Unit(benchmark::kMicrosecond);
    }
    for (int divisions : {5, 64}) {
        benchmark::RegisterBenchmark(("host_draw/curve_steady/div:" + std::to_string(divisions)).c_str(),
                                     hostDraw, divisions)
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace knotlens_bench
