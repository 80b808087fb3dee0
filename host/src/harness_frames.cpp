// Scene harness: viewport frames and what the last one recorded.
#include <khost/harness.h>

#include <functional>
#include <string>
#include <vector>

#include "frame_context.h"
#include "frame_state.h"
#include "model.h"
#include "views.h"

namespace khost {

using detail::Node;
using detail::Scene;

namespace {

const detail::FrameSlot* slotOf(const std::string& node) {
    const Node* n = detail::findNode(node);
    if (!n) {
        return nullptr;
    }
    const auto& frames = detail::frameState().slots;
    const auto it = frames.find(n);
    return it == frames.end() ? nullptr : &it->second;
}

}  // namespace

const std::vector<DrawCall>& drawCalls(int view, const std::string& node) {
    static const std::vector<DrawCall> none;
    const detail::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->calls.size()) {
        return none;
    }
    return slot->calls[static_cast<std::size_t>(view)];
}

const MUserData* userData(int view, const std::string& node) {
    const detail::FrameSlot* slot = slotOf(node);
    if (!slot || view < 0 || static_cast<std::size_t>(view) >= slot->records.size()) {
        return nullptr;
    }
    return slot->records[static_cast<std::size_t>(view)];
}

MHWRender::MPxDrawOverride* drawOverride(const std::string& node) {
    const detail::FrameSlot* slot = slotOf(node);
    return slot ? slot->override : nullptr;
}

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
    const detail::ViewSet& scene = detail::viewSet();
    if (view < 0 || static_cast<std::size_t>(view) >= scene.views.size() ||
        !detail::FrameDriver::viewHasCamera(static_cast<std::size_t>(view))) {
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
