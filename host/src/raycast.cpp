#include "raycast.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(_MSC_VER)
#define KHOST_GEOM_NOINLINE __declspec(noinline)
#elif defined(__GNUC__)
#define KHOST_GEOM_NOINLINE __attribute__((noinline))
#else
#define KHOST_GEOM_NOINLINE
#endif

namespace khost {
namespace geom {

namespace {

using D3 = std::array<double, 3>;

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
// Triangles are entered into every cell within this fraction of the grid's
// scale of their widened box, so that rounding in the cell walk (orders of
// magnitude smaller) cannot skip a cell that holds a hit.
constexpr double kBinMargin = 1e-9;
// Sources farther than this multiple of the grid's scale from the origin are
// answered by brute force: there, rounding of points along the ray would
// reach the size of the binning margin.
constexpr double kFarSource = 1e5;
// Resolution: cells per triangle, per-axis and total caps, and the largest
// number of cell entries allowed per triangle on average.
constexpr double kCellsPerTriangle = 4.0;
constexpr int kMaxAxisCells = 1024;
constexpr double kMaxCells = 4194304.0;  // 2^22
constexpr double kMaxEntriesPerTriangle = 32.0;
constexpr double kMinEntryBudget = 1048576.0;  // 2^20
constexpr double kMaxEntries = 2147483648.0;   // 2^31, offsets are 32-bit

D3 toD3(const Vec3f& v) {
    return D3{{v[0], v[1], v[2]}};
}
D3 sub(const D3& a, const D3& b) {
    return D3{{a[0] - b[0], a[1] - b[1], a[2] - b[2]}};
}
D3 cross(const D3& a, const D3& b) {
    return D3{{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]}};
}
double dot(const D3& a, const D3& b) {
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

// Can any ray hit the triangle at all?
bool usable(const Triangle& tri) {
    return finiteTriangle(tri) && hasArea(edges(tri));
}

// Bounding box that must contain every hit point on the triangle for the
// given tolerance: the widened triangle (barycentric weights down to -tol)
// lies within the vertex box grown by 2 * tol * extent on each axis.
void widenedBox(const Triangle& tri, double tol, D3& lo, D3& hi) {
    D3 ext{};
    double maxExt = 0.0;
    double maxAbs = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        lo[k] = std::min(
            {static_cast<double>(tri.a[k]), static_cast<double>(tri.b[k]), static_cast<double>(tri.c[k])});
        hi[k] = std::max(
            {static_cast<double>(tri.a[k]), static_cast<double>(tri.b[k]), static_cast<double>(tri.c[k])});
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

struct CoreHit {
    double t;
    double u;
    double v;
};

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

bool hitCore(const Ray& r, const Triangle& tri, CoreHit& out) {
    return usable(tri) && hitUsable(r, tri, out);
}

void fillHit(RayHit* hit, std::size_t index, const CoreHit& h) {
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

}  // namespace

bool intersectTriangle(const RayQuery& q, const Triangle& tri, float* tHit) {
    Ray r;
    CoreHit h;
    if (!prepare(q, r) || !hitCore(r, tri, h)) {
        return false;
    }
    if (tHit != nullptr) {
        *tHit = static_cast<float>(h.t);
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

bool anyHitBruteForce(const std::vector<Triangle>& tris, const RayQuery& q) {
    return anyHitBruteForce(tris, q, nullptr);
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

// ------------------------------------------------------------------ grid

void UniformGrid::build(const std::vector<Triangle>& tris) {
    inputCount_ = tris.size();
    tris_.clear();
    original_.clear();
    cellStart_.clear();
    cellTris_.clear();
    occupied_.clear();
    res_ = {{0, 0, 0}};
    lo_ = hi_ = cell_ = invCell_ = D3{{0.0, 0.0, 0.0}};
    scale_ = 0.0;

    // Widened boxes of the triangles a ray can hit, for the largest
    // tolerance the grid serves.
    std::vector<std::uint32_t> live;
    std::vector<std::array<D3, 2>> boxes;
    D3 lo{{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
           std::numeric_limits<double>::infinity()}};
    D3 hi{{-lo[0], -lo[1], -lo[2]}};
    const std::size_t limit = std::min<std::size_t>(tris.size(), std::numeric_limits<std::uint32_t>::max());
    for (std::size_t i = 0; i < limit; ++i) {
        if (!usable(tris[i])) {
            continue;
        }
        std::array<D3, 2> box;
        widenedBox(tris[i], kMaxGridTolerance, box[0], box[1]);
        for (std::size_t k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], box[0][k]);
            hi[k] = std::max(hi[k], box[1][k]);
        }
        live.push_back(static_cast<std::uint32_t>(i));
        boxes.push_back(box);
    }
    if (live.empty()) {
        return;
    }

    double maxExt = 0.0;
    double maxAbs = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        maxExt = std::max(maxExt, hi[k] - lo[k]);
        maxAbs = std::max({maxAbs, std::fabs(lo[k]), std::fabs(hi[k])});
    }
    scale_ = maxExt + maxAbs;
    const double margin = kBinMargin * scale_;
    D3 ext;
    for (std::size_t k = 0; k < 3; ++k) {
        lo_[k] = lo[k] - 2.0 * margin;
        hi_[k] = hi[k] + 2.0 * margin;
        ext[k] = hi_[k] - lo_[k];
    }
    chooseResolution(ext, live.size());

    // Cell range of each box; coarsen while the entries exceed the budget
    // (many large triangles).
    std::vector<std::array<int, 6>> ranges(live.size());
    const double budget = std::min(
        std::max(kMaxEntriesPerTriangle * static_cast<double>(live.size()), kMinEntryBudget), kMaxEntries);
    for (;;) {
        for (std::size_t k = 0; k < 3; ++k) {
            cell_[k] = ext[k] / res_[k];
            invCell_[k] = 1.0 / cell_[k];
        }
        double entries = 0.0;
        for (std::size_t i = 0; i < live.size(); ++i) {
            double volume = 1.0;
            for (std::size_t k = 0; k < 3; ++k) {
                ranges[i][k] = cellOf(boxes[i][0][k] - margin, k);
                ranges[i][k + 3] = cellOf(boxes[i][1][k] + margin, k);
                volume *= ranges[i][k + 3] - ranges[i][k] + 1;
            }
            entries += volume;
        }
        if (entries <= budget || (res_[0] == 1 && res_[1] == 1 && res_[2] == 1)) {
            break;
        }
        for (std::size_t k = 0; k < 3; ++k) {
            res_[k] = std::max(1, (res_[k] + 1) / 2);
        }
    }

    // Keep the grid's own copy of the triangles in the order of their first
    // cell, so that the triangles of neighbouring cells sit close in memory.
    const std::size_t rx = static_cast<std::size_t>(res_[0]);
    const std::size_t rxy = rx * static_cast<std::size_t>(res_[1]);
    auto firstCell = [&](const std::array<int, 6>& r) {
        return static_cast<std::size_t>(r[0]) + rx * r[1] + rxy * r[2];
    };
    const std::size_t cells = rxy * static_cast<std::size_t>(res_[2]);
    std::vector<std::uint32_t> order(live.size());
    {
        // Counting sort by first cell (stable).
        std::vector<std::uint32_t> slot(cells + 1, 0u);
        for (const auto& r : ranges) {
            ++slot[firstCell(r) + 1];
        }
        for (std::size_t c = 0; c < cells; ++c) {
            slot[c + 1] += slot[c];
        }
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            order[slot[firstCell(ranges[i])]++] = static_cast<std::uint32_t>(i);
        }
    }
    tris_.reserve(order.size());
    original_.reserve(order.size());
    for (std::uint32_t i : order) {
        tris_.push_back(tris[live[i]]);
        original_.push_back(live[i]);
    }

    cellStart_.assign(cells + 1, 0u);
    for (const auto& r : ranges) {
        for (int z = r[2]; z <= r[5]; ++z) {
            for (int y = r[1]; y <= r[4]; ++y) {
                for (int x = r[0]; x <= r[3]; ++x) {
                    ++cellStart_[static_cast<std::size_t>(x) + rx * y + rxy * z + 1];
                }
            }
        }
    }
    occupied_.assign((cells + 63) / 64, 0u);
    for (std::size_t c = 0; c < cells; ++c) {
        if (cellStart_[c + 1] != 0u) {
            occupied_[c / 64] |= std::uint64_t{1} << (c % 64);
        }
        cellStart_[c + 1] += cellStart_[c];
    }
    cellTris_.resize(cellStart_[cells]);
    std::vector<std::uint32_t> cursor(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t j = 0; j < order.size(); ++j) {
        const auto& r = ranges[order[j]];
        for (int z = r[2]; z <= r[5]; ++z) {
            for (int y = r[1]; y <= r[4]; ++y) {
                for (int x = r[0]; x <= r[3]; ++x) {
                    cellTris_[cursor[static_cast<std::size_t>(x) + rx * y + rxy * z]++] =
                        static_cast<std::uint32_t>(j);
                }
            }
        }
    }
}

// About kCellsPerTriangle cells per triangle, spread over the axes in
// proportion to the box's extents. Axes too thin for even one cell at that
// density get a single cell and drop out of the split.
void UniformGrid::chooseResolution(const D3& ext, std::size_t triangles) {
    const double target = kCellsPerTriangle * static_cast<double>(triangles);
    std::array<bool, 3> split{{true, true, true}};
    D3 want{{1.0, 1.0, 1.0}};
    for (int round = 0; round < 3; ++round) {
        double logVolume = 0.0;
        int axes = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            if (split[k]) {
                logVolume += std::log(ext[k]);
                ++axes;
            }
        }
        if (axes == 0) {
            break;
        }
        const double logDensity = (std::log(target) - logVolume) / axes;
        bool dropped = false;
        for (std::size_t k = 0; k < 3; ++k) {
            if (split[k]) {
                want[k] = std::exp(std::log(ext[k]) + logDensity);
                if (want[k] < 1.0) {
                    want[k] = 1.0;
                    split[k] = false;
                    dropped = true;
                }
            }
        }
        if (!dropped) {
            break;
        }
    }
    double total = 1.0;
    for (std::size_t k = 0; k < 3; ++k) {
        want[k] = std::min(std::max(std::round(want[k]), 1.0), static_cast<double>(kMaxAxisCells));
        total *= want[k];
    }
    if (total > kMaxCells) {
        const double shrink = std::cbrt(kMaxCells / total);
        for (std::size_t k = 0; k < 3; ++k) {
            want[k] = std::max(std::floor(want[k] * shrink), 1.0);
        }
    }
    for (std::size_t k = 0; k < 3; ++k) {
        res_[k] = static_cast<int>(want[k]);
    }
}

int UniformGrid::cellOf(double x, std::size_t axis) const {
    const double f = std::floor((x - lo_[axis]) * invCell_[axis]);
    if (!(f >= 0.0)) {
        return 0;  // also NaN, so that the conversion below is always defined
    }
    return f >= static_cast<double>(res_[axis] - 1) ? res_[axis] - 1 : static_cast<int>(f);
}

std::size_t UniformGrid::triangleCount() const {
    return inputCount_;
}

std::size_t UniformGrid::cellCount() const {
    return cellStart_.empty() ? 0 : cellStart_.size() - 1;
}

std::size_t UniformGrid::entryCount() const {
    return cellTris_.size();
}

bool UniformGrid::needsBruteForce(const RayQuery& q) const {
    if (q.tolerance > kMaxGridTolerance) {
        return true;
    }
    const double far = kFarSource * scale_;
    for (std::size_t k = 0; k < 3; ++k) {
        if (std::fabs(static_cast<double>(q.source[k])) > far) {
            return true;
        }
    }
    return false;
}

// Visits, in order of increasing t, every cell that the points s + t * d
// with tBegin <= t <= tEnd pass through (3D DDA). visit(cell, tExit) gets the
// cell's linear index and the parameter at which the ray leaves it; it
// returns true to stop the walk. Every step moves one axis index one cell
// in the ray's direction, so the walk ends after at most the sum of the
// resolutions.
template <class Visit>
void UniformGrid::walk(const D3& s, const D3& d, double tBegin, double tEnd, Visit&& visit) const {
    D3 inv{{0.0, 0.0, 0.0}};
    for (std::size_t k = 0; k < 3; ++k) {
        if (d[k] == 0.0) {
            if (s[k] < lo_[k] || s[k] > hi_[k]) {
                return;
            }
            continue;
        }
        inv[k] = 1.0 / d[k];
        double ta = (lo_[k] - s[k]) * inv[k];
        double tb = (hi_[k] - s[k]) * inv[k];
        if (ta > tb) {
            std::swap(ta, tb);
        }
        tBegin = std::max(tBegin, ta);
        tEnd = std::min(tEnd, tb);
    }
    if (!(tBegin <= tEnd)) {
        return;
    }
    std::array<int, 3> idx;
    std::array<int, 3> step;
    D3 tNext;
    for (std::size_t k = 0; k < 3; ++k) {
        idx[k] = cellOf(s[k] + tBegin * d[k], k);
        if (d[k] > 0.0) {
            step[k] = 1;
            tNext[k] = (lo_[k] + (idx[k] + 1) * cell_[k] - s[k]) * inv[k];
        } else if (d[k] < 0.0) {
            step[k] = -1;
            tNext[k] = (lo_[k] + idx[k] * cell_[k] - s[k]) * inv[k];
        } else {
            step[k] = 0;
            tNext[k] = std::numeric_limits<double>::infinity();
        }
    }
    const std::size_t rx = static_cast<std::size_t>(res_[0]);
    const std::size_t rxy = rx * static_cast<std::size_t>(res_[1]);
    for (;;) {
        std::size_t axis = 0;
        if (tNext[1] < tNext[axis]) {
            axis = 1;
        }
        if (tNext[2] < tNext[axis]) {
            axis = 2;
        }
        const double tExit = tNext[axis];
        if (visit(static_cast<std::size_t>(idx[0]) + rx * idx[1] + rxy * idx[2], tExit)) {
            return;
        }
        if (tExit > tEnd) {
            return;
        }
        idx[axis] += step[axis];
        if (idx[axis] < 0 || idx[axis] >= res_[axis]) {
            return;
        }
        const int boundary = step[axis] > 0 ? idx[axis] + 1 : idx[axis];
        tNext[axis] = (lo_[axis] + boundary * cell_[axis] - s[axis]) * inv[axis];
    }
}

bool UniformGrid::anyHit(const RayQuery& q) const {
    return anyHit(q, nullptr);
}

bool UniformGrid::anyHit(const RayQuery& q, RayHit* hit) const {
    Ray r;
    if (tris_.empty() || !prepare(q, r) || r.maxParam < 0.0) {
        return false;
    }
    if (r.d[0] == 0.0 && r.d[1] == 0.0 && r.d[2] == 0.0) {
        return false;  // the triangle test refuses a zero direction
    }
    CoreHit h;
    if (needsBruteForce(q)) {
        for (std::size_t i = 0; i < tris_.size(); ++i) {
            if (hitUsable(r, tris_[i], h)) {
                fillHit(hit, original_[i], h);
                return true;
            }
        }
        return false;
    }
    Mailbox& box = beginQuery(tris_.size());
    std::uint32_t* stamps = box.stamps.data();
    const std::uint32_t epoch = box.epoch;
    bool found = false;
    walk(r.s, r.d, r.both ? -r.maxParam : 0.0, r.maxParam, [&](std::size_t cell, double) {
        if (!occupied(cell)) {
            return false;
        }
        const std::uint32_t end = cellStart_[cell + 1];
        for (std::uint32_t e = cellStart_[cell]; e < end; ++e) {
            const std::uint32_t i = cellTris_[e];
            if (stamps[i] == epoch) {
                continue;
            }
            stamps[i] = epoch;
            if (hitUsable(r, tris_[i], h)) {
                fillHit(hit, original_[i], h);
                found = true;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool UniformGrid::closestHit(const RayQuery& q, RayHit* hit) const {
    Ray r;
    if (tris_.empty() || !prepare(q, r) || r.maxParam < 0.0) {
        return false;
    }
    if (r.d[0] == 0.0 && r.d[1] == 0.0 && r.d[2] == 0.0) {
        return false;
    }
    bool found = false;
    CoreHit best{0.0, 0.0, 0.0};
    double bestAbs = std::numeric_limits<double>::infinity();
    std::uint32_t bestIndex = 0;  // original index
    auto consider = [&](std::uint32_t i) {
        CoreHit h;
        if (!hitUsable(r, tris_[i], h)) {
            return;
        }
        const double a = std::fabs(h.t);
        if (!found || a < bestAbs || (a == bestAbs && original_[i] < bestIndex)) {
            found = true;
            best = h;
            bestAbs = a;
            bestIndex = original_[i];
        }
    };
    if (needsBruteForce(q)) {
        for (std::size_t i = 0; i < tris_.size(); ++i) {
            consider(static_cast<std::uint32_t>(i));
        }
    } else {
        Mailbox& box = beginQuery(tris_.size());
        std::uint32_t* stamps = box.stamps.data();
        const std::uint32_t epoch = box.epoch;
        // Walks away from t = 0; a triangle met again in the other
        // direction is not retested, since its hit (of either sign) is
        // already counted. Stops once no unvisited cell can hold a hit
        // nearer than the best one.
        auto visit = [&](std::size_t cell, double tExit) {
            if (occupied(cell)) {
                const std::uint32_t end = cellStart_[cell + 1];
                for (std::uint32_t e = cellStart_[cell]; e < end; ++e) {
                    const std::uint32_t i = cellTris_[e];
                    if (stamps[i] != epoch) {
                        stamps[i] = epoch;
                        consider(i);
                    }
                }
            }
            return found && bestAbs <= tExit;
        };
        walk(r.s, r.d, 0.0, r.maxParam, visit);
        if (r.both) {
            const D3 back{{-r.d[0], -r.d[1], -r.d[2]}};
            walk(r.s, back, 0.0, r.maxParam, visit);
        }
    }
    if (found) {
        fillHit(hit, bestIndex, best);
    }
    return found;
}

}  // namespace geom
}  // namespace khost
