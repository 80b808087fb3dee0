// MFnMesh ray tests on the host's triangle kernel. Each mesh keeps its
// triangles in the space of the last query (world or object) and, once a
// query asked for acceleration, a uniform grid over them; both are rebuilt
// when the mesh or a transform above it has changed.
#include <maya/MFnMesh.h>

#include <cstdint>
#include <vector>

#include "model.h"
#include "raycast.h"
#include "test_hooks.h"

namespace khost {
namespace detail {

struct MeshAccel {
    uint64_t version = 0;              // MeshData::version the triangles were made from
    Mat4 matrix{};                     // object-to-query-space matrix they were made with
    std::vector<geom::Triangle> tris;  // in query space, parallel to MeshData::triangles
    bool gridBuilt = false;
    geom::UniformGrid grid;
};

}  // namespace detail
}  // namespace khost

namespace kd = khost::detail;
namespace geom = khost::geom;

namespace {

kd::Node* meshNode(const MObject& object) {
    return kd::liveNodeOf(object, kd::NodeKind::Mesh);
}

// The mesh's triangles in the space `m` maps object space to, reusing the
// cached ones when neither the mesh nor the matrix changed.
kd::MeshAccel& trianglesIn(kd::Node& node, const kd::Mat4& m) {
    kd::MeshData& mesh = node.mesh();
    auto& accel = mesh.accel;
    if (accel && accel->version == mesh.version && accel->matrix == m) {
        return *accel;
    }
    accel = std::make_shared<kd::MeshAccel>();
    accel->version = mesh.version;
    accel->matrix = m;
    accel->tris.reserve(mesh.triangles.size());
    auto vertex = [&](int index) {
        const auto& v = mesh.vertices[static_cast<std::size_t>(index)];
        const kd::Vec3 p = kd::transformPoint(kd::Vec3{{v[0], v[1], v[2]}}, m);
        return geom::Vec3f{{static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2])}};
    };
    for (const auto& t : mesh.triangles) {
        accel->tris.push_back(geom::Triangle{vertex(t[0]), vertex(t[1]), vertex(t[2])});
    }
    return *accel;
}

// The triangle indices the face and triangle id lists select: faces alone
// select all their triangles; both lists together are (face, triangle in
// face) pairs; triangle ids alone are mesh-wide triangle indices.
std::vector<std::size_t> selectedTriangles(const kd::MeshData& mesh, const MIntArray* faceIds,
                                           const MIntArray* triIds) {
    std::vector<std::size_t> firstOfFace;  // first triangle of each face
    for (std::size_t i = 0; i < mesh.triangleFace.size(); ++i) {
        const auto face = static_cast<std::size_t>(mesh.triangleFace[i]);
        if (face >= firstOfFace.size()) {
            firstOfFace.resize(face + 1, i);
        }
    }
    std::vector<std::size_t> out;
    auto faceTriangles = [&](int face, int local) {
        if (face < 0 || static_cast<std::size_t>(face) >= firstOfFace.size()) {
            return;
        }
        for (std::size_t i = firstOfFace[static_cast<std::size_t>(face)];
             i < mesh.triangleFace.size() && mesh.triangleFace[i] == face; ++i) {
            if (local < 0 || static_cast<int>(i - firstOfFace[static_cast<std::size_t>(face)]) == local) {
                out.push_back(i);
            }
        }
    };
    if (faceIds != nullptr) {
        const unsigned int n =
            triIds != nullptr ? std::min(faceIds->length(), triIds->length()) : faceIds->length();
        for (unsigned int i = 0; i < n; ++i) {
            faceTriangles((*faceIds)[i], triIds != nullptr ? (*triIds)[i] : -1);
        }
    } else if (triIds != nullptr) {
        for (unsigned int i = 0; i < triIds->length(); ++i) {
            const int t = (*triIds)[i];
            if (t >= 0 && static_cast<std::size_t>(t) < mesh.triangles.size()) {
                out.push_back(static_cast<std::size_t>(t));
            }
        }
    }
    return out;
}

template <class T>
void setIfWanted(T* out, T value) {
    if (out != nullptr) {
        *out = value;
    }
}

enum class Query { Any, Closest };

