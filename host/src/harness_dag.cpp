// Scene harness: a new scene, building and editing the DAG, and the
// lookups of nodes by name that the other harness sources share.
#include <khost/harness.h>

#include <algorithm>
#include <cmath>

#include "harness_internal.h"
#include "model.h"
#include "nurbs.h"

namespace khost {
namespace detail {

Node* shapeOfKind(const std::string& name, NodeKind kind) {
    Node* n = findNode(name);
    if (n != nullptr && n->kind != kind && n->kind == NodeKind::Transform) {
        const auto it = std::find_if(n->children.begin(), n->children.end(),
                                     [kind](const Node* c) { return c->kind == kind; });
        n = it != n->children.end() ? *it : nullptr;
    }
    return n != nullptr && n->kind == kind ? n : nullptr;
}

MDagPath pathOf(Node* n) {
    MDagPath p;
    Access::node(p) = sharedNode(n);
    return p;
}

namespace {

// Sets a channel of the transform a name refers to: the node itself, or a
// shape's parent.
void setChannel(const std::string& name, Vec3 TransformData::*channel, const Vec3& value) {
    Node* n = findNode(name);
    if (n != nullptr && n->isShape()) {
        n = n->parent;
    }
    if (n != nullptr && n->kind == NodeKind::Transform) {
        n->transform().*channel = value;
    }
}

// False, with a reason, for a requested name the host would refuse ("" is
// fine), or for a parent that is no transform ("" is the world).
bool checkNameAndParent(const std::string& name, const std::string& parent, Node*& parentNode,
                        std::string* error) {
    if (!name.empty() && !isValidNodeName(name)) {
        return refuse(error, "invalid node name '" + name + "'");
    }
    parentNode = parent.empty() ? nullptr : findNode(parent);
    if (!parent.empty() && (parentNode == nullptr || parentNode->kind != NodeKind::Transform)) {
        return refuse(error, "no transform named '" + parent + "'");
    }
    return true;
}

// A transform with one shape of `kind` below it; returns the shape.
Node& addTransformAndShape(NodeKind kind, const std::string& name, const std::string& defaultBase,
                           Node* parent) {
    const std::string transformName = uniqueNodeName(name, defaultBase);
    Node& transform = addNode(NodeKind::Transform, transformName, parent);
    return addNode(kind, shapeNameFor(transformName), &transform);
}

// The uniform knot vector of a curve given without one (clamped unless periodic).
std::vector<double> defaultKnots(int numCVs, int degree, int form) {
    return form == geom::kFormPeriodic ? geom::uniformPeriodicKnots(numCVs, degree)
                                       : geom::uniformClampedKnots(numCVs, degree);
}

}  // namespace
}  // namespace detail

namespace kd = detail;

// ---------------------------------------------------------------- scene

void newScene() {
    kd::resetScene(true);
}

// ---------------------------------------------------------------- DAG

CurveDesc openCurve(const std::vector<Vec3>& cvs, int degree) {
    return CurveDesc{degree, geom::kFormOpen, cvs, {}};
}

CurveDesc periodicCircle(double radius, int spans, int degree, const Vec3& center) {
    CurveDesc desc;
    desc.degree = degree;
    desc.form = geom::kFormPeriodic;
    if (spans < 1 || degree < 1) {
        return desc;
    }
    constexpr double kTwoPi = 6.28318530717958647692;
    std::vector<Vec3> cvs;  // the first `degree` repeated at the end
    for (int i = 0; i < spans + degree; ++i) {
        const double a = kTwoPi * (i % spans) / spans;
        cvs.push_back(Vec3{{std::cos(a), 0.0, -std::sin(a)}});  // counter-clockwise seen from +Y
    }
    // Scale so that the curve passes at `radius` from the centre at its knots.
    const std::vector<double> knots = geom::uniformPeriodicKnots(static_cast<int>(cvs.size()), degree);
    double start = 0.0, end = 0.0;
    geom::knotDomain(degree, knots, start, end);
    const geom::Point3 p = geom::evaluate(degree, cvs, knots, start);
    const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    const double scale = r > 0.0 && std::isfinite(r) ? radius / r : radius;
    for (Vec3& cv : cvs) {
        cv = Vec3{{center[0] + cv[0] * scale, center[1] + cv[1] * scale, center[2] + cv[2] * scale}};
    }
    desc.cvs = cvs;
    desc.knots = knots;
    return desc;
}

MeshDesc planeMesh(double size, int subdivisions, const Vec3& center, int normalAxis) {
    MeshDesc desc;
    const int n = std::max(1, subdivisions);
    const int axis = ((normalAxis % 3) + 3) % 3;
    const int u = (axis + 1) % 3, v = (axis + 2) % 3;  // u x v points along the normal axis
    for (int j = 0; j <= n; ++j) {
        for (int i = 0; i <= n; ++i) {
            Vec3 p = center;
            p[static_cast<std::size_t>(u)] += size * (static_cast<double>(i) / n - 0.5);
            p[static_cast<std::size_t>(v)] += size * (static_cast<double>(j) / n - 0.5);
            desc.vertices.push_back(p);
        }
    }
    for (int j = 0; j < n; ++j) {
        for (int i = 0; i < n; ++i) {
            const int a = j * (n + 1) + i;
            desc.faces.push_back({a, a + 1, a + n + 2, a + n + 1});
        }
    }
    return desc;
}

MeshDesc boxMesh(const Vec3& minCorner, const Vec3& maxCorner) {
    MeshDesc desc;
    for (int k = 0; k < 2; ++k) {
        for (int j = 0; j < 2; ++j) {
            for (int i = 0; i < 2; ++i) {
                desc.vertices.push_back(
                    Vec3{{i != 0 ? maxCorner[0] : minCorner[0], j != 0 ? maxCorner[1] : minCorner[1],
                          k != 0 ? maxCorner[2] : minCorner[2]}});
            }
        }
    }
    // Vertex (i, j, k) is i + 2j + 4k; every face is wound to face outwards.
    desc.faces = {{0, 4, 6, 2}, {1, 3, 7, 5}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 2, 3, 1}, {4, 5, 7, 6}};
    return desc;
}

