#pragma once
// Ray/triangle-mesh intersection kernel of the embedded host: the single
// triangle test, a brute-force reference over a triangle list, and a uniform
// grid that answers the same queries without visiting every triangle. Plain
// C++17, independent of the host API headers; MFnMesh is built on top of it.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace khost {
namespace geom {

using Vec3f = std::array<float, 3>;

struct Triangle {
    Vec3f a, b, c;
};

struct RayQuery {
    Vec3f source;
    Vec3f direction;  // not normalised: points are source + t * direction
    float maxParam;   // hits count for 0 <= t <= maxParam (also -maxParam <= t <= 0 with bothDirections)
    bool bothDirections;
    float tolerance;  // widens each triangle's edges by this much in barycentric terms
};

// Where a ray meets a triangle: the index of the triangle in the list the
// query ran against, the ray parameter, and the barycentric weights of the
// triangle's second (b) and third (c) vertex; the weight of a is
// 1 - bary1 - bary2.
struct RayHit {
    std::size_t triangle = 0;
    float t = 0.0f;
    float bary1 = 0.0f;
    float bary2 = 0.0f;
};

// Ray/triangle test (Moller-Trumbore, evaluated in double precision).
// A hit needs barycentric weights u, v >= -tolerance with u + v <= 1 +
// tolerance, and t within the query's range. It is refused when:
// - any query value or vertex is not finite;
// - the triangle has (numerically) zero area;
// - the ray is parallel to the triangle's plane to within ~1e-7 rad
//   (this includes a zero direction);
// - the computed hit point lies outside the triangle's bounding box widened
//   by the tolerance and a small relative slack, which only happens for
//   numerically meaningless grazing hits; this guarantees that every hit
//   lies where the grid looks for it.
bool intersectTriangle(const RayQuery& q, const Triangle& tri, float* tHit = nullptr);
// Same test, reporting t and the barycentric weights (hit may be null).
bool intersectTriangleHit(const RayQuery& q, const Triangle& tri, RayHit* hit);

// Reports the hit found first (lowest triangle index); hit may be null.
bool anyHitBruteForce(const std::vector<Triangle>& tris, const RayQuery& q, RayHit* hit = nullptr);
// The hit with the smallest |t|; among equal |t| the lowest triangle index.
bool closestHitBruteForce(const std::vector<Triangle>& tris, const RayQuery& q, RayHit* hit);

namespace detail {
struct Ray;
struct Mailbox;
}  // namespace detail

// Uniform grid over world-space triangles, stored as per-cell triangle index
// lists in one contiguous array (CSR). Queries walk only the cells the ray
// segment crosses, in ray order, test each triangle at most once (a
// per-thread mailbox), and give exactly the answers of the brute-force
// functions above. Queries on one grid may run concurrently from several
// threads; build() must not run concurrently with anything else.
class UniformGrid {
public:
    // Largest query tolerance the grid's cells account for; queries with a
    // larger tolerance are answered by brute force over the stored triangles.
    static constexpr float kMaxGridTolerance = 1e-3f;

    // Replaces the grid's content. Resolution is chosen from the triangle
    // count and the bounding box (about four cells per triangle, at most 1024
    // cells per axis and a bounded number of cell entries). The grid keeps
    // its own copy of the triangles a ray can hit (finite, non-zero area);
    // hits report the triangle's index in `tris`.
    void build(const std::vector<Triangle>& tris);

    // Reports the hit that ended the search (any hit, not necessarily the
    // one anyHitBruteForce reports); hit may be null.
    bool anyHit(const RayQuery& q, RayHit* hit = nullptr) const;
    // Same result as closestHitBruteForce, including the tie rule.
    bool closestHit(const RayQuery& q, RayHit* hit) const;

    // Triangles passed to build(); cells (0 when no triangle can be hit);
    // total length of the per-cell index lists.
    std::size_t triangleCount() const { return inputCount_; }
    std::size_t cellCount() const { return cellStart_.empty() ? 0 : cellStart_.size() - 1; }
    std::size_t entryCount() const { return cellTris_.size(); }
    std::array<int, 3> resolution() const { return res_; }
    // Box covered by the cells (0..0 when empty).
    std::array<double, 3> boundsMin() const { return lo_; }
    std::array<double, 3> boundsMax() const { return hi_; }

private:
    template <class Visit>
    void walk(const std::array<double, 3>& s, const std::array<double, 3>& d, double tBegin, double tEnd,
              Visit&& visit) const;
    void chooseResolution(const std::array<double, 3>& ext, std::size_t triangles);
    int cellOf(double x, std::size_t axis) const;
    bool needsBruteForce(const RayQuery& q) const;
    // Converts the query; false when it cannot hit any stored triangle.
    bool accepts(const RayQuery& q, detail::Ray& r) const;
    // Calls test(i) for each triangle of `cell` not yet tested in this
    // query; true as soon as a call returns true.
    template <class Test>
    bool testCell(std::size_t cell, detail::Mailbox& box, Test&& test) const;
    bool occupied(std::size_t cell) const { return (occupied_[cell / 64] >> (cell % 64)) & 1u; }

    std::size_t inputCount_ = 0;
    std::vector<Triangle> tris_;            // the triangles a ray can hit, in cell order
    std::vector<std::uint32_t> original_;   // index in the build() list of each of tris_
    std::vector<std::uint32_t> cellStart_;  // cellCount + 1 offsets into cellTris_
    std::vector<std::uint32_t> cellTris_;   // indices into tris_, grouped by cell
    std::vector<std::uint64_t> occupied_;   // one bit per cell: has entries (skips empty cells cheaply)
    std::array<int, 3> res_{{0, 0, 0}};
    std::array<double, 3> lo_{{0.0, 0.0, 0.0}};
    std::array<double, 3> hi_{{0.0, 0.0, 0.0}};
    std::array<double, 3> cell_{{0.0, 0.0, 0.0}};
    std::array<double, 3> invCell_{{0.0, 0.0, 0.0}};
    double scale_ = 0.0;  // magnitude of the grid's coordinates
};

// ---------------------------------------------------------------- internals
// What the brute-force queries (ray_triangle.cpp) and the grid
// (uniform_grid.cpp) share.
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
