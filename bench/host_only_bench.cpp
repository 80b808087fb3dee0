// The embedded host's side of a frame on its own: host_only/groom,
// host_only/rig and host_only/scaling replay (host_replay.h), on the groom,
// rig and scaling/curves:100000 scenes, every host call a frame of the
// overlay makes, with no plug-in code running. The plug-in's share of a
// frame is the frame minus its replay, from the same run.
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
#include <maya/MFrameContext.h>
#include <maya/MUIDrawManager.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "host_replay.h"
#include "scenes.h"

namespace knotlens_bench {
namespace {

void hostOnly(benchmark::State& state, const ReplayScene& c) {
    HostReplay replay;
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        state.SkipWithError(("cannot load the plug-in: " + error).c_str());
        return;
    }
    const BuiltScene& scene = sceneCache().use(c.sceneKey, c.build);
    error = replay.prepare(scene);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }

    khost::resetCounters();
    const AllocationCount before = allocationCount();
    for (auto _ : state) {
        replay.run();
    }
    const AllocationCount after = allocationCount();
    benchmark::DoNotOptimize(replay.checksum());

    using benchmark::Counter;
    const auto n = static_cast<double>(scene.cvsPerView);
    state.SetLabel("replays " + c.frame);
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
    const std::vector<khost::DrawCall> recorded = khost::drawCalls(0, scene.node);
    std::size_t lineVertices = 0;
    for (const khost::DrawCall& call : recorded) {
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
            for (const khost::DrawCall& call : recorded) {
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
    for (const ReplayScene& c : replayScenes()) {
        benchmark::RegisterBenchmark(("host_only/" + c.name).c_str(), hostOnly, c)
            ->Unit(benchmark::kMicrosecond);
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
