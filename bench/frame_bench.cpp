// Per-frame cost of the overlay: real viewport refreshes through the embedded
// host with the built module loaded as the host loads it. Each benchmark
// times whole frames (prepareForDraw and addUIDrawables of the draw manager
// node in every view) on a scene built once, outside the timed loop. A frame
// runs as khost::prepareFrame() then khost::drawPreparedFrame(), each half
// clocked on its own as well.
//
// Counters, all per frame:
//   prepare_us  time in prepareFrame (prepareForDraw in every view), microseconds
//   draw_us     time in drawPreparedFrame (addUIDrawables), microseconds
//   cvs      CV points drawn (summed over views): the N of the floor to compare with
//   per_cv   time per drawn CV
//   getCVs   host getCVs calls
//   evals    host getPointAtParam calls (0 while the curve cache hits)
//   rays     host ray tests (anyIntersection)
//   hidden   CV points drawn fully transparent by the occluder
//   allocs   allocations in a timed frame (plug-in, host and runtime together)
//   allocs_plugin, allocs_host
//            the allocations of one more steady frame, charged to the
//            plug-in module or the host library by their call stacks
//            (left out, with the probe that checks them, when the
//            environment sets KNOTLENS_BENCH_NO_ATTRIBUTION, so that a
//            profiler samples only the timed frames: the attribution walks
//            call stacks and costs far more than the frame itself)
// The floor benchmarks (floor/n:N) do the least any overlay must do for N
// CVs; tools/bench_table.py quotes every scene as a ratio to the floor of the
// same N from the same run. floor_comparison_sort/n:N is the older floor
// (copies in input order, std::sort of the distances), kept for reference.
// hull_writes/curves:C writes what the hull adds to a frame of C guide
// curves: two points and two colours per hull segment into one array pair
// per curve, storage kept.
#include <benchmark/benchmark.h>
#include <khost/harness.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "floor.h"
#include "scenes.h"

namespace knotlens_bench {
namespace {

struct FrameCase {
    std::string name;
    std::string sceneKey;  // benchmarks with the same key share one built scene
    std::function<BuiltScene()> build;
    std::size_t cvs = 0;  // CV points drawn per frame over all views
    OverlaySettings settings;
    bool moveEveryFrame = false;  // cold frames: every curve's CVs change before each frame
};

void skip(benchmark::State& state, const std::string& why) {
    state.SkipWithError(why.c_str());
}

// Empty when the counting allocator sees the plug-in module's allocations
// (making a node allocates the plug-in's node object), else why not. Checked
// once per process.
const std::string& pluginAllocationsCounted() {
    static const std::string verdict = [] {
        std::string error;
        if (!startAttribution(KNOTLENS_MODULE_PATH, &error)) {
            return error;
        }
        // In a scene of its own: deleting a node drops the selection callbacks.
        khost::ConsoleCapture quiet;
        sceneCache().invalidate();
        khost::newScene();
        const std::string node = khost::createNode(kNodeType, "allocationProbe", &error);
        const AttributedCount seen = stopAttribution();
        if (node.empty()) {
            return "cannot make a probe node: " + error;
        }
        khost::deleteNode(node);
        khost::newScene();
        if (seen.plugin == 0) {
            return std::string("the counting allocator sees no allocation of the plug-in module");
        }
        return std::string();
    }();
    return verdict;
}

// Whether the allocation attribution (and its probe) is left out of the run.
bool attributionOff() {
    static const bool off = std::getenv("KNOTLENS_BENCH_NO_ATTRIBUTION") != nullptr;
    return off;
}

void frameBenchmark(benchmark::State& state, const FrameCase& c) {
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        skip(state, "cannot load the plug-in: " + error);
        return;
    }
    if (!attributionOff() && !pluginAllocationsCounted().empty()) {
        skip(state, pluginAllocationsCounted());
        return;
    }
    const BuiltScene& scene = sceneCache().use(c.sceneKey, c.build);
    error = applySettings(scene, c.settings);
    if (!error.empty()) {
        skip(state, error);
        return;
    }
    // Two untimed frames: the first makes the override and the record and
    // fills the caches, the second is the first steady (or cold) frame.
    int phase = 0;
    for (int warm = 0; warm < 2; ++warm) {
        if (c.moveEveryFrame) {
            phase ^= 1;
            moveCurves(scene, phase);
        }
        khost::drawFrame();
    }
    error = checkDrawn(scene);
    if (error.empty() && scene.cvsPerView * static_cast<std::size_t>(scene.views) != c.cvs) {
        error = "the scene draws " +
                std::to_string(scene.cvsPerView * static_cast<std::size_t>(scene.views)) +
                " CVs per frame, the benchmark claims " + std::to_string(c.cvs);
    }
    if (!error.empty()) {
        skip(state, error);
        return;
    }

