// Viewport 2.0 plug-in classes: the draw override base, the draw data base
// and the UI draw manager, which records what it is asked to draw.
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <vector>

#include "draw_recording.h"
#include "model.h"

// ---------------------------------------------------------------- MUserData
MUserData::MUserData() = default;
MUserData::MUserData(bool deleteAfterUse) : deleteAfterUse_(deleteAfterUse) {}
MUserData::~MUserData() = default;
bool MUserData::deleteAfterUse() {
    return deleteAfterUse_;
}
void MUserData::setDeleteAfterUse(bool shouldDelete) {
    deleteAfterUse_ = shouldDelete;
}
const char* MUserData::className() {
    return "MUserData";
}

namespace MHWRender {

// ---------------------------------------------------------------- MPxDrawOverride
MPxDrawOverride::MPxDrawOverride(const MObject& obj, GeometryDrawOverrideCb callback, bool isAlwaysDirty)
    : obj_(obj), callback_(callback), alwaysDirty_(isAlwaysDirty) {}
MPxDrawOverride::~MPxDrawOverride() = default;

DrawAPI MPxDrawOverride::supportedDrawAPIs() const {
    return kOpenGL;
}
bool MPxDrawOverride::hasUIDrawables() const {
    return false;
}
MMatrix MPxDrawOverride::transform(const MDagPath& objPath, const MDagPath&) const {
    return objPath.inclusiveMatrix();
}
MBoundingBox MPxDrawOverride::boundingBox(const MDagPath&, const MDagPath&) const {
    return MBoundingBox();
}
bool MPxDrawOverride::isBounded(const MDagPath&, const MDagPath&) const {
    return true;
}
bool MPxDrawOverride::disableInternalBoundingBoxDraw() const {
    return false;
}
bool MPxDrawOverride::excludedFromPostEffects() const {
    return true;
}
bool MPxDrawOverride::isTransparent() const {
    return false;
}
bool MPxDrawOverride::wantUserSelection() const {
    return false;
}
bool MPxDrawOverride::traceCallSequence() const {
    return false;
}
void MPxDrawOverride::handleTraceMessage(const MString&) const {}
void MPxDrawOverride::addUIDrawables(const MDagPath&, MUIDrawManager&, const MFrameContext&,
                                     const MUserData*) {}
bool MPxDrawOverride::pointSnappingActive() {
    return false;
}

// ---------------------------------------------------------------- MUIDrawManager
namespace {

using khost::DrawCall;

// Recording overwrites the calls of the previous frame in place: a steady
// frame makes the same calls as the one before, so each call finds its
// arrays already sized and nothing is allocated, moved or destroyed.
khost::detail::CallRecorder& recorderOf(void* recorder) {
    return *static_cast<khost::detail::CallRecorder*>(recorder);
}

// The next call slot, reset to a call of `kind` (arrays emptied, their
// storage kept).
DrawCall& next(void* recorder, DrawCall::Kind kind) {
    khost::detail::CallRecorder& r = recorderOf(recorder);
    std::vector<DrawCall>& calls = *r.calls;
    if (r.used == calls.size()) {
        calls.emplace_back();
    }
    DrawCall& call = calls[r.used++];
    call.kind = kind;
    call.selectability = 0;
    call.selectionName = 0;
    call.color = MColor();
    call.value = 0.0f;
    call.primitive = 0;
    call.points.clear();
    call.colors.clear();
    call.hasColors = call.hasNormals = call.hasIndices = call.hasTexcoords = false;
    call.center = MPoint();
    call.radius = 0.0;
    call.filled = false;
    return call;
}

void recordMesh(void* recorder, int primitive, const MPointArray& points, const void* normals,
                const MColorArray* colors, const void* indices, const void* texcoords) {
    DrawCall& call = next(recorder, DrawCall::Mesh);
    call.primitive = primitive;
    call.points.copy(points);
    if (colors) {
        call.colors.copy(*colors);
    }
    call.hasColors = colors != nullptr;
    call.hasNormals = normals != nullptr;
    call.hasIndices = indices != nullptr;
    call.hasTexcoords = texcoords != nullptr;
}

MPointArray toPoints(const MFloatPointArray& in) {
    MPointArray out;
    for (unsigned int i = 0; i < in.length(); ++i) {
        out.append(MPoint(in[i]));
    }
    return out;
}

}  // namespace

MUIDrawManager::MUIDrawManager(void* recorder) : impl_(recorder) {}
MUIDrawManager::~MUIDrawManager() = default;

void MUIDrawManager::beginDrawable(Selectability selectability, unsigned int selectionName) {
    DrawCall& call = next(impl_, DrawCall::BeginDrawable);
    call.selectability = selectability;
    call.selectionName = selectionName;
}

void MUIDrawManager::beginDrawable(unsigned int name, bool nameIsPickable) {
    beginDrawable(nameIsPickable ? kSelectable : kNonSelectable, name);
}

void MUIDrawManager::endDrawable() {
    next(impl_, DrawCall::EndDrawable);
}
void MUIDrawManager::beginDrawInXray() {
    next(impl_, DrawCall::BeginDrawInXray);
}
void MUIDrawManager::endDrawInXray() {
    next(impl_, DrawCall::EndDrawInXray);
}

void MUIDrawManager::setColor(const MColor& color) {
    next(impl_, DrawCall::SetColor).color = color;
}

void MUIDrawManager::setPointSize(float value) {
    next(impl_, DrawCall::SetPointSize).value = value;
}

void MUIDrawManager::setLineWidth(float value) {
    next(impl_, DrawCall::SetLineWidth).value = value;
}

// State the recorder does not keep: the embedded host draws nothing, and no
// recorded call depends on it.
void MUIDrawManager::setColorIndex(const short) {}
void MUIDrawManager::setLineStyle(LineStyle) {}
void MUIDrawManager::setLineStyle(unsigned int, unsigned short) {}
void MUIDrawManager::setPaintStyle(PaintStyle) {}

void MUIDrawManager::setDepthPriority(unsigned int priority) {
    depthPriority_ = priority;
}
unsigned int MUIDrawManager::depthPriority() const {
    return depthPriority_;
}

void MUIDrawManager::mesh(Primitive mode, const MPointArray& position, const MVectorArray* normal,
                          const MColorArray* color, const MUintArray* index, const MPointArray* texcoord) {
    recordMesh(impl_, mode, position, normal, color, index, texcoord);
}

void MUIDrawManager::mesh(Primitive mode, const MFloatPointArray& position, const MFloatVectorArray* normal,
                          const MColorArray* color, const MUintArray* index,
                          const MFloatPointArray* texcoord) {
    recordMesh(impl_, mode, toPoints(position), normal, color, index, texcoord);
}

void MUIDrawManager::circle2d(const MPoint& center, double radius, bool filled) {
    DrawCall& call = next(impl_, DrawCall::Circle2d);
    call.center = center;
    call.radius = radius;
    call.filled = filled;
}

void MUIDrawManager::circle2d(const MPoint& center, double radius, int, bool filled) {
    circle2d(center, radius, filled);
}

// 3D points and lines are recorded as the mesh primitives they draw.
void MUIDrawManager::point(const MPoint& p) {
    MPointArray points;
    points.append(p);
    recordMesh(impl_, kPoints, points, nullptr, nullptr, nullptr, nullptr);
}

void MUIDrawManager::line(const MPoint& startPoint, const MPoint& endPoint) {
    MPointArray points;
    points.append(startPoint);
    points.append(endPoint);
    recordMesh(impl_, kLines, points, nullptr, nullptr, nullptr, nullptr);
}

MStatus MUIDrawManager::points(const MPointArray& pts, bool draw2D) {
    if (draw2D) {
        return MStatus::kNotImplemented;
    }
    recordMesh(impl_, kPoints, pts, nullptr, nullptr, nullptr, nullptr);
    return MStatus::kSuccess;
}

MStatus MUIDrawManager::lineList(const MPointArray& pts, bool draw2D) {
    if (pts.length() % 2 != 0) {
        return MStatus::kInvalidParameter;  // segments take two points each
    }
    if (draw2D) {
        return MStatus::kNotImplemented;
    }
    recordMesh(impl_, kLines, pts, nullptr, nullptr, nullptr, nullptr);
    return MStatus::kSuccess;
}

MStatus MUIDrawManager::lineStrip(const MPointArray& pts, bool draw2D) {
    if (draw2D) {
        return MStatus::kNotImplemented;
    }
    recordMesh(impl_, kLineStrip, pts, nullptr, nullptr, nullptr, nullptr);
    return MStatus::kSuccess;
}

// Screen-space forms and 3D circles have no recorded form: they are
// accepted and dropped.
void MUIDrawManager::mesh2d(Primitive, const MPointArray&, const MColorArray*, const MUintArray*,
                            const MPointArray*) {}
void MUIDrawManager::circle(const MPoint&, const MVector&, double, bool) {}
void MUIDrawManager::circle(const MPoint&, const MVector&, double, int, bool) {}
void MUIDrawManager::point2d(const MPoint&) {}
void MUIDrawManager::line2d(const MPoint&, const MPoint&) {}

}  // namespace MHWRender