std::string createTransform(const std::string& name, const std::string& parent) {
    kd::Node* parentNode = nullptr;
    if (!kd::checkNameAndParent(name, parent, parentNode, nullptr)) {
        return "";
    }
    return kd::addNode(kd::NodeKind::Transform, kd::uniqueNodeName(name, "transform"), parentNode).name;
}

std::string createCurve(const CurveDesc& desc, const std::string& name, const std::string& parent,
                        std::string* error) {
    std::vector<double> knots =
        desc.knots.empty() ? kd::defaultKnots(static_cast<int>(desc.cvs.size()), desc.degree, desc.form)
                           : desc.knots;
    const std::string reason = geom::validateCurve(desc.degree, desc.form, desc.cvs, knots);
    if (!reason.empty()) {
        kd::refuse(error, reason);
        return "";
    }
    kd::Node* parentNode = nullptr;
    if (!kd::checkNameAndParent(name, parent, parentNode, error)) {
        return "";
    }
    kd::Node& shape = kd::addTransformAndShape(kd::NodeKind::NurbsCurve, name, "curve", parentNode);
    shape.curve() = kd::CurveData{desc.degree, desc.form, desc.cvs, std::move(knots)};
    return shape.parent->name;
}

std::string createMesh(const MeshDesc& desc, const std::string& name, const std::string& parent,
                       std::string* error) {
    if (desc.faces.empty()) {
        kd::refuse(error, "a mesh needs at least one face");
        return "";
    }
    for (const auto& face : desc.faces) {
        if (face.size() < 3) {
            kd::refuse(error, "a face needs at least three vertices");
            return "";
        }
        for (int v : face) {
            if (v < 0 || static_cast<std::size_t>(v) >= desc.vertices.size()) {
                kd::refuse(error, "face vertex index out of range");
                return "";
            }
        }
    }
    kd::Node* parentNode = nullptr;
    if (!kd::checkNameAndParent(name, parent, parentNode, error)) {
        return "";
    }
    static uint64_t meshVersions = 0;
    kd::Node& shape = kd::addTransformAndShape(kd::NodeKind::Mesh, name, "pCube", parentNode);
    kd::MeshData& mesh = shape.mesh();
    for (const Vec3& v : desc.vertices) {
        mesh.vertices.push_back(
            {{static_cast<float>(v[0]), static_cast<float>(v[1]), static_cast<float>(v[2])}});
    }
    for (std::size_t f = 0; f < desc.faces.size(); ++f) {
        const auto& face = desc.faces[f];
        for (std::size_t i = 1; i + 1 < face.size(); ++i) {
            mesh.triangles.push_back({{face[0], face[i], face[i + 1]}});
            mesh.triangleFace.push_back(static_cast<int>(f));
        }
    }
    mesh.version = ++meshVersions;
    return shape.parent->name;
}

