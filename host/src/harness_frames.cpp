// Scene harness: model views, viewport frames and what the last one
// recorded.
#include <khost/harness.h>

#include <functional>
#include <string>
#include <vector>

#include "frame_state.h"
#include "harness_internal.h"
#include "model.h"
#include "ui_state.h"

namespace khost {

namespace kd = detail;

// ---------------------------------------------------------------- views

int addView(const std::string& camera, int width, int height) {
    kd::Node* shape = kd::shapeOfKind(camera, kd::NodeKind::Camera);
    if (shape == nullptr || width <= 0 || height <= 0) {
        return -1;
    }
    auto& views = kd::viewSet().views;
    views.push_back(kd::View{kd::sharedNode(shape), width, height});
    return static_cast<int>(views.size()) - 1;
}

void setActiveView(int index) {
    if (kd::viewAt(index) == nullptr || index == kd::viewSet().active) {
        return;
    }
    kd::viewSet().active = index;
    kd::fireEvent("ActiveViewChanged");
}

int activeView() {
    return kd::viewSet().active;
}

int viewCount() {
    return static_cast<int>(kd::viewSet().views.size());
}

bool projectToView(int view, const Vec3& world, double& x, double& y) {
    const kd::View* v = kd::viewAt(view);
    if (v == nullptr) {
        x = y = 0.0;
        return false;
    }
    return kd::projectToView(*v, world, x, y);
}

// ---------------------------------------------------------------- frames
namespace {

const kd::FrameSlot* slotOf(const std::string& node) {
    const auto& slots = kd::frameState().slots;
    const auto it = slots.find(kd::findNode(node));  // no slot belongs to a null node
    return it == slots.end() ? nullptr : &it->second;
}

std::vector<DrawCall>& replayCalls() {
    static std::vector<DrawCall> calls;
    return calls;
}

}  // namespace

const std::vector<DrawCall>& drawCalls(int view, const std::string& node) {
    static const std::vector<DrawCall> none;
    const kd::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->calls.size()) {
        return none;
    }
    return slot->calls[static_cast<std::size_t>(view)];
}

const MUserData* userData(int view, const std::string& node) {
    const kd::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->records.size()) {
        return nullptr;
    }
    return slot->records[static_cast<std::size_t>(view)];
}

MHWRender::MPxDrawOverride* drawOverride(const std::string& node) {
    const kd::FrameSlot* slot = slotOf(node);
    return slot ? slot->override : nullptr;
}

void drawFrame() {
    kd::drawFrame();
}

void prepareFrame() {
    kd::prepareFrame();
}

void drawPreparedFrame() {
    kd::drawPreparedFrame();
}

void replayHostDraw(
    int view, const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& calls) {
    if (view < 0 || !kd::viewHasCamera(static_cast<std::size_t>(view))) {
        replayCalls().clear();
        return;
    }
    const kd::FrameContextImpl context(kd::viewSet().views[static_cast<std::size_t>(view)]);
    kd::recordInto(replayCalls(), [&](MHWRender::MUIDrawManager& manager) { calls(manager, context); });
}

const std::vector<DrawCall>& replayedDrawCalls() {
    return replayCalls();
}

}  // namespace khost
