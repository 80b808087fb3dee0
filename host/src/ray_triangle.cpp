// Ray-triangle intersection: the hit test the grid shares and the
// brute-force queries over a triangle list.
#include <algorithm>
#include <cmath>
#include <limits>

#include "raycast.h"

#if defined(_MSC_VER)
#define KHOST_GEOM_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define KHOST_GEOM_NOINLINE __attribute__((noinline))
#else
#define KHOST_GEOM_NOINLINE
#endif

namespace khost {
namespace geom {
namespace detail {
namespace {

// A triangle whose squared sine between its edges is below this has zero
// area for the test.
constexpr double kDegenerateSin2 = 1e-24;
// A ray whose squared cosine with the triangle's normal is below this runs
// parallel to the triangle (about 3e-7 rad).
constexpr double kParallelCos2 = 1e-13;
// Relative slack (of the triangle's extent plus its distance from the
// origin) by which the bounding box that must contain the hit point is
// widened beyond the tolerance. Covers rounding of legitimate hits.
constexpr double kBoxSlack = 1e-7;

bool finiteTriangle(const Triangle& tri) {
    for (std::size_t k = 0; k < 3; ++k) {
        if (!std::isfinite(tri.a[k]) || !std::isfinite(tri.b[k]) || !std::isfinite(tri.c[k])) {
            return false;
        }
    }
    return true;
}

// Edges of a triangle as the ray test uses them.
struct Edges {
    D3 a;
    D3 e1;
    D3 e2;
};

Edges edges(const Triangle& tri) {
    Edges e;
    e.a = toD3(tri.a);
    e.e1 = sub(toD3(tri.b), e.a);
    e.e2 = sub(toD3(tri.c), e.a);
    return e;
}

// Squared length of the (unnormalised) normal.
double normal2(const Edges& e) {
    const D3 n = cross(e.e1, e.e2);
    return dot(n, n);
}

bool hasArea(const Edges& e) {
    return normal2(e) > kDegenerateSin2 * dot(e.e1, e.e1) * dot(e.e2, e.e2);
}

}  // namespace

bool prepare(const RayQuery& q, Ray& r) {
    for (std::size_t k = 0; k < 3; ++k) {
        if (!std::isfinite(q.source[k]) || !std::isfinite(q.direction[k])) {
            return false;
        }
        r.s[k] = q.source[k];
        r.d[k] = q.direction[k];
    }
    if (!std::isfinite(q.maxParam) || !std::isfinite(q.tolerance)) {
        return false;
    }
    r.dd = dot(r.d, r.d);
    r.maxParam = q.maxParam;
    r.tol = q.tolerance;
    r.both = q.bothDirections;
    return true;
}

bool usable(const Triangle& tri) {
    return finiteTriangle(tri) && hasArea(edges(tri));
}

void widenedBox(const Triangle& tri, double tol, D3& lo, D3& hi) {
    D3 ext{};
    double maxExt = 0.0;
    double maxAbs = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        lo[k] = std::min({tri.a[k], tri.b[k], tri.c[k]});
        hi[k] = std::max({tri.a[k], tri.b[k], tri.c[k]});
        ext[k] = hi[k] - lo[k];
        maxExt = std::max(maxExt, ext[k]);
        maxAbs = std::max({maxAbs, std::fabs(lo[k]), std::fabs(hi[k])});
    }
    const double slack = kBoxSlack * (maxExt + maxAbs);
    const double grow = 2.0 * std::max(tol, 0.0);
    for (std::size_t k = 0; k < 3; ++k) {
        const double w = grow * ext[k] + slack;
        lo[k] -= w;
        hi[k] += w;
    }
}

// The hit test proper, for a finite triangle with area. Kept out of line so
// that every caller runs the same machine code: a compiler that fuses
// multiply-adds differently per inlined copy could otherwise make the grid
// and the brute-force loop disagree in the last bit. The tests are ordered
// cheapest-rejection first; a (near) zero determinant only yields NaN or
// infinite weights, which fail the comparisons, before the parallel test
// refuses it explicitly.
KHOST_GEOM_NOINLINE bool hitUsable(const Ray& r, const Triangle& tri, CoreHit& out) {
    const Edges edge = edges(tri);
    const D3 pvec = cross(r.d, edge.e2);
    const double det = dot(edge.e1, pvec);
    const double inv = 1.0 / det;
    const D3 tvec = sub(r.s, edge.a);
    const double u = dot(tvec, pvec) * inv;
    const double lowBary = -r.tol;
    const double highBary = 1.0 + r.tol;
    // u + v <= 1 + tol with v >= -tol allows u up to 1 + 2 tol.
    if (!(u >= lowBary && u <= highBary + r.tol)) {
        return false;
    }
    const D3 qvec = cross(tvec, edge.e1);
    const double v = dot(r.d, qvec) * inv;
    if (!(v >= lowBary && u + v <= highBary)) {
        return false;
    }
    const double t = dot(edge.e2, qvec) * inv;
    const double lowT = r.both ? -r.maxParam : 0.0;
    if (!(t >= lowT && t <= r.maxParam)) {
        return false;
    }
    if (!(det * det > kParallelCos2 * r.dd * normal2(edge))) {
        return false;
    }
    D3 lo;
    D3 hi;
    widenedBox(tri, r.tol, lo, hi);
    for (std::size_t k = 0; k < 3; ++k) {
        const double p = r.s[k] + t * r.d[k];
        if (!(p >= lo[k] && p <= hi[k])) {
            return false;
        }
    }
    out = CoreHit{t, u, v};
    return true;
}

Mailbox& beginQuery(std::size_t triangleCount) {
    thread_local Mailbox box;
    if (box.stamps.size() < triangleCount) {
        box.stamps.resize(triangleCount, 0u);
    }
    if (++box.epoch == 0u) {
        std::fill(box.stamps.begin(), box.stamps.end(), 0u);
        box.epoch = 1u;
    }
    return box;
}

}  // namespace detail

using detail::CoreHit;
using detail::fillHit;
using detail::hitCore;
using detail::prepare;
using detail::Ray;

bool intersectTriangle(const RayQuery& q, const Triangle& tri, float* tHit) {
    RayHit hit;
    if (!intersectTriangleHit(q, tri, &hit)) {
        return false;
    }
    if (tHit != nullptr) {
        *tHit = hit.t;
    }
    return true;
}

bool intersectTriangleHit(const RayQuery& q, const Triangle& tri, RayHit* hit) {
    Ray r;
    CoreHit h;
    if (!prepare(q, r) || !hitCore(r, tri, h)) {
        return false;
    }
    fillHit(hit, 0, h);
    return true;
}

bool anyHitBruteForce(const std::vector<Triangle>& tris, const RayQuery& q, RayHit* hit) {
    Ray r;
    if (!prepare(q, r)) {
        return false;
    }
    CoreHit h;
    for (std::size_t i = 0; i < tris.size(); ++i) {
        if (hitCore(r, tris[i], h)) {
            fillHit(hit, i, h);
            return true;
        }
    }
    return false;
}

bool closestHitBruteForce(const std::vector<Triangle>& tris, const RayQuery& q, RayHit* hit) {
    Ray r;
    if (!prepare(q, r)) {
        return false;
    }
    bool found = false;
    CoreHit best{0.0, 0.0, 0.0};
    std::size_t bestIndex = 0;
    CoreHit h;
    for (std::size_t i = 0; i < tris.size(); ++i) {
        if (hitCore(r, tris[i], h) && (!found || std::fabs(h.t) < std::fabs(best.t))) {
            found = true;
            best = h;
            bestIndex = i;
        }
    }
    if (found) {
        fillHit(hit, bestIndex, best);
    }
    return found;
}

}  // namespace geom
}  // namespace khost
