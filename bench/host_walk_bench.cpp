// The host's share of a frame, call by call: the per-curve host queries a
// frame of the overlay makes while it walks the tracked selection, timed on
// their own on the groom scene (10,000 hilited guide curves of 10 CVs).
// Each step adds one query to the previous step's walk, so the difference
// between two steps is the cost of the query it adds. The counter per_curve
// is the time of one walk divided by the curves walked.
//
//   host_walk/step:0  fetching the selection: rich selection, active list, hilite list, merge
//   host_walk/step:1  + iterating the merged list (MItSelectionList)
//   host_walk/step:2  + getDagPath, extendToShape and apiType of each item
//   host_walk/step:3  + fullPathName
//   host_walk/step:4  + MFnNurbsCurve::getCVs in world space
//   host_walk/step:5  + M3dView::displayStatus
#include <benchmark/benchmark.h>
#include <khost/harness.h>
#include <maya/M3dView.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MGlobal.h>
#include <maya/MItSelectionList.h>
#include <maya/MObject.h>
#include <maya/MPointArray.h>
#include <maya/MRichSelection.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <cstddef>
#include <string>

#include "scenes.h"
#include "selection_fetch.h"

namespace knotlens_bench {
namespace {

constexpr std::size_t kCurves = 10000;

void hostWalk(benchmark::State& state) {
    const auto step = static_cast<int>(state.range(0));
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        state.SkipWithError(("cannot load the plug-in: " + error).c_str());
        return;
    }
    const BuiltScene& scene = sceneCache().use("hilited:" + std::to_string(kCurves),
                                               [] { return buildHilitedGuides(kCurves, 10); });
    (void)scene;

    MPointArray cvs;
    std::size_t walked = 0;
    std::size_t checksum = 0;
    for (auto _ : state) {
        const MSelectionList list = fetchTrackedSelection();
        if (step < 1) {
            checksum += list.length();
            continue;
        }
        MDagPath path;
        MObject component;
        for (MItSelectionList item(list, MFn::kInvalid); !item.isDone(); item.next()) {
            ++walked;
            if (step < 2) {
                continue;
            }
            item.getDagPath(path, component);
            path.extendToShape();
            if (path.apiType() != MFn::kNurbsCurve) {
                continue;
            }
            if (step >= 3) {
                checksum += path.fullPathName().length();
            }
            if (step >= 4) {
                MFnNurbsCurve curve(path);
                curve.getCVs(cvs, MSpace::kWorld);
                checksum += cvs.length();
            }
            if (step >= 5) {
                checksum += static_cast<std::size_t>(M3dView::displayStatus(path));
            }
        }
    }
    benchmark::DoNotOptimize(checksum);
    if (walked == 0 && step >= 1) {
        state.SkipWithError("the walk met no curve");
        return;
    }
    using benchmark::Counter;
    state.counters["per_curve"] =
        Counter(static_cast<double>(kCurves), Counter::kIsIterationInvariantRate | Counter::kInvert);
}

BENCHMARK(hostWalk)->Name("host_walk")->ArgName("step")->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace knotlens_bench
