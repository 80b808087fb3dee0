// Viewport 2.0 plug-in classes: the draw override base, the draw data base
// and the UI draw manager, which records what it is asked to draw.
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <utility>
#include <vector>

#include <khost/harness.h>

#include "model.h"
#include "nodes_internal.h"

// ---------------------------------------------------------------- MUserData
MUserData::MUserData() = default;
MUserData::MUserData(bool deleteAfterUse) : deleteAfterUse_(deleteAfterUse) {}
MUserData::~MUserData() = default;
bool MUserData::deleteAfterUse() const {
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

std::vector<DrawCall>& calls(void* recorder) {
    return *static_cast<std::vector<DrawCall>*>(recorder);
}

DrawCall make(DrawCall::Kind kind) {
    DrawCall call;
    call.kind = kind;
    return call;
}

// Arrays of mesh calls already replayed, ready for the next recording;
// the back is the array the next mesh call gets (see recycleDrawCalls).
struct SpareArrays {
    std::vector<MPointArray> points;
    std::vector<MColorArray> colors;
};

SpareArrays& spareArrays() {
    static auto* spare = new SpareArrays();
    return *spare;
}

// Copies `from` into `to`, reusing the storage `to` already has: one
// element-wise copy, no allocation when `to` is large enough.
template <class Array>
void copyInto(Array& to, const Array& from) {
    to.copy(from);
}

void recordMesh(void* recorder, int primitive, const MPointArray& points, const void* normals,
                const MColorArray* colors, const void* indices, const void* texcoords) {
    SpareArrays& spare = spareArrays();
    DrawCall call = make(DrawCall::Mesh);
    call.primitive = primitive;
    if (!spare.points.empty()) {
        call.points = std::move(spare.points.back());
        spare.points.pop_back();
    }
    copyInto(call.points, points);
    if (colors) {
        if (!spare.colors.empty()) {
            call.colors = std::move(spare.colors.back());
            spare.colors.pop_back();
        }
        copyInto(call.colors, *colors);
    }
    call.hasColors = colors != nullptr;
    call.hasNormals = normals != nullptr;
    call.hasIndices = indices != nullptr;
    call.hasTexcoords = texcoords != nullptr;
    calls(recorder).push_back(std::move(call));
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
    DrawCall call = make(DrawCall::BeginDrawable);
    call.selectability = selectability;
    call.selectionName = selectionName;
    calls(impl_).push_back(std::move(call));
}

void MUIDrawManager::beginDrawable(unsigned int name, bool nameIsPickable) {
    beginDrawable(nameIsPickable ? kSelectable : kNonSelectable, name);
}

void MUIDrawManager::endDrawable() {
    calls(impl_).push_back(make(DrawCall::EndDrawable));
}
void MUIDrawManager::beginDrawInXray() {
    calls(impl_).push_back(make(DrawCall::BeginDrawInXray));
}
void MUIDrawManager::endDrawInXray() {
    calls(impl_).push_back(make(DrawCall::EndDrawInXray));
}

void MUIDrawManager::setColor(const MColor& color) {
    DrawCall call = make(DrawCall::SetColor);
    call.color = color;
    calls(impl_).push_back(std::move(call));
}

void MUIDrawManager::setPointSize(float value) {
    DrawCall call = make(DrawCall::SetPointSize);
    call.value = value;
    calls(impl_).push_back(std::move(call));
}

void MUIDrawManager::setLineWidth(float value) {
    DrawCall call = make(DrawCall::SetLineWidth);
    call.value = value;
    calls(impl_).push_back(std::move(call));
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
    DrawCall call = make(DrawCall::Circle2d);
    call.center = center;
    call.radius = radius;
    call.filled = filled;
    calls(impl_).push_back(std::move(call));
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

namespace khost {
namespace detail {

void recycleDrawCalls(std::vector<DrawCall>& calls) {
    MHWRender::SpareArrays& spare = MHWRender::spareArrays();
    for (auto call = calls.rbegin(); call != calls.rend(); ++call) {
        if (call->kind != DrawCall::Mesh) {
            continue;
        }
        spare.points.push_back(std::move(call->points));
        if (call->hasColors) {
            spare.colors.push_back(std::move(call->colors));
        }
    }
    calls.clear();
}

void dropSpareDrawArrays() {
    MHWRender::SpareArrays& spare = MHWRender::spareArrays();
    spare.points.clear();
    spare.colors.clear();
}

}  // namespace detail
}  // namespace khost
