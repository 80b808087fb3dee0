#include "floor.h"

#include <algorithm>
#include <functional>

#include "scenes.h"

namespace knotlens_bench {

FloorInput makeFloorInput(std::size_t n) {
    FloorInput in;
    in.points.reserve(n);
    in.colors.reserve(n);
    in.distances.reserve(n);
    constexpr int kCVsPerCurve = 10;
    const std::size_t curves = (n + kCVsPerCurve - 1) / kCVsPerCurve;
    const MPoint camera(28.0, 21.0, 28.0);
    for (std::size_t c = 0; c < curves && in.points.size() < n; ++c) {
        for (const khost::Vec3& p : guideCurveCVs(c, curves, kCVsPerCurve)) {
            if (in.points.size() == n) {
                break;
            }
            in.points.emplace_back(p[0], p[1], p[2]);
            const float shade = static_cast<float>(in.points.size() % 256) / 255.0f;
            in.colors.emplace_back(shade, 1.0f - shade, 0.0f, 1.0f);
            in.distances.push_back(in.points.back().distanceTo(camera));
        }
    }
    return in;
}

void runFloor(const FloorInput& in, FloorOutput& out) {
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
