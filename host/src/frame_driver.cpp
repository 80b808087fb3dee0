// The viewport refresh: drives prepareForDraw and addUIDrawables of the
// plug-in nodes that have a draw override, per view, through a host-owned
// draw manager, skipping what lies outside a view's frustum.
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "frame_state.h"
#include "model.h"
#include "test_hooks.h"
#include "ui_state.h"

namespace khost {
namespace detail {
namespace {

// The embedded viewport draws with the core-profile OpenGL back end, the
// host's default on Linux; overrides that do not support it are not drawn.
constexpr MHWRender::DrawAPI kViewportAPI = MHWRender::kOpenGLCoreProfile;

// Frustum culling as the host documents it: an override that says it is
// bounded is culled when its bounding box (object space, taken to world
// space through the override's transform) lies wholly outside the view's
// frustum, that is when all eight corners are outside one of the six clip
// planes. The test is conservative: a box that only straddles planes is kept.
bool culledByFrustum(const MHWRender::MPxDrawOverride& override, const MDagPath& path,
                     const MDagPath& cameraPath, const FrameContextImpl& context) {
    if (!override.isBounded(path, cameraPath)) {
        return false;
    }
    MBoundingBox box = override.boundingBox(path, cameraPath);
    box.transformUsing(override.transform(path, cameraPath));
    const MPoint lo = box.min();
    const MPoint hi = box.max();
    // One bit per clip plane: -w <= x, x <= w, -w <= y, y <= w, -w <= z, z <= w.
    unsigned int outsideAll = 0x3F;
    for (int corner = 0; corner < 8; ++corner) {
        const MPoint world((corner & 1) ? hi.x : lo.x, (corner & 2) ? hi.y : lo.y,
                           (corner & 4) ? hi.z : lo.z);
        const MPoint c = world * context.viewProjMtx;
        const unsigned int outside = (c.x < -c.w ? 0x01u : 0u) | (c.x > c.w ? 0x02u : 0u) |
                                     (c.y < -c.w ? 0x04u : 0u) | (c.y > c.w ? 0x08u : 0u) |
                                     (c.z < -c.w ? 0x10u : 0u) | (c.z > c.w ? 0x20u : 0u);
        outsideAll &= outside;
    }
    return outsideAll != 0;
}

// Empties the calls of every node and view that the frame just made did not
// draw, so what a frame leaves readable is exactly what it drew.
void dropUndrawnCalls() {
    for (auto& entry : frameState().slots) {
        FrameSlot& slot = entry.second;
        for (std::size_t v = 0; v < slot.calls.size(); ++v) {
            if (slot.drawnInFrame[v] != frameState().frameNumber) {
                slot.calls[v].clear();
            }
        }
    }
}

// Starts a frame and pairs the live plug-in nodes with their overrides,
// making missing ones. Plug-in code runs below and may add or delete nodes,
// so the candidates are copied (only plug-in nodes: a scene of many curves
// has few of them).
void collectDrawable(std::vector<Prepared>& drawable) {
    Scene& scene = Scene::get();
    FrameState& state = frameState();
    Counters& counters = hostCounters();
    const std::size_t viewCount = viewSet().views.size();
    ++state.frameNumber;

    drawable.clear();
    const std::vector<std::shared_ptr<Node>> nodes = scene.pluginNodes;
    for (const auto& n : nodes) {
        if (!n->alive || n->kind != NodeKind::PluginShape || !n->pluginType()) {
            continue;
        }
        const OverrideRegistration* reg = findRegistration(*n->pluginType());
        const auto bound = state.slots.find(n.get());
        if (bound != state.slots.end() && (!reg || bound->second.creator != reg->creator)) {
            releaseOverride(*n);  // its registration is gone or replaced
        }
        if (!reg) {
            continue;
        }
        FrameSlot& slot = state.slots[n.get()];
        if (!slot.override) {
            slot.override = reg->creator(objectOf(n));
            if (!slot.override) {
                state.slots.erase(n.get());
                continue;
            }
            ++counters.overridesCreated;
            slot.creator = reg->creator;
            slot.owner = reg->owner;
        }
        slot.records.resize(std::max(slot.records.size(), viewCount), nullptr);
        slot.calls.resize(std::max(slot.calls.size(), viewCount));
        slot.drawnInFrame.resize(slot.calls.size(), 0);
        slot.current.resize(std::max(slot.current.size(), viewCount), false);
        drawable.push_back(Prepared{n, MDagPath()});
        Access::node(drawable.back().path) = n;
    }
}

// The slot of a node that still has its override (plug-in code may have
// deleted the node, or the module may be gone, since the node was paired).
FrameSlot* liveSlot(const Prepared& p) {
    if (!p.node->alive) {
        return nullptr;
    }
    auto& slots = frameState().slots;
    const auto it = slots.find(p.node.get());
    return it != slots.end() && it->second.override ? &it->second : nullptr;
}

// prepareForDraw, with the record kept from the previous frame, for every
// node of view `v` (which has a camera) that needs it; returns the nodes to
// draw in that view.
std::vector<std::size_t> prepareView(std::size_t v, const FrameContextImpl& context,
                                     const std::vector<Prepared>& drawable) {
    std::vector<std::size_t> prepared;
    const MDagPath& cameraPath = context.camera;
    for (std::size_t i = 0; i < drawable.size(); ++i) {
        const Prepared& p = drawable[i];
        FrameSlot* slot = liveSlot(p);
        if (slot == nullptr) {
            continue;
        }
        MHWRender::MPxDrawOverride* override = slot->override;
        if ((override->supportedDrawAPIs() & kViewportAPI) == 0) {
            continue;
        }
        if (culledByFrustum(*override, p.path, cameraPath, context)) {
            ++hostCounters().culled;
            continue;
        }
        if (MHWRender::MHostAccess::alwaysDirty(*override) || !slot->current[v]) {
            MUserData* old = slot->records[v];
            MUserData* fresh = override->prepareForDraw(p.path, cameraPath, context, old);
            ++hostCounters().prepareForDraw;
            if (old && fresh != old) {
                delete old;
                ++hostCounters().recordsDeleted;
            }
            slot->records[v] = fresh;
            slot->current[v] = true;
        }
        prepared.push_back(i);
    }
    return prepared;
}

// addUIDrawables of every prepared node of view `v` (which has a camera).
void drawView(std::size_t v, const FrameContextImpl& context, const std::vector<Prepared>& drawable,
              const std::vector<std::size_t>& prepared) {
    for (const std::size_t i : prepared) {
        const Prepared& p = drawable[i];
        FrameSlot* slot = liveSlot(p);
        if (slot == nullptr) {
            continue;
        }
        if (slot->override->hasUIDrawables()) {
            recordInto(slot->calls[v], [&](MHWRender::MUIDrawManager& manager) {
                slot->override->addUIDrawables(p.path, manager, context, slot->records[v]);
            });
            slot->drawnInFrame[v] = frameState().frameNumber;
            ++hostCounters().addUIDrawables;
        }
        // Data made with the old deleteAfterUse flag is dropped once drawn.
        MUserData* record = slot->records[v];
        if (record && Access::deleteAfterUse(*record)) {
            delete record;
            ++hostCounters().recordsDeleted;
            slot->records[v] = nullptr;
            slot->current[v] = false;
        }
    }
}

// Runs `step` with the frame context of every view that has a camera.
template <class Step>
void forEachView(std::size_t viewCount, Step&& step) {
    for (std::size_t v = 0; v < viewCount; ++v) {
        if (viewHasCamera(v)) {
            step(v, FrameContextImpl(viewSet().views[v]));
        }
    }
}

// Ends a frame: what it did not draw is dropped, and nothing stays prepared.
void finishFrame(PendingFrame& pending) {
    dropUndrawnCalls();
    pending.preparedPerView.clear();
    pending.drawable.clear();
}

}  // namespace

bool viewHasCamera(std::size_t v) {
    const auto& views = viewSet().views;
    return v < views.size() && views[v].cameraShape && views[v].cameraShape->alive;
}

void drawFrame() {
    PendingFrame& pending = frameState().pending;
    collectDrawable(pending.drawable);
    forEachView(viewSet().views.size(), [&](std::size_t v, const FrameContextImpl& context) {
        drawView(v, context, pending.drawable, prepareView(v, context, pending.drawable));
    });
    finishFrame(pending);
}

void prepareFrame() {
    PendingFrame& pending = frameState().pending;
    collectDrawable(pending.drawable);
    pending.preparedPerView.assign(viewSet().views.size(), {});
    forEachView(pending.preparedPerView.size(), [&](std::size_t v, const FrameContextImpl& context) {
        pending.preparedPerView[v] = prepareView(v, context, pending.drawable);
    });
}

void drawPreparedFrame() {
    PendingFrame& pending = frameState().pending;
    forEachView(pending.preparedPerView.size(), [&](std::size_t v, const FrameContextImpl& context) {
        drawView(v, context, pending.drawable, pending.preparedPerView[v]);
    });
    finishFrame(pending);
}

}  // namespace detail
}  // namespace khost
