#pragma once
// Internal data model of the embedded host. Not installed, not seen by the
// plug-in. Every host class reaches its private parts through Access, which
// the public headers befriend.
//
// Ownership: the Scene owns every live node through shared_ptr. Handles
// (MObject, MDagPath, selection items) hold shared_ptrs too, so a handle to a
// deleted node stays memory-safe; such a node has alive == false.
#include <khost/draw_call.h>
#include <maya/MDagPath.h>
#include <maya/MObject.h>
#include <maya/MPxNode.h>
#include <maya/MSelectionList.h>
#include <maya/MTypeId.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class MPxNode;
namespace MHWRender {
class MPxDrawOverride;
}
class MUserData;

// What an MObject refers to: a node, an attribute, a component, a data
// object or a plug-in. Defined here, declared (privately) in MObject.h.
namespace khost {
namespace detail {
struct ComponentData;
}  // namespace detail
}  // namespace khost

struct MObject::Data : std::enable_shared_from_this<MObject::Data> {
    virtual ~Data() = default;
    virtual MFn::Type apiType() const = 0;
    // This object as a node or a component, or null: what a dynamic_cast
    // would give, at the price of a virtual call (function sets ask on
    // every call, many times per frame).
    virtual MObject::Node* asNode() { return nullptr; }
    virtual const MObject::Node* asNode() const { return nullptr; }
    virtual khost::detail::ComponentData* asComponent() { return nullptr; }
    virtual const khost::detail::ComponentData* asComponent() const { return nullptr; }
    // Function-set compatibility: does this object support function set `t`?
    virtual bool hasFn(MFn::Type t) const;
};

// The host library's access to the private parts of the API classes, which
// befriend it. Internal code names it khost::detail::Access.
struct MHostAccess {
    using ObjectData = MObject::Data;
    using Node = MObject::Node;

    template <class T>
    static auto& data(T& t) {
        return t.data_;
    }
    template <class T>
    static auto& obj(T& t) {
        return t.obj_;
    }
    template <class T>
    static auto& node(T& t) {
        return t.node_;
    }
    template <class T>
    static auto& impl(T& t) {
        return t.impl_;
    }
    template <class Record>
    static bool deleteAfterUse(const Record& r) {
        return r.deleteAfterUse_;
    }
};

// The same for the draw classes of namespace MHWRender, which befriend
// MHWRender::MHostAccess.
namespace MHWRender {
struct MHostAccess {
    template <class Override>
    static bool alwaysDirty(const Override& o) {
        return o.alwaysDirty_;
    }
    // Runs f with a host-constructed draw manager that records into `recorder`.
    template <class Manager, class F>
    static void withDrawManager(void* recorder, F&& f) {
        Manager manager(recorder);
        f(manager);
    }
};
}  // namespace MHWRender

namespace khost {
namespace detail {

using Vec3 = std::array<double, 3>;
using Access = ::MHostAccess;
using ObjectData = MHostAccess::ObjectData;
using Node = MHostAccess::Node;

struct ComponentData;

// ---------------------------------------------------------------- attributes
enum class AttrKind { Numeric, Typed, Enum };

struct AttrDef : ObjectData {
    AttrKind kind = AttrKind::Numeric;
    std::string longName;
    std::string shortName;
    int numericType = 0;  // MFnNumericData::Type for Numeric
    int dataType = 0;     // MFnData::Type for Typed
    int components = 1;   // 3 for k3Float and the like
    std::array<double, 3> defaults{{0.0, 0.0, 0.0}};
    bool hasMin = false, hasMax = false;
    double minValue = 0.0, maxValue = 0.0;
    bool usedAsColor = false;
    bool builtin = false;  // attributes every node has (e.g. nodeState)
    int index = -1;        // slot in the owning node type's value table
    MFn::Type apiType() const override;
};

// One attribute value on one node.
struct AttrValue {
    std::array<double, 3> num{{0.0, 0.0, 0.0}};
    std::string str;
    bool strNull = true;  // typed attribute with no data yet
};

// Numeric data object (what MPlug::asMObject returns for compound numerics).
struct NumericData : ObjectData {
    int numericType = 0;
    std::array<double, 4> v{{0.0, 0.0, 0.0, 0.0}};
    MFn::Type apiType() const override;
};

// ---------------------------------------------------------------- components
struct ComponentData : ObjectData {
    MFn::Type type = MFn::kInvalid;  // kCurveCVComponent, kCurveEPComponent, ...
    std::vector<int> elements;
    std::vector<float> weights;  // empty or parallel to elements
    bool hasWeights = false;
    MFn::Type apiType() const override { return type; }
    bool hasFn(MFn::Type t) const override;
    ComponentData* asComponent() override { return this; }
    const ComponentData* asComponent() const override { return this; }
};

// ---------------------------------------------------------------- geometry
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

struct PluginModule;
struct NodeType;

enum class NodeKind { Transform, Camera, NurbsCurve, Mesh, PluginShape };

}  // namespace detail
}  // namespace khost

