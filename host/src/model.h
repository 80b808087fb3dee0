#pragma once
// The scene model of the embedded host: its nodes, the data of each kind of
// node, the scene that owns them (the node graph) and the operations on it.
// Not installed, not seen by the plug-in. The other parts of the host's
// state have headers of their own: selection (selection_items.h), views and
// callbacks (ui_state.h), plug-in registries (plugin_registry.h), frames
// (frame_state.h), test hooks (test_hooks.h).
//
// Ownership: the Scene owns every live node through shared_ptr. Handles
// (MObject, MDagPath, selection items) hold shared_ptrs too, so a handle to a
// deleted node stays memory-safe; such a node has alive == false.
#include <maya/MMatrix.h>
#include <maya/MObject.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "attributes.h"
#include "host_access.h"
#include "plugin_registry.h"
#include "ui_state.h"

namespace khost {
namespace detail {

enum class NodeKind { Transform, Camera, NurbsCurve, Mesh, PluginShape };

// ---------------------------------------------------------------- the data of each kind
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

struct MObject::Node : MObject::Data {
    uint64_t uid = 0;
    std::string name;
    khost::detail::NodeKind kind = khost::detail::NodeKind::Transform;
    bool alive = true;
    bool templated = false;
    Node* parent = nullptr;       // null: child of the world
    std::vector<Node*> children;  // not owned: the Scene owns every node
    int state = 0;                // nodeState, a built-in attribute of every node

    // The display status the selection lists give this node itself (not
    // through its parents), with the versions of the active and hilite lists
    // it was read from: a frame that asks for every curve's status finds it
    // here while the lists are unchanged (view.cpp).
    struct ListedStatus {
        uint64_t activeVersion = 0;
        uint64_t hiliteVersion = 0;
        int status = -1;  // an M3dView::DisplayStatus; -1 until first read
    };
    mutable ListedStatus listed;

    // The data of the node's kind, made with the node (addNode).
    std::variant<khost::detail::TransformData, khost::detail::CurveData, khost::detail::MeshData,
                 khost::detail::CameraData, khost::detail::PluginNodeData>
        data;

    // The data of the node's kind; asking for another kind's is a host bug
    // (std::bad_variant_access).
    khost::detail::TransformData& transform() { return std::get<khost::detail::TransformData>(data); }
    const khost::detail::TransformData& transform() const {
        return std::get<khost::detail::TransformData>(data);
    }
    khost::detail::CurveData& curve() { return std::get<khost::detail::CurveData>(data); }
    const khost::detail::CurveData& curve() const { return std::get<khost::detail::CurveData>(data); }
    khost::detail::MeshData& mesh() { return std::get<khost::detail::MeshData>(data); }
    const khost::detail::MeshData& mesh() const { return std::get<khost::detail::MeshData>(data); }
    khost::detail::CameraData& camera() { return std::get<khost::detail::CameraData>(data); }
    const khost::detail::CameraData& camera() const { return std::get<khost::detail::CameraData>(data); }
    khost::detail::PluginNodeData& plugin() { return std::get<khost::detail::PluginNodeData>(data); }
    const khost::detail::PluginNodeData& plugin() const {
        return std::get<khost::detail::PluginNodeData>(data);
    }
    // The type of a plug-in node; null for every other kind.
    const std::shared_ptr<khost::detail::NodeType>& pluginType() const;

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type t) const override;
    Node* asNode() override { return this; }
    bool isShape() const { return kind != khost::detail::NodeKind::Transform; }
};

namespace khost {
namespace detail {
Mat4 identity4();
Mat4 multiply(const Mat4& a, const Mat4& b);  // a * b
MMatrix toMMatrix(const Mat4& m);
Mat4 toMat4(const MMatrix& m);
Mat4 localMatrix(const Node& transform);  // S * R * T
// Product of the local matrices of the transforms above and including node.
Mat4 worldMatrix(const Node& node);
// Inline: getCVs applies it to every CV of every drawn curve on every frame.
inline Vec3 transformPoint(const Vec3& p, const Mat4& m) {
    Vec3 r;
    for (int j = 0; j < 3; ++j) {
        r[j] = p[0] * m[0][j] + p[1] * m[1][j] + p[2] * m[2][j] + m[3][j];
    }
    const double w = p[0] * m[0][3] + p[1] * m[1][3] + p[2] * m[2][3] + m[3][3];
    if (w != 1.0 && w != 0.0) {
        for (double& c : r) {
            c /= w;
        }
    }
    return r;
}

// ---------------------------------------------------------------- the scene
// One per process, like the host's own state.
struct Scene {
    std::vector<std::shared_ptr<Node>> nodes;  // every live node, creation order
    // The plug-in shapes among them, creation order: what a viewport refresh
    // looks at, without visiting every curve and transform of the scene.
    std::vector<std::shared_ptr<Node>> pluginNodes;
    uint64_t nextUid = 1;
    std::vector<std::shared_ptr<Node>> undoQueue;  // deleted but kept alive (undoable delete)

    static Scene& get();
};

// ---------------------------------------------------------------- scene operations
// scene.cpp
Node& addNode(NodeKind kind, const std::string& name, Node* parent);
void removeSubtree(Node& root, bool undoable);
void flushUndo();
bool renameTo(Node& node, const std::string& newName);
bool reparent(Node& node, Node* newParent);
void resetScene(bool fireEvents);
std::shared_ptr<Node> sharedNode(Node* n);

// node_names.cpp: names and paths. The name index holds every node under
// its name; removing a node lets its name's number be handed out again.
void indexName(Node& node);
void unindexName(Node& node);
void clearNames();  // a new scene
// Letters, digits, '_' and ':', not starting with a digit.
bool isValidNodeName(const std::string& name);
// The requested name when free, else the next free number after its base;
// defaultBase when nothing was requested ("curve" -> "curve1").
std::string uniqueNodeName(const std::string& requested, const std::string& defaultBase);
// "curve1" -> "curveShape1", "arm" -> "armShape".
std::string shapeNameFor(const std::string& transformName);
// A name unique among the children of `parent` (ignoring `except`).
std::string siblingUniqueName(const Node* parent, const std::string& name, const Node* except);
std::string fullPathName(const Node& node);
std::string partialPathName(const Node& node);  // shortest unique name
// The nodes whose path ends in the segments of `path` ("a|b", or "|a|b"
// from the world), each a pattern with '*' and '?', in creation order; and
// the node a name, partial or full path names (null if none or ambiguous).
std::vector<Node*> matchPath(const std::string& path);
Node* findNode(const std::string& nameOrPath);

// The live node of kind `kind` an MObject refers to, or null: what a function
// set of that kind attaches to.
inline Node* liveNodeOf(const MObject& object, NodeKind kind) {
    Node* n = nodeOf(object);
    return (n != nullptr && n->kind == kind && n->alive) ? n : nullptr;
}

// object.cpp: the only shape directly below `node` that supports function
// set `type`; null when none or several do.
Node* onlyShape(const Node& node, MFn::Type type);
// camera.cpp: Euler rotation (degrees, xyz) that makes a camera at `eye` look at `target`.
Vec3 lookAtRotation(const Vec3& eye, const Vec3& target);
// view.cpp: world point to unrounded view pixels (origin bottom-left).
bool projectToView(const View& view, const Vec3& world, double& x, double& y);
// Called by node deletion for a plug-in node before it leaves the scene:
// deletes its draw override and records, then the MPxNode object.
void destroyPluginNode(Node& node);

}  // namespace detail
}  // namespace khost
