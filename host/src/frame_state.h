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

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "model.h"

class MUserData;
namespace MHWRender {
class MPxDrawOverride;
class MUIDrawManager;
}  // namespace MHWRender

namespace khost {
namespace detail {

// The frame context the host hands to draw overrides: the matrices and
// viewport of one view, fixed when the frame starts. The frame driver makes
// one per view and frame.
struct FrameContextImpl : MHWRender::MFrameContext {
    FrameContextImpl(const View& view, int viewIndex)
        : index(viewIndex), width(view.width), height(view.height) {
        Access::node(camera) = view.cameraShape;
        viewMtx = toMMatrix(viewMatrix(view));
        projMtx = toMMatrix(projectionMatrix(view));
        viewProjMtx = toMMatrix(viewProjection(view));
    }

    // World matrices are those of an object at the world origin: there is
    // no current object at the frame level.
    MMatrix getMatrix(MatrixType mtype, MStatus* ReturnStatus = nullptr) const override {
        setStatus(ReturnStatus, MStatus::kSuccess);
        switch (mtype) {
            case kWorldMtx:
            case kWorldTransposeMtx:
            case kWorldInverseMtx:
            case kWorldTranspInverseMtx:
                return MMatrix();
            case kViewMtx:
            case kWorldViewMtx:
                return viewMtx;
            case kViewTransposeMtx:
            case kWorldViewTransposeMtx:
                return viewMtx.transpose();
            case kViewInverseMtx:
            case kWorldViewInverseMtx:
                return viewMtx.inverse();
            case kViewTranspInverseMtx:
            case kWorldViewTranspInverseMtx:
                return viewMtx.inverse().transpose();
            case kProjectionMtx:
                return projMtx;
            case kProjectionTranposeMtx:
                return projMtx.transpose();
            case kProjectionInverseMtx:
                return projMtx.inverse();
            case kProjectionTranspInverseMtx:
                return projMtx.inverse().transpose();
            case kViewProjMtx:
            case kWorldViewProjMtx:
                return viewProjMtx;
            case kViewProjTranposeMtx:
            case kWorldViewProjTransposeMtx:
                return viewProjMtx.transpose();
            case kViewProjInverseMtx:
            case kWorldViewProjInverseMtx:
                return viewProjMtx.inverse();
            case kViewProjTranspInverseMtx:
            case kWorldViewProjTranspInverseMtx:
                return viewProjMtx.inverse().transpose();
        }
        setStatus(ReturnStatus, MStatus::kInvalidParameter);
        return MMatrix();
    }

    MStatus getViewportDimensions(int& originX, int& originY, int& w, int& h) const override {
        originX = originY = 0;
        w = width;
        h = height;
        return MStatus::kSuccess;
    }

    int index;
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
// Runs the frame's steps and constructs the host-owned draw manager.
struct FrameDriver {
    static void drawFrame();
    static void prepareFrame();
    static void drawPreparedFrame();
    // Views whose camera is gone are neither prepared nor drawn.
    static bool viewHasCamera(std::size_t view);
    // A draw manager recording into `calls`, handed to `run` with `context`;
    // `calls` then hold exactly the calls it made.
    static void recordCalls(
        std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
        const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& run);
};

}  // namespace detail
}  // namespace khost
