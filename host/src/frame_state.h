#pragma once
// The viewport refresh's state and steps: which plug-in nodes have a draw
// override, the records and recorded calls each keeps per view, the frame
// being made and the frame context of each view. The frame driver
// (frame_driver.cpp) runs the steps and decides what a view skips;
// override bindings (draw_override_binding.cpp) make and release the
// overrides. Not installed.
#include <khost/draw_call.h>
#include <maya/MDagPath.h>
#include <maya/MFrameContext.h>
#include <maya/MMatrix.h>
#include <maya/MUIDrawManager.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "model.h"

class MUserData;
namespace MHWRender {
class MPxDrawOverride;
}  // namespace MHWRender

namespace khost {
namespace detail {

// The frame context the host hands to draw overrides: the matrices and
// viewport of one view, fixed when the frame starts. The frame driver makes
// one per view and frame.
struct FrameContextImpl : MHWRender::MFrameContext {
    explicit FrameContextImpl(const View& view);
    MMatrix getMatrix(MatrixType mtype, MStatus* ReturnStatus = nullptr) const override;
    MStatus getViewportDimensions(int& originX, int& originY, int& w, int& h) const override;

    int width;
    int height;
    MDagPath camera;
    MMatrix viewMtx, projMtx, viewProjMtx;
};

// Where a draw manager records: the calls of one node in one view, written
// from the first on over the previous frame's (which keeps their storage);
// `used` counts the calls of this frame, and the rest are cut off when the
// node's addUIDrawables returns.
struct CallRecorder {
    std::vector<::khost::DrawCall>* calls = nullptr;
    std::size_t used = 0;
};

// What the host keeps for a plug-in node that has a draw override: the
// override, where it came from, and per view its record, whether that
// record is still current for an override that is not always dirty, and the
// calls last recorded.
struct FrameSlot {
    MHWRender::MPxDrawOverride* override = nullptr;  // made once per node, owned by the host
    MHWRender::MPxDrawOverride* (*creator)(const MObject&) = nullptr;
    const PluginModule* owner = nullptr;
    std::vector<MUserData*> records;                    // per view; owned by the host
    std::vector<bool> current;                          // per view
    std::vector<std::vector<::khost::DrawCall>> calls;  // per view, last frame's draw calls
    std::vector<uint64_t> drawnInFrame;                 // per view, the frame that last recorded its calls
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

// ---------------------------------------------------------------- the frame driver
// The steps of a frame (frame_driver.cpp).
void drawFrame();
void prepareFrame();
void drawPreparedFrame();
// Views whose camera is gone are neither prepared nor drawn.
bool viewHasCamera(std::size_t view);

// Runs `draw` with a host-owned draw manager recording into `calls`, which
// then hold exactly the calls it made.
template <class Draw>
void recordInto(std::vector<::khost::DrawCall>& calls, Draw&& draw) {
    CallRecorder recorder{&calls, 0};
    MHWRender::MHostAccess::withDrawManager<MHWRender::MUIDrawManager>(&recorder, draw);
    calls.resize(recorder.used);
}

}  // namespace detail
}  // namespace khost
