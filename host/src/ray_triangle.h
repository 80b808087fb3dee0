#pragma once
// The ray-triangle test that the brute-force queries (ray_triangle.cpp) and
// the uniform grid (uniform_grid.cpp) share. Not installed.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raycast.h"

namespace khost {
namespace geom {
namespace detail {

using D3 = std::array<double, 3>;

inline D3 toD3(const Vec3f& v) {
    return D3{{v[0], v[1], v[2]}};
}
inline D3 sub(const D3& a, const D3& b) {
    return D3{{a[0] - b[0], a[1] - b[1], a[2] - b[2]}};
}
inline D3 cross(const D3& a, const D3& b) {
    return D3{{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}
inline double dot(const D3& a, const D3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// A query converted to double precision, checked for finiteness.
struct Ray {
    D3 s;
    D3 d;
    double dd;  // |d|^2
    double maxParam;
    double tol;
    bool both;
};

bool prepare(const RayQuery& q, Ray& r);

// Can any ray hit the triangle at all (finite, with area)?
bool usable(const Triangle& tri);

// Bounding box that must contain every hit point on the triangle for the
// given tolerance: the widened triangle (barycentric weights down to -tol)
// lies within the vertex box grown by 2 * tol * extent on each axis.
void widenedBox(const Triangle& tri, double tol, D3& lo, D3& hi);

struct CoreHit {
    double t;
    double u;
    double v;
};

// The hit test proper, for a usable triangle. It has one out-of-line
// definition, so every caller runs the same machine code and the grid and
// the brute-force loop cannot disagree in the last bit.
bool hitUsable(const Ray& r, const Triangle& tri, CoreHit& out);

inline bool hitCore(const Ray& r, const Triangle& tri, CoreHit& out) {
    return usable(tri) && hitUsable(r, tri, out);
}

inline void fillHit(RayHit* hit, std::size_t index, const CoreHit& h) {
    if (hit != nullptr) {
        hit->triangle = index;
        hit->t = static_cast<float>(h.t);
        hit->bary1 = static_cast<float>(h.u);
        hit->bary2 = static_cast<float>(h.v);
    }
}

// Per-thread "already tested in this query" stamps, indexed by triangle.
struct Mailbox {
    std::vector<std::uint32_t> stamps;
    std::uint32_t epoch = 0;
};

// The calling thread's mailbox, with a fresh epoch for a query over
// `triangleCount` triangles.
Mailbox& beginQuery(std::size_t triangleCount);

}  // namespace detail
}  // namespace geom
}  // namespace khost
