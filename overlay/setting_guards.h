#pragma once
// Guards against values no artist can type but a connection, a deformer or a
// stale selection can deliver: settings beyond their ranges or not finite,
// soft-selection weights outside 0..1, and geometry at non-finite positions.
// Whatever the node and the scene hold, the draw manager receives only finite
// points, colours, widths, sizes and radii.
#include <maya/MColor.h>
#include <maya/MPointArray.h>

#include <cmath>
#include <cstddef>
#include <vector>

#include "overlay/curve_sample.h"

// `value` when finite, else `fallback` (the attribute's default).
float finiteOr(float value, float fallback);

// Each non-finite component of `color` replaced by that of `fallback`.
void replaceNonFinite(MColor& color, const MColor& fallback);

// A depth ramp bound (distanceColorMin or distanceColorMax) as the colour
// rules use it: within the attribute's range 0.01..1, its default when not
// finite. Colours scaled by such a factor cannot overflow.
float rampBound(float value, float fallback);

// A soft-selection weight as the colour rules use it: within 0..1, 0 when not
// finite (which the ramp then lifts to the floor).
inline float colorWeight(float weight) {
    if (!std::isfinite(weight) || weight <= 0.0f) {
        return 0.0f;
    }
    return weight > 1.0f ? 1.0f : weight;
}

// Every point finite.
bool allFinite(const MPointArray& points);

// Every sample position from index `from` on finite.
bool allFinite(const std::vector<CurveSample>& samples, std::size_t from);