    khost::resetCounters();
    using Clock = std::chrono::steady_clock;
    Clock::duration prepareTime{};
    Clock::duration drawTime{};
    uint64_t untimedAllocations = 0;
    const AllocationCount before = allocationCount();
    for (auto _ : state) {
        if (c.moveEveryFrame) {
            state.PauseTiming();
            const uint64_t pausedAt = allocationCount().allocations;
            phase ^= 1;
            moveCurves(scene, phase);
            untimedAllocations += allocationCount().allocations - pausedAt;
            state.ResumeTiming();
        }
        const Clock::time_point start = Clock::now();
        khost::prepareFrame();
        const Clock::time_point prepared = Clock::now();
        khost::drawPreparedFrame();
        drawTime += Clock::now() - prepared;
        prepareTime += prepared - start;
    }
    const uint64_t frameAllocations = allocationCount().allocations - before.allocations - untimedAllocations;

    // One more frame of the same kind, its allocations charged to modules.
    AttributedCount attributed;
    if (!attributionOff()) {
        if (c.moveEveryFrame) {
            phase ^= 1;
            moveCurves(scene, phase);
        }
        if (!startAttribution(KNOTLENS_MODULE_PATH, &error)) {
            skip(state, error);
            return;
        }
        khost::drawFrame();
        attributed = stopAttribution();
    }

