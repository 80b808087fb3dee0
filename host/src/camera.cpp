// Cameras: MFnCamera and the view and projection matrices of a view.
#include <maya/MFnCamera.h>
#include <maya/MMatrix.h>

#include <algorithm>
#include <cmath>

#include "model.h"
#include "ui_state.h"

namespace khost {
namespace detail {

namespace {

constexpr double kPi = 3.14159265358979323846;

const Node* cameraNode(const MObject& object) {
    return liveNodeOf(object, NodeKind::Camera);
}

}  // namespace

// Rotation (degrees, xyz order) that turns a camera's -Z axis from `eye`
// towards `target`, keeping +Y up (no roll).
Vec3 lookAtRotation(const Vec3& eye, const Vec3& target) {
    const double dx = target[0] - eye[0], dy = target[1] - eye[1], dz = target[2] - eye[2];
    const double horizontal = std::sqrt(dx * dx + dz * dz);
    if (horizontal == 0.0 && dy == 0.0) {
        return Vec3{{0.0, 0.0, 0.0}};
    }
    const double pitch = std::atan2(dy, horizontal);
    const double yaw = horizontal == 0.0 ? 0.0 : std::atan2(-dx, -dz);
    return Vec3{{pitch * 180.0 / kPi, yaw * 180.0 / kPi, 0.0}};
}

Mat4 viewMatrix(const View& v) {
    if (!v.cameraShape) {
        return identity4();
    }
    return toMat4(toMMatrix(worldMatrix(*v.cameraShape)).inverse());
}

Mat4 projectionMatrix(const View& v) {
    CameraData cam;
    if (v.cameraShape) {
        cam = v.cameraShape->camera();
    }
    const double aspect = v.height > 0 ? static_cast<double>(v.width) / v.height : 1.0;
    const double fov = std::min(std::max(cam.horizontalFovDeg, 1e-6), 179.999) * kPi / 180.0;
    const double sx = 1.0 / std::tan(fov / 2.0);
    const double sy = sx * aspect;
    const double n = cam.nearClip, f = cam.farClip;
    Mat4 p{};
    p[0][0] = sx;
    p[1][1] = sy;
    p[2][2] = -(f + n) / (f - n);
    p[2][3] = -1.0;
    p[3][2] = -2.0 * f * n / (f - n);
    return p;
}

Mat4 viewProjection(const View& v) {
    return multiply(viewMatrix(v), projectionMatrix(v));
}

}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;

KHOST_DAG_FUNCTION_SET(MFnCamera, MFn::kCamera)

MPoint MFnCamera::eyePoint(MSpace::Space space, MStatus* ReturnStatus) const {
    const kd::Node* n = kd::cameraNode(obj_);
    if (!kd::reportValid(n != nullptr, ReturnStatus)) {
        return MPoint();
    }
    if (space != MSpace::kWorld) {
        return MPoint(0.0, 0.0, 0.0);
    }
    const kd::Vec3 eye = kd::transformPoint(kd::Vec3{{0.0, 0.0, 0.0}}, kd::worldMatrix(*n));
    return MPoint(eye[0], eye[1], eye[2]);
}

MVector MFnCamera::viewDirection(MSpace::Space space, MStatus* ReturnStatus) const {
    const kd::Node* n = kd::cameraNode(obj_);
    if (!kd::reportValid(n != nullptr, ReturnStatus)) {
        return MVector();
    }
    if (space != MSpace::kWorld) {
        return MVector(0.0, 0.0, -1.0);
    }
    const kd::Mat4 m = kd::worldMatrix(*n);
    MVector d(-m[2][0], -m[2][1], -m[2][2]);
    d.normalize();
    return d;
}
