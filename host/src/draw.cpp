// Viewport 2.0 plug-in classes: the draw override base, the draw data base
// and the UI draw manager, which records what it is asked to draw; and the
// names of the kinds of recorded calls, for messages and dumps.
#include <maya/MPxDrawOverride.h>
#include <maya/MUIDrawManager.h>
#include <maya/MUserData.h>

#include <vector>

#include "frame_state.h"
#include "model.h"

namespace khost {

const char* toString(DrawCall::Kind kind) {
    static const char* const kNames[] = {"BeginDrawable", "EndDrawable", "BeginDrawInXray",
                                         "EndDrawInXray", "SetColor",    "SetPointSize",
                                         "SetLineWidth",  "Mesh",        "Circle2d"};
    const int index = static_cast<int>(kind);
    return index >= 0 && index <= DrawCall::Circle2d ? kNames[index] : "Unknown";
}

}  // namespace khost

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

// The next call slot, reset to a call of `kind` (arrays emptied, their
// storage kept). Recording overwrites the calls of the previous frame in
// place: a steady frame makes the same calls as the one before, so each
// call finds its arrays already sized and nothing is allocated, moved or
// destroyed.
DrawCall& next(void* recorder, DrawCall::Kind kind) {
    khost::detail::CallRecorder& r = *static_cast<khost::detail::CallRecorder*>(recorder);
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

void recordMesh(void* recorder, int primitive, const MPointArray& points, const void* normals = nullptr,
                const MColorArray* colors = nullptr, const void* indices = nullptr,
                const void* texcoords = nullptr) {
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

// A point or line list recorded as a mesh; the screen-space forms are not
// implemented.
MStatus recordList(void* recorder, int primitive, const MPointArray& points, bool draw2D) {
    if (draw2D) {
        return MStatus::kNotImplemented;
    }
    recordMesh(recorder, primitive, points);
    return MStatus::kSuccess;
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
    recordMesh(impl_, kPoints, MPointArray(&p, 1));
}

void MUIDrawManager::line(const MPoint& startPoint, const MPoint& endPoint) {
    const MPoint ends[] = {startPoint, endPoint};
    recordMesh(impl_, kLines, MPointArray(ends, 2));
}

MStatus MUIDrawManager::points(const MPointArray& pts, bool draw2D) {
    return recordList(impl_, kPoints, pts, draw2D);
}

MStatus MUIDrawManager::lineList(const MPointArray& pts, bool draw2D) {
    if (pts.length() % 2 != 0) {
        return MStatus::kInvalidParameter;  // segments take two points each
    }
    return recordList(impl_, kLines, pts, draw2D);
}

MStatus MUIDrawManager::lineStrip(const MPointArray& pts, bool draw2D) {
    return recordList(impl_, kLineStrip, pts, draw2D);
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
