#pragma once
// What the embedded host lets tests observe and steer that the real host
// does not, as far as the parts below the harness need it: counts of the
// work the host does on the plug-in's behalf (for cache and cost tests), and
// the registration steps a failure can be injected into. The harness hands
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

enum class HostStep {
    RegisterNode,
    DeregisterNode,
    RegisterDrawOverride,
    DeregisterDrawOverride,
    RegisterUI
};

}  // namespace khost
