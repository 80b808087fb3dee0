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
    kd::ViewSet& s = kd::viewSet();
    kd::View view;
    view.cameraShape = kd::sharedNode(shape);
    view.width = width;
    view.height = height;
    s.views.push_back(view);
    return static_cast<int>(s.views.size()) - 1;
}

void setActiveView(int index) {
    kd::ViewSet& s = kd::viewSet();
    if (index < 0 || static_cast<std::size_t>(index) >= s.views.size() || index == s.active) {
        return;
    }
    s.active = index;
    kd::fireEvent("ActiveViewChanged");
}

int activeView() {
    return kd::viewSet().active;
}

int viewCount() {
    return static_cast<int>(kd::viewSet().views.size());
}

bool projectToView(int view, const Vec3& world, double& x, double& y) {
    const auto& views = kd::viewSet().views;
    if (view < 0 || static_cast<std::size_t>(view) >= views.size()) {
        x = y = 0.0;
        return false;
    }
    return kd::projectToView(views[static_cast<std::size_t>(view)], world, x, y);
}

// ---------------------------------------------------------------- frames
namespace {

const kd::FrameSlot* slotOf(const std::string& node) {
    const kd::Node* n = kd::findNode(node);
    if (!n) {
        return nullptr;
    }
    const auto& frames = kd::frameState().slots;
    const auto it = frames.find(n);
    return it == frames.end() ? nullptr : &it->second;
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
    kd::FrameDriver::drawFrame();
}

void prepareFrame() {
    kd::FrameDriver::prepareFrame();
}

void drawPreparedFrame() {
    kd::FrameDriver::drawPreparedFrame();
}

void replayHostDraw(
    int view, const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& calls) {
    const kd::ViewSet& scene = kd::viewSet();
    if (view < 0 || static_cast<std::size_t>(view) >= scene.views.size() ||
        !kd::FrameDriver::viewHasCamera(static_cast<std::size_t>(view))) {
        replayCalls().clear();
        return;
    }
    const kd::FrameContextImpl context(scene.views[static_cast<std::size_t>(view)], view);
    kd::FrameDriver::recordCalls(replayCalls(), context, calls);
}

const std::vector<DrawCall>& replayedDrawCalls() {
    return replayCalls();
}

}  // namespace khost
