#pragma once
// Counts of the work the host does on the plug-in's behalf, kept by the
// parts of the host that do it, for cache and cost tests. The harness hands
// them out (khost/harness.h includes this header).
#include <cstdint>

namespace khost {

struct Counters {
    uint64_t getCVs = 0;
    uint64_t getPointAtParam = 0;
    uint64_t anyIntersection = 0;
    uint64_t accelBuilds = 0;  // acceleration structures built
    uint64_t prepareForDraw = 0;
    uint64_t culled = 0;  // (override, view) pairs skipped by frustum culling
    uint64_t addUIDrawables = 0;
    uint64_t overridesCreated = 0;
    uint64_t overridesDeleted = 0;
    uint64_t recordsDeleted = 0;
    uint64_t selectionChangedEvents = 0;
};

}  // namespace khost