struct MObject::Node : MObject::Data {
    uint64_t uid = 0;
    std::string name;
    // What every frame reads of every drawn curve sits together at the front
    // (kind, liveness, display status, parent, curve data, world matrix memo,
    // path name memo), so a frame over thousands of curves touches few cache
    // lines per node.
    khost::detail::NodeKind kind = khost::detail::NodeKind::Transform;
    bool alive = true;
    bool templated = false;
    // The display status the selection gives this node itself (not through
    // its parents), valid while statusStamp equals the stamp of the host's
    // current display-status table.
    mutable int8_t statusMark = 0;
    Node* parent = nullptr;  // null: child of the world
    mutable uint64_t statusStamp = 0;
    khost::detail::CurveData curve;  // kind == NurbsCurve
    // The world matrix, valid while both of its versions equal the scene's
    // pathVersion and transformVersion (no node moved or was reparented).
    mutable uint64_t worldMemoPathVersion = 0;
    mutable uint64_t worldMemoTransformVersion = 0;
    mutable std::array<std::array<double, 4>, 4> worldMemo{};
    mutable std::string pathMemo;  // the full path name, valid like partialMemo below
    mutable uint64_t pathMemoVersion = 0;
    std::vector<Node*> children;  // not owned: the Scene owns every node

    // Transform (kind == Transform): local TRS, rotation in degrees, xyz order.
    khost::detail::Vec3 translate{{0, 0, 0}}, rotate{{0, 0, 0}}, scale{{1, 1, 1}};

    khost::detail::MeshData mesh;      // kind == Mesh
    khost::detail::CameraData camera;  // kind == Camera

    // Plug-in nodes (kind == PluginShape). The node keeps its type alive:
    // a deregistered type lasts as long as a node of it (in the undo queue,
    // or held by a handle) refers to it.
    std::shared_ptr<khost::detail::NodeType> type;
    MPxNode* user = nullptr;  // the plug-in's object; deleted through its virtual destructor
    std::vector<khost::detail::AttrValue> values;  // indexed by AttrDef::index
    int state = 0;                                 // nodeState

    // Memos of values the host derives on every frame: the full and partial
    // path names (valid while their version equals Scene::pathVersion) and the local
    // matrix of a transform (valid while translate, rotate and scale hold the
    // exact bits it was made from).
    mutable std::string partialMemo;  // the partial path name
    mutable uint64_t partialMemoVersion = 0;
    mutable bool localMemoValid = false;
    mutable std::array<khost::detail::Vec3, 3> localMemoTrs{};
    mutable std::array<std::array<double, 4>, 4> localMemo{};

    MFn::Type apiType() const override;
    bool hasFn(MFn::Type t) const override;
    Node* asNode() override { return this; }
    const Node* asNode() const override { return this; }
    bool isShape() const { return kind != khost::detail::NodeKind::Transform; }
    bool isDag() const { return true; }
};

