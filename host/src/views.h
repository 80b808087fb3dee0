#pragma once
// Model views and the projection they share with frame contexts. Not
// installed.
#include <memory>
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

struct View {
    std::shared_ptr<Node> cameraShape;
    int width = 640;
    int height = 480;
};

// Projection shared by M3dView::worldToView and MFrameContext.
// The model views, in the order they were added, and the active one.
struct ViewSet {
    std::vector<View> views;
    int active = 0;
};
// One per process, never destroyed (like the scene).
ViewSet& viewSet();

Mat4 viewMatrix(const View& v);        // inverse of the camera's world matrix
Mat4 projectionMatrix(const View& v);  // OpenGL-style perspective, camera looks down -Z
Mat4 viewProjection(const View& v);    // view * projection

}  // namespace detail
}  // namespace khost
