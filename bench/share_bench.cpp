// A frame, its host-only replay and the floor of the same N, interleaved:
// share/groom, share/rig and share/scaling each run, on every iteration, one
// real frame of the scene (as groom/curves:10000, rig/curves:300/cvs:20 and
// scaling/curves:100000 do), one host-only replay of it (host_replay.h) and
// one floor run (floor.h), in an order that rotates from one iteration to
// the next. On a shared machine the speed of the whole machine drifts over
// seconds; the three figures of one iteration come from the same few
// milliseconds, so their ratios do not carry that drift, while benchmarks run
// one after the other (or in processes of their own) do.
//
// Counters, medians over the iterations:
//   cvs             CV points drawn per frame (the N of the floor)
//   frame_us, host_us, floor_us
//                   each piece's CPU time (std::clock), microseconds
//   plugin_us       frame minus replay
//   plugin_x_floor  (frame - replay) / floor, iteration by iteration
//   frame_x_floor, host_x_floor
//                   frame / floor and replay / floor, iteration by iteration
#include <benchmark/benchmark.h>
#include <khost/harness.h>

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "floor.h"
#include "host_replay.h"
#include "scenes.h"

namespace knotlens_bench {
namespace {

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1) {
        return *middle;
    }
    return (*middle + *std::max_element(values.begin(), middle)) / 2.0;
}

void shareBenchmark(benchmark::State& state, const ReplayScene& c) {
    std::string error;
    if (!ensurePluginLoaded(KNOTLENS_MODULE_PATH, &error)) {
        state.SkipWithError(("cannot load the plug-in: " + error).c_str());
        return;
    }
    const BuiltScene& scene = sceneCache().use(c.sceneKey, c.build);
    HostReplay replay;
    error = replay.prepare(scene);
    if (!error.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::size_t n = scene.cvsPerView;
    const FloorInput floorInput = makeFloorInput(n);
    FloorOutput floorOutput;
    runFloor(floorInput, floorOutput);  // sizes the outputs
    khost::drawFrame();                 // the frame's steady state, as the frame benchmark starts it

    const std::function<void()> pieces[] = {
        [] {
            khost::prepareFrame();
            khost::drawPreparedFrame();
        },
        [&replay] { replay.run(); },
        [&floorInput, &floorOutput] {
            runFloor(floorInput, floorOutput);
            benchmark::DoNotOptimize(floorOutput.points.length());
            benchmark::ClobberMemory();
        },
    };
    constexpr std::size_t kPieces = sizeof pieces / sizeof pieces[0];
    std::vector<double> seconds[kPieces];
    std::size_t iteration = 0;
    for (auto _ : state) {
        for (std::size_t k = 0; k < kPieces; ++k) {
            const std::size_t piece = (iteration + k) % kPieces;
            const std::clock_t start = std::clock();
            pieces[piece]();
            seconds[piece].push_back(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
        }
        ++iteration;
    }
    benchmark::DoNotOptimize(replay.checksum());

    const std::vector<double>& frame = seconds[0];
    const std::vector<double>& host = seconds[1];
    const std::vector<double>& floor = seconds[2];
    std::vector<double> plugin, pluginRatio, frameRatio, hostRatio;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        plugin.push_back(frame[i] - host[i]);
        pluginRatio.push_back((frame[i] - host[i]) / floor[i]);
        frameRatio.push_back(frame[i] / floor[i]);
        hostRatio.push_back(host[i] / floor[i]);
    }
    using benchmark::Counter;
    state.SetLabel("interleaves " + c.frame + ", its replay and floor/n:" + std::to_string(n));
    state.counters["cvs"] = Counter(static_cast<double>(n));
    state.counters["frame_us"] = Counter(median(frame) * 1e6);
    state.counters["host_us"] = Counter(median(host) * 1e6);
    state.counters["floor_us"] = Counter(median(floor) * 1e6);
    state.counters["plugin_us"] = Counter(median(plugin) * 1e6);
    state.counters["plugin_x_floor"] = Counter(median(pluginRatio));
    state.counters["frame_x_floor"] = Counter(median(frameRatio));
    state.counters["host_x_floor"] = Counter(median(hostRatio));
}

const bool registered = [] {
    for (const ReplayScene& c : replayScenes()) {
        // Enough iterations for medians, whatever --benchmark_min_time says.
        benchmark::RegisterBenchmark(("share/" + c.name).c_str(), shareBenchmark, c)
            ->Unit(benchmark::kMicrosecond)
            ->MinTime(c.name == "scaling" ? 6.0 : 2.0);
    }
    return true;
}();

}  // namespace
}  // namespace knotlens_bench
