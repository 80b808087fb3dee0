// The viewport refresh: pairs plug-in nodes with registered draw overrides,
// drives prepareForDraw and addUIDrawables per view, and owns the overrides
// and their draw data records on the host's behalf.
#include <maya/MBoundingBox.h>
#include <maya/MDagPath.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPxDrawOverride.h>
#include <maya/MPxNode.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>
#include <maya/MViewport2Renderer.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame_context.h"
#include "model.h"
#include "nodes_internal.h"
#include "test_hooks.h"

namespace khost {
namespace detail {
namespace {

// The embedded viewport draws with the core-profile OpenGL back end, the
// host's default on Linux; overrides that do not support it are not drawn.
constexpr MHWRender::DrawAPI kViewportAPI = MHWRender::kOpenGLCoreProfile;

// Where a node's override came from, and which views hold a record that is
// still current for an override that is not always dirty.
struct Binding {
    MHWRender::MPxDrawOverride* (*creator)(const MObject&) = nullptr;
    const PluginModule* owner = nullptr;
    std::vector<bool> current;  // per view
};

std::map<const Node*, Binding>& bindings() {
    static std::map<const Node*, Binding> map;
    return map;
}

// A registered classification pairs with a node's classification when the
// two are equal or the registered one is a leading part that ends at a '/'.
bool classificationMatches(const std::string& registered, const std::string& nodeClass) {
    if (registered.empty() || nodeClass.compare(0, registered.size(), registered) != 0) {
        return false;
    }
    return nodeClass.size() == registered.size() || registered.back() == '/' ||
           nodeClass[registered.size()] == '/';
}

// The most specific registration for a node type; a node classification
// may list several classifications separated by ':'.
const OverrideRegistration* findRegistration(const NodeType& type) {
    const OverrideRegistration* best = nullptr;
    std::size_t start = 0;
    while (start <= type.classification.size()) {
        std::size_t end = type.classification.find(':', start);
        if (end == std::string::npos) {
            end = type.classification.size();
        }
        const std::string part = type.classification.substr(start, end - start);
        for (const OverrideRegistration& r : Scene::get().overrides) {
            if (classificationMatches(r.classification, part) &&
                (!best || r.classification.size() > best->classification.size())) {
                best = &r;
            }
        }
        start = end + 1;
    }
    return best;
}

// Deletes a node's override and its records, as the host does when the
// object goes away.
void releaseOverride(const Node& node) {
    Scene& scene = Scene::get();
    bindings().erase(&node);
    const auto it = scene.frames.find(&node);
    if (it == scene.frames.end()) {
        return;
    }
    FrameSlot slot = std::move(it->second);
    scene.frames.erase(it);
    if (slot.override) {
        delete slot.override;
        ++hostCounters().overridesDeleted;
    }
    for (MUserData* record : slot.records) {
        if (record) {
            delete record;
            ++hostCounters().recordsDeleted;
        }
    }
}

MObject objectOf(Node& node) {
    MObject obj;
    Access::data(obj) = node.shared_from_this();
    return obj;
}

struct Prepared {
    std::shared_ptr<Node> node;
    MDagPath path;
};

}  // namespace

namespace {

// A frame prepared but not yet drawn: the nodes paired with overrides, and
// for each view the ones whose draw data is ready, in drawing order.
struct PendingFrame {
    std::vector<Prepared> drawable;
    std::vector<std::vector<std::size_t>> preparedPerView;
};

PendingFrame& pendingFrame() {
    static PendingFrame pending;
    return pending;
}

// The number of the frame being made; a view's calls recorded in an
// earlier frame are stale.
uint64_t& frameNumber() {
    static uint64_t number = 0;
    return number;
}

// Empties the calls of every node and view that the frame just made did not
// draw, so what a frame leaves readable is exactly what it drew.
void dropUndrawnCalls() {
    for (auto& entry : Scene::get().frames) {
        FrameSlot& slot = entry.second;
        for (std::size_t v = 0; v < slot.calls.size(); ++v) {
            if (v >= slot.drawnInFrame.size() || slot.drawnInFrame[v] != frameNumber()) {
                slot.calls[v].clear();
            }
        }
    }
}

// Starts a frame and pairs the live plug-in nodes with their overrides,
// making missing ones. Plug-in code runs below
// and may add or delete nodes, so the candidates are copied (only plug-in
// nodes: a scene of many curves has few of them).
void collectDrawable(std::vector<Prepared>& drawable) {
    Scene& scene = Scene::get();
    Counters& counters = hostCounters();
    const std::size_t viewCount = scene.views.size();
    ++frameNumber();

    drawable.clear();
    const std::vector<std::shared_ptr<Node>> nodes = scene.pluginNodes;
    for (const auto& n : nodes) {
        if (!n->alive || n->kind != NodeKind::PluginShape || !n->type) {
            continue;
        }
        const OverrideRegistration* reg = findRegistration(*n->type);
        const auto bound = bindings().find(n.get());
        if (bound != bindings().end() && (!reg || bound->second.creator != reg->creator)) {
            releaseOverride(*n);  // its registration is gone or replaced
        }
        if (!reg) {
            continue;
        }
        FrameSlot& slot = scene.frames[n.get()];
        if (!slot.override) {
            slot.override = reg->creator(objectOf(*n));
            if (!slot.override) {
                scene.frames.erase(n.get());
                continue;
            }
            ++counters.overridesCreated;
            Binding& binding = bindings()[n.get()];
            binding.creator = reg->creator;
            binding.owner = reg->owner;
        }
        slot.records.resize(std::max(slot.records.size(), viewCount), nullptr);
        slot.calls.resize(std::max(slot.calls.size(), viewCount));
        slot.drawnInFrame.resize(slot.calls.size(), 0);
        Binding& binding = bindings()[n.get()];
        binding.current.resize(std::max(binding.current.size(), viewCount), false);
        Prepared p;
        p.node = n;
        Access::node(p.path) = n;
        drawable.push_back(std::move(p));
    }
}

// The slot of a node that still has its override (plug-in code may have
// deleted the node, or the module may be gone, since the node was paired).
FrameSlot* liveSlot(const Prepared& p) {
    if (!p.node->alive) {
        return nullptr;
    }
    Scene& scene = Scene::get();
    const auto it = scene.frames.find(p.node.get());
    return it != scene.frames.end() && it->second.override ? &it->second : nullptr;
}

// Views whose camera is gone are neither prepared nor drawn.
bool viewHasCamera(std::size_t v) {
    const auto& views = Scene::get().views;
    return v < views.size() && views[v].cameraShape && views[v].cameraShape->alive;
}

// Frustum culling as the host documents it: an override that says it is
// bounded is culled when its bounding box (object space, taken to world
// space through the override's transform) lies wholly outside the view's
// frustum, that is when all eight corners are outside one of the six clip
// planes. The test is conservative: a box that only straddles planes is kept.
bool culled(const MHWRender::MPxDrawOverride& override, const MDagPath& path, const MDagPath& cameraPath,
            const FrameContextImpl& context) {
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

// prepareForDraw, with the record kept from the previous frame, for every
// node of view `v` (which has a camera) that needs it; returns the nodes to
// draw in that view.
std::vector<std::size_t> prepareView(std::size_t v, const FrameContextImpl& context,
                                     const std::vector<Prepared>& drawable) {
    Scene& scene = Scene::get();
    std::vector<std::size_t> prepared;
    MDagPath cameraPath;
    Access::node(cameraPath) = scene.views[v].cameraShape;
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
        if (culled(*override, p.path, cameraPath, context)) {
            ++hostCounters().culled;
            continue;
        }
        Binding& binding = bindings()[p.node.get()];
        if (FrameDriver::alwaysDirty(*override) || !binding.current[v]) {
            MUserData* old = slot->records[v];
            MUserData* fresh = override->prepareForDraw(p.path, cameraPath, context, old);
            ++hostCounters().prepareForDraw;
            if (old && fresh != old) {
                delete old;
                ++hostCounters().recordsDeleted;
            }
            slot->records[v] = fresh;
            binding.current[v] = true;
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
        if (slot == nullptr || v >= slot->calls.size()) {
            continue;
        }
        if (slot->override->hasUIDrawables()) {
            FrameDriver::addUIDrawables(*slot->override, p.path, slot->calls[v], context, slot->records[v]);
            slot->drawnInFrame[v] = frameNumber();
            ++hostCounters().addUIDrawables;
        }
        // Data made with the old deleteAfterUse flag is dropped once drawn.
        MUserData* record = slot->records[v];
        if (record && FrameDriver::deleteAfterUse(*record)) {
            delete record;
            ++hostCounters().recordsDeleted;
            slot->records[v] = nullptr;
            bindings()[p.node.get()].current[v] = false;
        }
    }
}

}  // namespace

bool FrameDriver::alwaysDirty(const MHWRender::MPxDrawOverride& override) {
    return MHWRender::MHostAccess::alwaysDirty(override);
}

bool FrameDriver::deleteAfterUse(const MUserData& record) {
    return Access::deleteAfterUse(record);
}

void FrameDriver::addUIDrawables(MHWRender::MPxDrawOverride& override, const MDagPath& path,
                                 std::vector<::khost::DrawCall>& calls,
                                 const MHWRender::MFrameContext& context, const MUserData* record) {
    CallRecorder recorder;
    recorder.calls = &calls;
    MHWRender::MHostAccess::withDrawManager<MHWRender::MUIDrawManager>(
        &recorder,
        [&](MHWRender::MUIDrawManager& manager) { override.addUIDrawables(path, manager, context, record); });
    calls.resize(recorder.used);
}

void FrameDriver::recordCalls(
    std::vector<::khost::DrawCall>& calls, const MHWRender::MFrameContext& context,
    const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& run) {
    CallRecorder recorder;
    recorder.calls = &calls;
    MHWRender::MHostAccess::withDrawManager<MHWRender::MUIDrawManager>(
        &recorder, [&](MHWRender::MUIDrawManager& manager) { run(manager, context); });
    calls.resize(recorder.used);
}

void FrameDriver::drawFrame() {
    PendingFrame& pending = pendingFrame();
    pending.preparedPerView.clear();
    collectDrawable(pending.drawable);
    for (std::size_t v = 0; v < Scene::get().views.size(); ++v) {
        if (viewHasCamera(v)) {
            const FrameContextImpl context(Scene::get().views[v], static_cast<int>(v));
            drawView(v, context, pending.drawable, prepareView(v, context, pending.drawable));
        }
    }
    dropUndrawnCalls();
    pending.drawable.clear();
}

void FrameDriver::prepareFrame() {
    PendingFrame& pending = pendingFrame();
    collectDrawable(pending.drawable);
    const std::size_t viewCount = Scene::get().views.size();
    pending.preparedPerView.assign(viewCount, {});
    for (std::size_t v = 0; v < viewCount; ++v) {
        if (viewHasCamera(v)) {
            const FrameContextImpl context(Scene::get().views[v], static_cast<int>(v));
            pending.preparedPerView[v] = prepareView(v, context, pending.drawable);
        }
    }
}

void FrameDriver::drawPreparedFrame() {
    PendingFrame& pending = pendingFrame();
    for (std::size_t v = 0; v < pending.preparedPerView.size(); ++v) {
        if (viewHasCamera(v)) {
            const FrameContextImpl context(Scene::get().views[v], static_cast<int>(v));
            drawView(v, context, pending.drawable, pending.preparedPerView[v]);
        }
    }
    dropUndrawnCalls();
    pending.preparedPerView.clear();
    pending.drawable.clear();
}

void FrameDriver::destroy(Node& node) {
    releaseOverride(node);
    if (MPxNode* user = node.user) {
        // The object stays linked to its node while its destructor runs.
        node.user = nullptr;
        delete user;
    }
}

void destroyPluginNode(Node& node) {
    FrameDriver::destroy(node);
}

void releaseModuleOverrides(const PluginModule& module) {
    std::vector<const Node*> doomed;
    for (const auto& entry : bindings()) {
        if (entry.second.owner == &module) {
            doomed.push_back(entry.first);
        }
    }
    for (const Node* n : doomed) {
        releaseOverride(*n);
    }
}

void markDrawDirty(const Node& node) {
    const auto it = bindings().find(&node);
    if (it != bindings().end()) {
        std::fill(it->second.current.begin(), it->second.current.end(), false);
    }
}

}  // namespace detail

void drawFrame() {
    detail::FrameDriver::drawFrame();
}

void prepareFrame() {
    detail::FrameDriver::prepareFrame();
}

void drawPreparedFrame() {
    detail::FrameDriver::drawPreparedFrame();
}

namespace {
std::vector<DrawCall>& replayCalls() {
    static std::vector<DrawCall> calls;
    return calls;
}
}  // namespace

void replayHostDraw(
    int view, const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& calls) {
    detail::Scene& scene = detail::Scene::get();
    if (view < 0 || static_cast<std::size_t>(view) >= scene.views.size() ||
        !detail::viewHasCamera(static_cast<std::size_t>(view))) {
        replayCalls().clear();
        return;
    }
    const detail::FrameContextImpl context(scene.views[static_cast<std::size_t>(view)], view);
    detail::FrameDriver::recordCalls(replayCalls(), context, calls);
}

const std::vector<DrawCall>& replayedDrawCalls() {
    return replayCalls();
}

}  // namespace khost
