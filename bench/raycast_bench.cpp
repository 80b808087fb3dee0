// Ray queries against a closed mesh: the host's uniform grid against the
// brute-force loop it replaces, with rays shaped like the overlay's
// occlusion rays (from a camera outside the mesh to points around it, with
// maxParam 1, so each ray is about as long as the scene).
#include "raycast.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

using khost::geom::RayQuery;
using khost::geom::Triangle;
using khost::geom::Vec3f;

// UV sphere of radius 1 with 2 * rings * segments triangles.
std::vector<Triangle> sphere(int rings, int segments) {
    const double pi = std::acos(-1.0);
    auto vertex = [&](int r, int s) {
        const double theta = pi * r / rings;
        const double phi = 2.0 * pi * s / segments;
        return Vec3f{{static_cast<float>(std::sin(theta) * std::cos(phi)),
                      static_cast<float>(std::sin(theta) * std::sin(phi)),
                      static_cast<float>(std::cos(theta))}};
    };
    std::vector<Triangle> tris;
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            tris.push_back(Triangle{vertex(r, s), vertex(r + 1, s), vertex(r + 1, s + 1)});
            tris.push_back(Triangle{vertex(r, s), vertex(r + 1, s + 1), vertex(r, s + 1)});
        }
    }
    return tris;
}

std::vector<Triangle> meshFor(int64_t triangles) {
    return triangles <= 1000 ? sphere(20, 25) : sphere(200, 250);
}

// Sources on a sphere of radius 3, targets in the box [-1.2, 1.2]^3: about
// half of the rays end inside the mesh and hit it, the rest pass by or stop
// short.
std::vector<RayQuery> rays(std::size_t count) {
    std::mt19937 rng(2025);
    std::normal_distribution<float> gauss(0.0f, 1.0f);
    std::uniform_real_distribution<float> box(-1.2f, 1.2f);
    std::vector<RayQuery> out;
    out.reserve(count);
    while (out.size() < count) {
        Vec3f s{{gauss(rng), gauss(rng), gauss(rng)}};
        const float len = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
        if (len < 1e-3f) {
            continue;
        }
        for (float& x : s) {
            x *= 3.0f / len;
        }
        const Vec3f t{{box(rng), box(rng), box(rng)}};
        out.push_back(RayQuery{s, {{t[0] - s[0], t[1] - s[1], t[2] - s[2]}}, 1.0f, false, 1e-6f});
    }
    return out;
}

// Times `hitTest` (one ray in, hit or not out) over the query rays in turn
// and reports time per ray, the fraction of rays that hit and the mesh size.
template <class HitTest>
void timeRays(benchmark::State& state, std::size_t triangles, HitTest hitTest) {
    const std::vector<RayQuery> queries = rays(4096);
    std::size_t i = 0;
    std::size_t hits = 0;
    std::size_t asked = 0;
    for (auto _ : state) {
        const bool hit = hitTest(queries[i]);
        benchmark::DoNotOptimize(hit);
        hits += hit ? 1 : 0;
        ++asked;
        i = (i + 1) % queries.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["time_per_ray"] = benchmark::Counter(
        static_cast<double>(state.iterations()), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["hit_fraction"] =
        asked == 0 ? 0.0 : static_cast<double>(hits) / static_cast<double>(asked);
    state.counters["triangles"] = static_cast<double>(triangles);
}

void BM_GridAnyHit(benchmark::State& state) {
    const std::vector<Triangle> tris = meshFor(state.range(0));
    khost::geom::UniformGrid grid;
    grid.build(tris);
    timeRays(state, tris.size(), [&grid](const RayQuery& ray) { return grid.anyHit(ray); });
    state.counters["cells"] = static_cast<double>(grid.cellCount());
    state.counters["entries"] = static_cast<double>(grid.entryCount());
}
BENCHMARK(BM_GridAnyHit)->Arg(1000)->Arg(100000);

void BM_BruteForceAnyHit(benchmark::State& state) {
    const std::vector<Triangle> tris = meshFor(state.range(0));
    timeRays(state, tris.size(),
             [&tris](const RayQuery& ray) { return khost::geom::anyHitBruteForce(tris, ray); });
}
BENCHMARK(BM_BruteForceAnyHit)->Arg(1000)->Arg(100000);

void BM_GridClosestHit(benchmark::State& state) {
    const std::vector<Triangle> tris = meshFor(state.range(0));
    khost::geom::UniformGrid grid;
    grid.build(tris);
    khost::geom::RayHit hit;
    timeRays(state, tris.size(), [&grid, &hit](const RayQuery& ray) { return grid.closestHit(ray, &hit); });
}
BENCHMARK(BM_GridClosestHit)->Arg(1000)->Arg(100000);

void BM_GridBuild(benchmark::State& state) {
    const std::vector<Triangle> tris = meshFor(state.range(0));
    for (auto _ : state) {
        khost::geom::UniformGrid grid;
        grid.build(tris);
        benchmark::DoNotOptimize(grid.cellCount());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tris.size()));
}
BENCHMARK(BM_GridBuild)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