namespace khost {
namespace detail {

// Row-vector 4x4 matrices, as the host uses them (translation in row 3).
using Mat4 = std::array<std::array<double, 4>, 4>;
Mat4 identity4();
Mat4 multiply(const Mat4& a, const Mat4& b);  // a * b
Mat4 localMatrix(const Node& transform);      // S * R * T
// Product of the transforms above and including node: the node's remembered
// world matrix, valid until the next change to the scene's transforms or
// paths (copy it to keep it across one).
const Mat4& worldMatrix(const Node& node);
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

// ---------------------------------------------------------------- plug-ins
struct NodeType {
    std::string name;
    MTypeId id;
    void* (*creator)() = nullptr;
    MStatus (*initializer)() = nullptr;
    int pxType = 0;  // MPxNode::Type
    std::string classification;
    std::vector<std::shared_ptr<AttrDef>> attributes;  // plug-in attributes, in addAttribute order
    // The module that registered the type; expired once that module is
    // unloaded and nothing else refers to it.
    std::weak_ptr<PluginModule> owner;
    bool ownedBy(const PluginModule* module) const {
        return module != nullptr && owner.lock().get() == module;
    }
};

struct OverrideRegistration {
    std::string classification;
    std::string registrantId;
    MHWRender::MPxDrawOverride* (*creator)(const MObject&) = nullptr;
    PluginModule* owner = nullptr;
};

struct PluginModule : ObjectData {
    std::string name;  // file stem, e.g. "knotlens"
    std::string path;
    void* handle = nullptr;  // dlopen handle, null for in-process entries
    MStatus (*initialize)(MObject) = nullptr;
    MStatus (*uninitialize)(MObject) = nullptr;
    std::string apiVersion;
    std::string vendor, version, requiredApi;
    // The deletion procedure of MFnPlugin::registerUI that the host runs when
    // the module unloads: the interactive or the batch one, as it was loaded.
    std::string uiDeletionProc;
    bool loaded = false;
    MFn::Type apiType() const override { return MFn::kPlugin; }
};

// ---------------------------------------------------------------- events
struct Callback {
    uintptr_t id = 0;
    std::string event;
    void (*fn)(void*) = nullptr;
    void* clientData = nullptr;
};

// ---------------------------------------------------------------- views
struct View {
    std::shared_ptr<Node> cameraShape;
    int width = 640;
    int height = 480;
};

// Projection shared by M3dView::worldToView and MFrameContext.
Mat4 viewMatrix(const View& v);        // inverse of the camera's world matrix
Mat4 projectionMatrix(const View& v);  // OpenGL-style perspective, camera looks down -Z
Mat4 viewProjection(const View& v);    // view * projection

// ---------------------------------------------------------------- selection
struct SelectionState {
    MSelectionList active;
    MSelectionList hilite;
    MSelectionList rich;   // soft selection; empty when none
    uint64_t version = 0;  // bumps on every change
};

// ---------------------------------------------------------------- the scene
// One per process, like the host's own state.
struct FrameSlot {
    MHWRender::MPxDrawOverride* override = nullptr;     // made once per node, owned by the host
    std::vector<MUserData*> records;                    // per view; owned by the host
    std::vector<std::vector<::khost::DrawCall>> calls;  // per view, last frame's draw calls
    std::vector<uint64_t> drawnInFrame;                 // per view, the frame that last recorded its calls
};

struct Scene {
    std::vector<std::shared_ptr<Node>> nodes;  // every live node, creation order
    // The plug-in shapes among them, creation order: what a viewport refresh
    // looks at, without visiting every curve and transform of the scene.
    std::vector<std::shared_ptr<Node>> pluginNodes;
    std::unordered_multimap<std::string, Node*> byName;
    uint64_t nextUid = 1;
    // Bumps whenever a node's name or parent or the name index changes
    // (node memos of path names compare against it).
    uint64_t pathVersion = 1;
    // Bumps whenever a transform's translate, rotate or scale is written
    // (node memos of world matrices compare against it and pathVersion).
    uint64_t transformVersion = 1;
    std::vector<std::shared_ptr<Node>> undoQueue;  // deleted but kept alive (undoable delete)

    SelectionState selection;
    std::map<const Node*, int> displayStatusOverrides;

    std::vector<View> views;
    int activeView = 0;

    std::map<uintptr_t, Callback> callbacks;
    uintptr_t nextCallbackId = 1;
    std::size_t danglingCallbacks = 0;  // left installed by an unloaded plug-in

    std::vector<std::shared_ptr<PluginModule>> plugins;
    std::vector<std::shared_ptr<NodeType>> nodeTypes;  // registered types
    std::vector<OverrideRegistration> overrides;
    NodeType* initializingType = nullptr;  // target of MPxNode::addAttribute during an initializer

    std::map<const Node*, FrameSlot> frames;

    static Scene& get();
};

// Cross-module hooks.
// Called by node deletion for a plug-in node before it leaves the scene:
// deletes its draw override and records, then the MPxNode object.
void destroyPluginNode(Node& node);
// Fires every callback registered for `event`.
void fireEvent(const std::string& event);
// Name helpers.
Node* findNode(
    const std::string& nameOrPath);  // unique name, partial or full path; null if none or ambiguous
std::string fullPathName(const Node& node);
const std::string& fullPathNameRef(const Node& node);     // the node's memo, valid until the next name change
std::string partialPathName(const Node& node);            // shortest unique name
const std::string& partialPathNameRef(const Node& node);  // the node's memo, valid until the next name change
std::shared_ptr<Node> sharedNode(Node* n);

}  // namespace detail
}  // namespace khost
