#pragma once
// The host's UI around the scene: the model views and the projection they
// share with frame contexts, and the installed event callbacks and their
// delivery. Not installed.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

// ---------------------------------------------------------------- views
struct View {
    std::shared_ptr<Node> cameraShape;
    int width = 640;
    int height = 480;
};

// The model views, in the order they were added, and the active one.
struct ViewSet {
    std::vector<View> views;
    int active = 0;
};
// One per process, never destroyed (like the scene).
ViewSet& viewSet();
// The view at that position, or null.
const View* viewAt(int index);

// The projection M3dView::worldToView and MFrameContext share.
Mat4 viewMatrix(const View& v);        // inverse of the camera's world matrix
Mat4 projectionMatrix(const View& v);  // OpenGL-style perspective, camera looks down -Z
Mat4 viewProjection(const View& v);    // view * projection

// ---------------------------------------------------------------- events
struct Callback {
    std::string event;
    void (*fn)(void*) = nullptr;
    void* clientData = nullptr;
};

struct CallbackRegistry {
    std::map<uintptr_t, Callback> callbacks;  // by id
    uintptr_t nextId = 1;
    std::size_t dangling = 0;        // left installed by an unloaded plug-in
    std::vector<uintptr_t> running;  // ids of the callbacks being run, innermost last
};
// One per process, never destroyed (like the scene).
CallbackRegistry& callbackRegistry();

// Fires every callback registered for `event`.
void fireEvent(const std::string& event);

}  // namespace detail
}  // namespace khost