bool intersect(MObject& obj, Query kind, const MFloatPoint& raySource, const MFloatVector& rayDirection,
               const MIntArray* faceIds, const MIntArray* triIds, MSpace::Space space, float maxParam,
               bool testBothDirections, MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint,
               float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
               float tolerance, MStatus* ReturnStatus) {
    kd::Node* node = meshNode(obj);
    if (!kd::reportValid(node != nullptr, ReturnStatus)) {
        return false;
    }
    const kd::Mat4 m = space == MSpace::kWorld ? kd::worldMatrix(*node) : kd::identity4();
    kd::MeshAccel& accel = trianglesIn(*node, m);

    geom::RayQuery q;
    q.source = {{raySource.x, raySource.y, raySource.z}};
    q.direction = {{rayDirection.x, rayDirection.y, rayDirection.z}};
    q.maxParam = maxParam;
    q.bothDirections = testBothDirections;
    q.tolerance = tolerance;

    geom::RayHit hit;
    bool found = false;
    if (faceIds != nullptr || triIds != nullptr) {
        const std::vector<std::size_t> subset = selectedTriangles(node->mesh(), faceIds, triIds);
        std::vector<geom::Triangle> tris;
        tris.reserve(subset.size());
        for (std::size_t i : subset) {
            tris.push_back(accel.tris[i]);
        }
        found = kind == Query::Any ? geom::anyHitBruteForce(tris, q, &hit)
                                   : geom::closestHitBruteForce(tris, q, &hit);
        if (found) {
            hit.triangle = subset[hit.triangle];
        }
    } else if (accelParams != nullptr) {
        if (!accel.gridBuilt) {
            accel.grid.build(accel.tris);
            accel.gridBuilt = true;
            ++kd::hostCounters().accelBuilds;
        }
        found = kind == Query::Any ? accel.grid.anyHit(q, &hit) : accel.grid.closestHit(q, &hit);
    } else {
        found = kind == Query::Any ? geom::anyHitBruteForce(accel.tris, q, &hit)
                                   : geom::closestHitBruteForce(accel.tris, q, &hit);
    }
    if (!found) {
        return false;
    }
    hitPoint = MFloatPoint(raySource.x + hit.t * rayDirection.x, raySource.y + hit.t * rayDirection.y,
                           raySource.z + hit.t * rayDirection.z);
    const auto& faces = node->mesh().triangleFace;
    const int face = hit.triangle < faces.size() ? faces[hit.triangle] : -1;
    setIfWanted(hitRayParam, hit.t);
    setIfWanted(hitFace, face);
    setIfWanted(hitBary1, hit.bary1);
    setIfWanted(hitBary2, hit.bary2);
    if (hitTriangle != nullptr) {
        std::size_t first = hit.triangle;
        while (first > 0 && faces[first - 1] == face) {
            --first;
        }
        *hitTriangle = static_cast<int>(hit.triangle - first);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- MMeshIsectAccelParams

MMeshIsectAccelParams::MMeshIsectAccelParams() = default;

// ---------------------------------------------------------------- MFnMesh

KHOST_DAG_FUNCTION_SET(MFnMesh, MFn::kMesh)

MMeshIsectAccelParams MFnMesh::autoUniformGridParams() {
    return MMeshIsectAccelParams();
}

MMeshIsectAccelParams MFnMesh::uniformGridParams(int xDiv, int yDiv, int zDiv) {
    MMeshIsectAccelParams params;
    params.data_.autoSize = false;
    params.data_.divisions[0] = xDiv;
    params.data_.divisions[1] = yDiv;
    params.data_.divisions[2] = zDiv;
    return params;
}

bool MFnMesh::anyIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                              const MIntArray* faceIds, const MIntArray* triIds, bool /*idsSorted*/,
                              MSpace::Space space, float maxParam, bool testBothDirections,
                              MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint, float* hitRayParam,
                              int* hitFace, int* hitTriangle, float* hitBary1, float* hitBary2,
                              float tolerance, MStatus* ReturnStatus) {
    ++kd::hostCounters().anyIntersection;
    return intersect(obj_, Query::Any, raySource, rayDirection, faceIds, triIds, space, maxParam,
                     testBothDirections, accelParams, hitPoint, hitRayParam, hitFace, hitTriangle, hitBary1,
                     hitBary2, tolerance, ReturnStatus);
}

bool MFnMesh::closestIntersection(const MFloatPoint& raySource, const MFloatVector& rayDirection,
                                  const MIntArray* faceIds, const MIntArray* triIds, bool /*idsSorted*/,
                                  MSpace::Space space, float maxParam, bool testBothDirections,
                                  MMeshIsectAccelParams* accelParams, MFloatPoint& hitPoint,
                                  float* hitRayParam, int* hitFace, int* hitTriangle, float* hitBary1,
                                  float* hitBary2, float tolerance, MStatus* ReturnStatus) {
    return intersect(obj_, Query::Closest, raySource, rayDirection, faceIds, triIds, space, maxParam,
                     testBothDirections, accelParams, hitPoint, hitRayParam, hitFace, hitTriangle, hitBary1,
                     hitBary2, tolerance, ReturnStatus);
}

MStatus MFnMesh::freeCachedIntersectionAccelerator() {
    kd::Node* node = meshNode(obj_);
    if (node == nullptr) {
        return MStatus::kInvalidParameter;
    }
    node->mesh().accel.reset();
    return MStatus::kSuccess;
}
