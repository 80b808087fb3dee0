#include "overlay/draw_override.h"

DrawOverride::DrawOverride(const MObject& obj)
    : MHWRender::MPxDrawOverride(obj, nullptr, true), nodeObject(obj) {}

DrawOverride::~DrawOverride() = default;

MHWRender::MPxDrawOverride* DrawOverride::creator(const MObject& obj) {
    return new DrawOverride(obj);
}

MHWRender::DrawAPI DrawOverride::supportedDrawAPIs() const {
    return MHWRender::kOpenGL | MHWRender::kDirectX11 | MHWRender::kOpenGLCoreProfile;
}

bool DrawOverride::hasUIDrawables() const {
    return true;
}

bool DrawOverride::isBounded(const MDagPath&, const MDagPath&) const {
    return false;
}

bool DrawOverride::disableInternalBoundingBoxDraw() const {
    return true;
}
