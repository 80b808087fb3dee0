// The uniform grid over a triangle list: binning, the cell walk and the
// grid's ray queries.
#include <algorithm>
#include <cmath>
#include <limits>

#include "raycast.h"

namespace khost {
namespace geom {
namespace {

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

}  // namespace

using detail::beginQuery;
using detail::CoreHit;
using detail::D3;
using detail::fillHit;
using detail::hitUsable;
using detail::Mailbox;
using detail::prepare;
using detail::Ray;
using detail::usable;
using detail::widenedBox;

void UniformGrid::build(const std::vector<Triangle>& tris) {
    *this = UniformGrid();
    inputCount_ = tris.size();

    // Widened boxes of the triangles a ray can hit, for the largest
    // tolerance the grid serves.
    std::vector<std::uint32_t> live;
    std::vector<std::array<D3, 2>> boxes;
    constexpr double inf = std::numeric_limits<double>::infinity();
    D3 lo{{inf, inf, inf}};
    D3 hi{{-inf, -inf, -inf}};
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
    // Linear cell indices, from locals: stores into the uint32 tables below
    // could otherwise alias res_ and force it to be reloaded.
    const std::size_t rx = static_cast<std::size_t>(res_[0]);
    const std::size_t rxy = rx * static_cast<std::size_t>(res_[1]);
    const std::size_t cells = rxy * static_cast<std::size_t>(res_[2]);
    auto cellAt = [rx, rxy](int x, int y, int z) { return static_cast<std::size_t>(x) + rx * y + rxy * z; };
    std::vector<std::uint32_t> order(live.size());
    {
        // Counting sort by first cell (stable).
        std::vector<std::uint32_t> slot(cells + 1, 0u);
        for (const auto& r : ranges) {
            ++slot[cellAt(r[0], r[1], r[2]) + 1];
        }
        for (std::size_t c = 0; c < cells; ++c) {
            slot[c + 1] += slot[c];
        }
        for (std::size_t i = 0; i < ranges.size(); ++i) {
            order[slot[cellAt(ranges[i][0], ranges[i][1], ranges[i][2])]++] = static_cast<std::uint32_t>(i);
        }
    }
    tris_.reserve(order.size());
    original_.reserve(order.size());
    for (std::uint32_t i : order) {
        tris_.push_back(tris[live[i]]);
        original_.push_back(live[i]);
    }

    // Every cell of a range, in linear index order.
    auto forEachCell = [&](const std::array<int, 6>& r, auto&& f) {
        for (int z = r[2]; z <= r[5]; ++z) {
            for (int y = r[1]; y <= r[4]; ++y) {
                for (int x = r[0]; x <= r[3]; ++x) {
                    f(cellAt(x, y, z));
                }
            }
        }
    };
    cellStart_.assign(cells + 1, 0u);
    for (const auto& r : ranges) {
        forEachCell(r, [&](std::size_t c) { ++cellStart_[c + 1]; });
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
        forEachCell(ranges[order[j]],
                    [&](std::size_t c) { cellTris_[cursor[c]++] = static_cast<std::uint32_t>(j); });
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

bool UniformGrid::needsBruteForce(const RayQuery& q) const {
    const double far = kFarSource * scale_;
    return q.tolerance > kMaxGridTolerance || std::any_of(q.source.begin(), q.source.end(), [far](float x) {
               return std::fabs(static_cast<double>(x)) > far;
           });
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
    // Where the ray crosses the boundary of cell idx[k] it heads for.
    auto crossing = [&](std::size_t k) {
        return (lo_[k] + (step[k] > 0 ? idx[k] + 1 : idx[k]) * cell_[k] - s[k]) * inv[k];
    };
    for (std::size_t k = 0; k < 3; ++k) {
        idx[k] = cellOf(s[k] + tBegin * d[k], k);
        step[k] = d[k] > 0.0 ? 1 : (d[k] < 0.0 ? -1 : 0);
        tNext[k] = step[k] == 0 ? std::numeric_limits<double>::infinity() : crossing(k);
    }
    const std::size_t rx = static_cast<std::size_t>(res_[0]);
    const std::size_t rxy = rx * static_cast<std::size_t>(res_[1]);
    for (;;) {
        const auto axis =
            static_cast<std::size_t>(std::min_element(tNext.begin(), tNext.end()) - tNext.begin());
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
        tNext[axis] = crossing(axis);
    }
}

bool UniformGrid::accepts(const RayQuery& q, Ray& r) const {
    // The triangle test refuses a zero direction.
    return !tris_.empty() && prepare(q, r) && r.maxParam >= 0.0 &&
           !(r.d[0] == 0.0 && r.d[1] == 0.0 && r.d[2] == 0.0);
}

template <class Test>
bool UniformGrid::testCell(std::size_t cell, Mailbox& box, Test&& test) const {
    if (!occupied(cell)) {
        return false;
    }
    std::uint32_t* stamps = box.stamps.data();
    const std::uint32_t epoch = box.epoch;
    const std::uint32_t end = cellStart_[cell + 1];
    for (std::uint32_t e = cellStart_[cell]; e < end; ++e) {
        const std::uint32_t i = cellTris_[e];
        if (stamps[i] != epoch) {
            stamps[i] = epoch;
            if (test(i)) {
                return true;
            }
        }
    }
    return false;
}

bool UniformGrid::anyHit(const RayQuery& q, RayHit* hit) const {
    Ray r;
    if (!accepts(q, r)) {
        return false;
    }
    CoreHit h;
    auto test = [&](std::uint32_t i) {
        if (!hitUsable(r, tris_[i], h)) {
            return false;
        }
        fillHit(hit, original_[i], h);
        return true;
    };
    if (needsBruteForce(q)) {
        for (std::uint32_t i = 0; i < tris_.size(); ++i) {
            if (test(i)) {
                return true;
            }
        }
        return false;
    }
    Mailbox& box = beginQuery(tris_.size());
    bool found = false;
    walk(r.s, r.d, r.both ? -r.maxParam : 0.0, r.maxParam, [&](std::size_t cell, double) {
        found = testCell(cell, box, test);
        return found;
    });
    return found;
}

bool UniformGrid::closestHit(const RayQuery& q, RayHit* hit) const {
    Ray r;
    if (!accepts(q, r)) {
        return false;
    }
    bool found = false;
    CoreHit best{0.0, 0.0, 0.0};
    double bestAbs = std::numeric_limits<double>::infinity();
    std::uint32_t bestIndex = 0;  // original index
    auto consider = [&](std::uint32_t i) {
        CoreHit h;
        if (!hitUsable(r, tris_[i], h)) {
            return false;
        }
        const double a = std::fabs(h.t);
        if (!found || a < bestAbs || (a == bestAbs && original_[i] < bestIndex)) {
            found = true;
            best = h;
            bestAbs = a;
            bestIndex = original_[i];
        }
        return false;  // every candidate is considered
    };
    if (needsBruteForce(q)) {
        for (std::uint32_t i = 0; i < tris_.size(); ++i) {
            consider(i);
        }
    } else {
        Mailbox& box = beginQuery(tris_.size());
        // Walks away from t = 0; a triangle met again in the other
        // direction is not retested, since its hit (of either sign) is
        // already counted. Stops once no unvisited cell can hold a hit
        // nearer than the best one.
        auto visit = [&](std::size_t cell, double tExit) {
            testCell(cell, box, consider);
            return found && bestAbs <= tExit;
        };
        walk(r.s, r.d, 0.0, r.maxParam, visit);
        if (r.both) {
            walk(r.s, D3{{-r.d[0], -r.d[1], -r.d[2]}}, 0.0, r.maxParam, visit);
        }
    }
    if (found) {
        fillHit(hit, bestIndex, best);
    }
    return found;
}

}  // namespace geom
}  // namespace khost
