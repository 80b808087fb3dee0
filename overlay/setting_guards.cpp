#include "overlay/setting_guards.h"

#include <cmath>

namespace {

bool finitePoint(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

}  // namespace

float finiteOr(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

void replaceNonFinite(MColor& color, const MColor& fallback) {
    color.r = finiteOr(color.r, fallback.r);
    color.g = finiteOr(color.g, fallback.g);
    color.b = finiteOr(color.b, fallback.b);
    color.a = finiteOr(color.a, fallback.a);
}

float rampBound(float value, float fallback) {
    if (!std::isfinite(value)) {
        return fallback;
    }
    if (value < 0.01f) {
        return 0.01f;
    }
    return value > 1.0f ? 1.0f : value;
}

bool allFinite(const MPointArray& points) {
    const unsigned int count = points.length();
    for (unsigned int i = 0; i < count; ++i) {
        if (!finitePoint(points[i])) {
            return false;
        }
    }
    return true;
}

bool allFinite(const std::vector<CurveSample>& samples, std::size_t from) {
    for (std::size_t i = from; i < samples.size(); ++i) {
        if (!finitePoint(samples[i].position)) {
            return false;
        }
    }
    return true;
}
