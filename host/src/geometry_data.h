#pragma once
// The data of transforms, curves, meshes and cameras. Not installed.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "host_access.h"

namespace khost {
namespace detail {

struct CurveData {
    int degree = 3;
    int form = 1;               // MFnNurbsCurve::Form: 1 open, 2 closed, 3 periodic
    std::vector<Vec3> cvs;      // object space
    std::vector<double> knots;  // host convention: numCVs + degree - 1 knots
};

struct MeshAccel;  // acceleration structure; built lazily, dropped on edit

struct MeshData {
    std::vector<std::array<float, 3>> vertices;  // object space
    std::vector<std::array<int, 3>> triangles;   // triangulated faces
    std::vector<int> triangleFace;               // face id of each triangle
    uint64_t version = 0;                        // bumps on every edit
    std::shared_ptr<MeshAccel> accel;            // world-space grid, keyed by version + world matrix
};

struct CameraData {
    double horizontalFovDeg = 54.43;  // the host's default 35 mm lens
    double nearClip = 0.1;
    double farClip = 10000.0;
};

// Transform: local TRS, rotation in degrees, xyz order.
struct TransformData {
    Vec3 translate{{0, 0, 0}}, rotate{{0, 0, 0}}, scale{{1, 1, 1}};
};

}  // namespace detail
}  // namespace khost
