#include "floor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <utility>

#include "scenes.h"

namespace knotlens_bench {

namespace {

constexpr unsigned kDigitBits = 11;
constexpr unsigned kDigits = (64 + kDigitBits - 1) / kDigitBits;  // 6
constexpr std::size_t kBins = std::size_t{1} << kDigitBits;
constexpr uint64_t kDigitMask = kBins - 1;

void comparisonOrder(const std::vector<uint64_t>& keys, std::vector<uint32_t>& order,
                     std::vector<std::pair<uint64_t, uint32_t>>& pairs) {
    const std::size_t n = keys.size();
    pairs.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        pairs[i] = {keys[i], static_cast<uint32_t>(i)};
    }
    std::sort(pairs.begin(), pairs.end());
    order.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        order[i] = pairs[i].second;
    }
}

}  // namespace

FloorInput makeFloorInput(std::size_t n) {
    FloorInput in;
    in.camera = MPoint(28.0, 21.0, 28.0);
    in.points.reserve(n);
    in.colors.reserve(n);
    in.distances.reserve(n);
    constexpr int kCVsPerCurve = 10;
    const std::size_t curves = (n + kCVsPerCurve - 1) / kCVsPerCurve;
    for (std::size_t c = 0; c < curves && in.points.size() < n; ++c) {
        MPointArray& curve = in.curves.emplace_back();
        for (const khost::Vec3& p : guideCurveCVs(c, curves, kCVsPerCurve)) {
            if (in.points.size() == n) {
                break;
            }
            curve.append(MPoint(p[0], p[1], p[2]));
            in.points.emplace_back(p[0], p[1], p[2]);
            const float shade = static_cast<float>(in.points.size() % 256) / 255.0f;
            in.colors.emplace_back(shade, 1.0f - shade, 0.0f, 1.0f);
            in.distances.push_back(in.points.back().distanceTo(in.camera));
        }
    }
    return in;
}

uint64_t floorKey(double distance) {
    if (std::isnan(distance)) {
        return 0;
    }
    uint64_t bits = 0;
    std::memcpy(&bits, &distance, sizeof bits);
    const uint64_t ascending = (bits >> 63) != 0 ? ~bits : bits | (uint64_t{1} << 63);
    return ~ascending;
}

void floorOrder(const std::vector<uint64_t>& keys, FloorOutput& out, bool forceRadix) {
    const std::size_t n = keys.size();
    if (n == 0) {
        out.order.clear();
        return;
    }
    if (n < kFloorRadixMinimum && !forceRadix) {
        comparisonOrder(keys, out.order, out.pairs);
        return;
    }
    // One pass counts every digit and pairs each key with its index; digits
    // that all keys share need no pass.
    out.histogram.assign(kDigits * kBins, 0);
    uint32_t* histogram = out.histogram.data();
    out.items.resize(n);
    out.itemsSwap.resize(n);
    FloorItem* src = out.items.data();
    FloorItem* dst = out.itemsSwap.data();
    for (std::size_t i = 0; i < n; ++i) {
        const uint64_t key = keys[i];
        src[i] = {key, static_cast<uint32_t>(i)};
        for (unsigned d = 0; d < kDigits; ++d) {
            ++histogram[d * kBins + ((key >> (d * kDigitBits)) & kDigitMask)];
        }
    }
    for (unsigned d = 0; d < kDigits; ++d) {
        uint32_t* counts = histogram + d * kBins;
        const unsigned shift = d * kDigitBits;
        if (counts[(src[0].key >> shift) & kDigitMask] == n) {
            continue;
        }
        uint32_t start = 0;
        for (std::size_t b = 0; b < kBins; ++b) {
            const uint32_t count = counts[b];
            counts[b] = start;
            start += count;
        }
        for (std::size_t i = 0; i < n; ++i) {
            const FloorItem item = src[i];
            dst[counts[(item.key >> shift) & kDigitMask]++] = item;
        }
        std::swap(src, dst);
    }
    out.order.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        out.order[i] = src[i].index;
    }
}

void runFloor(const FloorInput& in, FloorOutput& out) {
    // Read every CV from its curve's array, stage it, measure and key it.
    const std::size_t n = in.points.size();
    out.staged.resize(n);
    out.keys.resize(n);
    std::size_t i = 0;
    for (const MPointArray& curve : in.curves) {
        const unsigned int count = curve.length();
        for (unsigned int k = 0; k < count; ++k, ++i) {
            const MPoint& p = curve[k];
            out.staged[i] = p;
            out.keys[i] = floorKey(p.distanceTo(in.camera));
        }
    }
    floorOrder(out.keys, out);

    // Write the points and colours in drawing order.
    const auto count = static_cast<unsigned int>(n);
    out.points.setLength(count);
    out.colors.setLength(count);
    for (unsigned int j = 0; j < count; ++j) {
        const uint32_t source = out.order[j];
        out.points[j] = out.staged[source];
        out.colors[j] = in.colors[source];
    }
}

void runFloorComparisonSort(const FloorInput& in, FloorOutput& out) {
    const auto n = static_cast<unsigned int>(in.points.size());
    out.points.setLength(n);
    out.colors.setLength(n);
    for (unsigned int i = 0; i < n; ++i) {
        out.points[i] = in.points[i];
        out.colors[i] = in.colors[i];
    }
    out.distances.assign(in.distances.begin(), in.distances.end());
    std::sort(out.distances.begin(), out.distances.end(), std::greater<double>());
}

}  // namespace knotlens_bench
