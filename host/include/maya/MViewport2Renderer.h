#pragma once
// Embedded host: the draw API flags a draw override reports as supported.
#include <maya/MApiNamespace.h>

namespace MHWRender {

enum DrawAPI { kNone = 0, kOpenGL = 1, kDirectX11 = 2, kOpenGLCoreProfile = 4, kAllDevices = 7 };

inline DrawAPI operator|(DrawAPI a, DrawAPI b) {
    return static_cast<DrawAPI>(static_cast<int>(a) | static_cast<int>(b));
}

}  // namespace MHWRender
