#pragma once
// The viewport refresh's state and steps: which plug-in nodes have a draw
// override, the records and recorded calls each keeps per view, and the
// frame being made. The frame driver (frame_driver.cpp) runs the steps;
// override bindings (draw_override_binding.cpp) make and release the
// overrides; frustum_culling.cpp decides what a view skips. Not installed.
#include <maya/MDagPath.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "draw_recording.h"
#include "model.h"

class MUserData;
namespace MHWRender {
class MPxDrawOverride;
class MFrameContext;
class MUIDrawManager;
}  // namespace MHWRender

namespace khost {
namespace detail {

struct FrameContextImpl;

// What the host keeps for a plug-in node that has a draw override.
struct FrameSlot {
    MHWRender::MPxDrawOverride* override = nullptr;     // made once per node, owned by the host
    std::vector<MUserData*> records;                    // per view; owned by the host
    std::vector<std::vector<::khost::DrawCall>> calls;  // per view, last frame's draw calls
    std::vector<uint64_t> drawnInFrame;                 // per view, the frame that last recorded its calls
};

// Where a node's override came from, and which views hold a record that is
// still current for an override that is not always dirty.
struct Binding {
    MHWRender::MPxDrawOverride* (*creator)(const MObject&) = nullptr;
    const PluginModule* owner = nullptr;
    std::vector<bool> current;  // per view
};

// A node paired with its override for the frame being made.
struct Prepared {
    std::shared_ptr<Node> node;
    MDagPath path;
};

// A frame prepared but not yet drawn: the nodes paired with overrides, and
// for each view the ones whose draw data is ready, in drawing order.
struct PendingFrame {
    std::vector<Prepared> drawable;
    std::vector<std::vector<std::size_t>> preparedPerView;
};

struct FrameState {
    std::map<const Node*, FrameSlot> slots;
    std::map<const Node*, Binding> bindings;
    PendingFrame pending;
    // The number of the frame being made; a view's calls recorded in an
    // earlier frame are stale.
    uint64_t frameNumber = 0;
};
// One per process, never destroyed (like the scene).
FrameState& frameState();

// ---------------------------------------------------------------- override bindings
// The most specific registration for a node type; a node classification
// may list several classifications separated by ':'. Null when none.
const OverrideRegistration* findRegistration(const NodeType& type);
// Deletes a node's override and its records, as the host does when the
// object goes away.
void releaseOverride(const Node& node);
// Deletes the draw overrides (and their records) that a module's creators
// made, before the module is closed.
void releaseModuleOverrides(const PluginModule& module);
// Asks the frame driver to call prepareForDraw again for a node whose
// override is not always dirty (the host does so when a node changes).
void markDrawDirty(const Node& node);

// ---------------------------------------------------------------- culling
// Frustum culling as the host documents it: true when the override says it
// is bounded and its bounding box lies wholly outside the view's frustum.
bool culledByFrustum(const MHWRender::MPxDrawOverride& override, const MDagPath& path,
                     const MDagPath& cameraPath, const FrameContextImpl& context);

// ---------------------------------------------------------------- the frame driver
// Runs the frame's steps and constructs the host-owned draw manager.
struct FrameDriver {
    static void drawFrame();
    static void prepareFrame();
    static void drawPreparedFrame();
    static void destroy(Node& node);
    // Host-private state the frame's steps read.
    static bool alwaysDirty(const MHWRender::MPxDrawOverride& override);
    static bool deleteAfterUse(const MUserData& record);
    // Views whose camera is gone are neither prepared nor drawn.
    static bool viewHasCamera(std::size_t view);
    // addUIDrawables through a draw manager that records into `calls`,
    // which then hold exactly the calls it made.
    static void addUIDrawables(MHWRender::MPxDrawOverride& override, const MDagPath& path,
                               std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
                               const MUserData* record);
    // A draw manager recording into `calls`, handed to `run` with `context`.
    static void recordCalls(
        std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
        const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& run);
};

}  // namespace detail
}  // namespace khost
