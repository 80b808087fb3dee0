// Scene harness: model views and the console capture.
#include <khost/harness.h>
#include <maya/MFn.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <unordered_set>

#include "callbacks.h"
#include "harness_internal.h"
#include "model.h"
#include "nurbs.h"
#include "views.h"

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

// ---------------------------------------------------------------- console

ConsoleCapture::ConsoleCapture()
    : oldOut_((std::cout.flush(), std::cout.rdbuf(out_.rdbuf()))),
      oldErr_((std::cerr.flush(), std::cerr.rdbuf(err_.rdbuf()))) {}

ConsoleCapture::~ConsoleCapture() {
    std::cout.flush();
    std::cerr.flush();
    std::cout.rdbuf(oldOut_);
    std::cerr.rdbuf(oldErr_);
}

std::string ConsoleCapture::out() const {
    return out_.str();
}

std::string ConsoleCapture::err() const {
    return err_.str();
}

}  // namespace khost