std::string createCamera(const Vec3& eye, const Vec3& target, double horizontalFovDeg,
                         const std::string& name, const std::string& parent) {
    kd::Node* parentNode = nullptr;
    if (!kd::checkNameAndParent(name, parent, parentNode, nullptr)) {
        return "";
    }
    kd::Node& shape = kd::addTransformAndShape(kd::NodeKind::Camera, name, "camera", parentNode);
    shape.camera().horizontalFovDeg = horizontalFovDeg;
    kd::Node& transform = *shape.parent;
    transform.transform().translate = eye;
    transform.transform().rotate = kd::lookAtRotation(eye, target);
    return transform.name;
}

bool deleteNode(const std::string& name, bool undoable) {
    kd::Node* n = kd::findNode(name);
    if (n == nullptr) {
        return false;
    }
    kd::removeSubtree(*n, undoable);
    return true;
}

void flushUndoQueue() {
    kd::flushUndo();
}

bool renameNode(const std::string& name, const std::string& newName) {
    kd::Node* n = kd::findNode(name);
    return n != nullptr && kd::renameTo(*n, newName);
}

bool parentNode(const std::string& child, const std::string& parent) {
    kd::Node* c = kd::findNode(child);
    kd::Node* p = parent.empty() ? nullptr : kd::findNode(parent);
    return c != nullptr && (parent.empty() || p != nullptr) && kd::reparent(*c, p);
}

bool exists(const std::string& name) {
    return kd::findNode(name) != nullptr;
}

void setTranslate(const std::string& transform, const Vec3& t) {
    kd::setChannel(transform, &kd::TransformData::translate, t);
}

void setRotate(const std::string& transform, const Vec3& degrees) {
    kd::setChannel(transform, &kd::TransformData::rotate, degrees);
}

void setScale(const std::string& transform, const Vec3& s) {
    kd::setChannel(transform, &kd::TransformData::scale, s);
}

void setCV(const std::string& curve, int index, const Vec3& objectSpace) {
    kd::Node* n = kd::shapeOfKind(curve, kd::NodeKind::NurbsCurve);
    if (n != nullptr && index >= 0 && static_cast<std::size_t>(index) < n->curve().cvs.size()) {
        n->curve().cvs[static_cast<std::size_t>(index)] = objectSpace;
    }
}

void setCVs(const std::string& curve, const std::vector<Vec3>& objectSpace) {
    kd::Node* n = kd::shapeOfKind(curve, kd::NodeKind::NurbsCurve);
    if (n == nullptr) {
        return;
    }
    kd::CurveData& c = n->curve();
    // A new CV count needs a new knot vector: the curve becomes uniform.
    std::vector<double> knots =
        objectSpace.size() == c.cvs.size()
            ? c.knots
            : kd::defaultKnots(static_cast<int>(objectSpace.size()), c.degree, c.form);
    if (!geom::validateCurve(c.degree, c.form, objectSpace, knots).empty()) {
        return;
    }
    c.cvs = objectSpace;
    c.knots = std::move(knots);
}

void setTemplated(const std::string& name, bool templated) {
    if (kd::Node* n = kd::findNode(name)) {
        n->templated = templated;
    }
}

std::string fullPathName(const std::string& name) {
    kd::Node* n = kd::findNode(name);
    return n != nullptr ? kd::fullPathName(*n) : std::string();
}

std::string shapeOf(const std::string& name) {
    kd::Node* n = kd::findNode(name);
    if (n != nullptr && !n->isShape()) {
        const auto it = std::find_if(n->children.begin(), n->children.end(),
                                     [](const kd::Node* c) { return c->isShape(); });
        n = it != n->children.end() ? *it : nullptr;
    }
    return n != nullptr ? n->name : std::string();
}

MDagPath dagPath(const std::string& name) {
    kd::Node* n = kd::findNode(name);
    return n != nullptr ? kd::pathOf(n) : MDagPath();
}

MObject object(const std::string& name) {
    kd::Node* n = kd::findNode(name);
    return n != nullptr ? kd::objectOf(kd::sharedNode(n)) : MObject();
}

}  // namespace khost