    const khost::Counters& host = khost::counters();
    using benchmark::Counter;
    const auto n = static_cast<double>(c.cvs);
    state.counters["cvs"] = Counter(n);
    state.counters["per_cv"] = Counter(n, Counter::kIsIterationInvariantRate | Counter::kInvert);
    const auto micros = [](Clock::duration d) {
        return std::chrono::duration<double, std::micro>(d).count();
    };
    state.counters["prepare_us"] = Counter(micros(prepareTime), Counter::kAvgIterations);
    state.counters["draw_us"] = Counter(micros(drawTime), Counter::kAvgIterations);
    state.counters["getCVs"] = Counter(static_cast<double>(host.getCVs), Counter::kAvgIterations);
    state.counters["evals"] = Counter(static_cast<double>(host.getPointAtParam), Counter::kAvgIterations);
    state.counters["allocs"] = Counter(static_cast<double>(frameAllocations), Counter::kAvgIterations);
    if (!attributionOff()) {
        state.counters["allocs_plugin"] = Counter(static_cast<double>(attributed.plugin));
        state.counters["allocs_host"] = Counter(static_cast<double>(attributed.host));
    }
    if (c.settings.occlusion) {
        state.counters["rays"] = Counter(static_cast<double>(host.anyIntersection), Counter::kAvgIterations);
        state.counters["hidden"] =
            Counter(static_cast<double>(summarizeDrawn(0, scene.node).transparentPoints));
    }
}

void floorBenchmark(benchmark::State& state, std::size_t n, void (*run)(const FloorInput&, FloorOutput&)) {
    const FloorInput in = makeFloorInput(n);
    FloorOutput out;
    run(in, out);  // sizes the outputs, as a steady overlay keeps its storage
    const AllocationCount before = allocationCount();
    for (auto _ : state) {
        run(in, out);
        benchmark::DoNotOptimize(out.points.length());
        benchmark::ClobberMemory();
    }
    const AllocationCount after = allocationCount();
    using benchmark::Counter;
    state.counters["cvs"] = Counter(static_cast<double>(n));
    state.counters["per_cv"] =
        Counter(static_cast<double>(n), Counter::kIsIterationInvariantRate | Counter::kInvert);
    state.counters["allocs"] =
        Counter(static_cast<double>(after.allocations - before.allocations), Counter::kAvgIterations);
}

// The hull's own output for `curves` guide curves of ten CVs: per curve, nine
// segments of two points and two colours written into the curve's arrays.
void hullWritesBenchmark(benchmark::State& state, std::size_t curves) {
    const FloorInput in = makeFloorInput(curves * 10);
    std::vector<MPointArray> points(in.curves.size());
    std::vector<MColorArray> colors(in.curves.size());
    const MColor hull(0.5f, 0.0f, 0.5f, 1.0f);
    for (auto _ : state) {
        for (std::size_t k = 0; k < in.curves.size(); ++k) {
            const MPointArray& cvs = in.curves[k];
            const unsigned int segments = cvs.length() - 1;
            points[k].setLength(2 * segments);
            colors[k].setLength(2 * segments);
            for (unsigned int i = 0; i < segments; ++i) {
                points[k][2 * i] = cvs[i];
                points[k][2 * i + 1] = cvs[i + 1];
                colors[k][2 * i] = hull * static_cast<float>(i);
                colors[k][2 * i + 1] = hull * static_cast<float>(i + 1);
            }
        }
        benchmark::DoNotOptimize(points.data());
        benchmark::ClobberMemory();
    }
    state.counters["cvs"] = benchmark::Counter(static_cast<double>(curves * 10));
}

std::vector<FrameCase> frameCases() {
    std::vector<FrameCase> cases;
    auto hilited = [](std::size_t curves) {
        return FrameCase{"",
                         "hilited:" + std::to_string(curves),
                         [curves] { return buildHilitedGuides(curves, 10); },
                         curves * 10,
                         {},
                         false};
    };
    auto named = [](FrameCase c, const std::string& name) {
        c.name = name;
        return c;
    };

    // Rig controls: a few hundred curves in component mode, three CVs picked on each.
    cases.push_back({"rig/curves:300/cvs:20",
                     "rig",
                     [] {
                         return buildRig(300, 20, {2, 9, 16});
                     },
                     300 * 20,
                     {},
                     false});

    // 10^4 CVs: the small end of the scaling series, the hull, the curve cache
    // (steady versus cold), and occlusion.
    cases.push_back(named(hilited(1000), "scaling/curves:1000"));
    FrameCase hull = named(hilited(1000), "hull/curves:1000");
    hull.settings.showHull = true;
    cases.push_back(hull);
    for (int divisions : {5, 64}) {
        FrameCase steady = named(hilited(1000), "curve_steady/div:" + std::to_string(divisions));
        steady.settings.showCurve = true;
        steady.settings.curveDivisions = divisions;
        cases.push_back(steady);
        FrameCase cold = steady;
        cold.name = "curve_cold/div:" + std::to_string(divisions);
        cold.moveEveryFrame = true;
        cases.push_back(cold);
    }
    for (std::size_t triangles : {std::size_t{1000}, std::size_t{100000}}) {
        const std::string tris = std::to_string(triangles);
        FrameCase off{"occlusion_off/tris:" + tris,
                      "occluded:" + tris,
                      [triangles] { return buildOccluded(1000, 10, triangles); },
                      1000 * 10,
                      {},
                      false};
        cases.push_back(off);
        FrameCase on = off;
        on.name = "occlusion/tris:" + tris;
        on.settings.occlusion = true;
        cases.push_back(on);
    }
    cases.push_back(
        {"soft/curves:1000", "soft", [] { return buildSoftSelection(1000, 10, 6); }, 1000 * 10, {}, false});

    // 10^5 CVs: the groom (also the middle of the scaling series) and two views.
    cases.push_back(named(hilited(10000), "scaling/curves:10000"));
    cases.push_back(named(hilited(10000), "groom/curves:10000"));
    FrameCase lazy = named(hilited(10000), "groom_lazy/curves:10000");
    lazy.settings.lazyUpdate = true;
    cases.push_back(lazy);
    cases.push_back({"two_views/curves:10000",
                     "two_views",
                     [] { return buildTwoViews(10000, 10); },
                     2 * 10000 * 10,
                     {},
                     false});

    // One fully selected curve, short and long.
    for (int cvs : {200, 20000}) {
        cases.push_back({"dense/cvs:" + std::to_string(cvs),
                         "dense:" + std::to_string(cvs),
                         [cvs] { return buildDenseSelected(cvs); },
                         static_cast<std::size_t>(cvs),
                         {},
                         false});
    }

    // 10^6 CVs last: the largest scene, built once.
    cases.push_back(named(hilited(100000), "scaling/curves:100000"));
    return cases;
}

const bool registered = [] {
    const std::vector<FrameCase> cases = frameCases();
    std::set<std::size_t> floors;
    for (const FrameCase& c : cases) {
        floors.insert(c.cvs);
    }
    for (std::size_t n : floors) {
        benchmark::RegisterBenchmark(("floor/n:" + std::to_string(n)).c_str(), floorBenchmark, n, runFloor)
            ->Unit(benchmark::kMicrosecond);
    }
    for (std::size_t n : floors) {
        benchmark::RegisterBenchmark(("floor_comparison_sort/n:" + std::to_string(n)).c_str(), floorBenchmark,
                                     n, runFloorComparisonSort)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("hull_writes/curves:1000", hullWritesBenchmark, std::size_t{1000})
        ->Unit(benchmark::kMicrosecond);
    for (const FrameCase& c : cases) {
        benchmark::RegisterBenchmark(c.name.c_str(), frameBenchmark, c)->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

}  // namespace
}  // namespace knotlens_bench
