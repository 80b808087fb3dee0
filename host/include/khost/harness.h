#pragma once
// The scene harness of the embedded host: what tests, benchmarks, fuzzers and
// tools use to build scenes and drive viewport frames, in place of a user at
// the host's UI. Nothing here is host API; the plug-in never includes it.
//
// Nodes are addressed by name as the host's commands address them: a unique
// node name, a partial path ("group1|curve1") or a full path
// ("|group1|curve1|curveShape1"). Functions that take a curve, mesh or camera
// accept its transform or its shape.
#include <khost/draw_call.h>
#include <khost/test_hooks.h>
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

class MSelectionList;
class MUserData;
namespace MHWRender {
class MPxDrawOverride;
class MFrameContext;
class MUIDrawManager;
}  // namespace MHWRender

namespace khost {

using Vec3 = std::array<double, 3>;

// ---------------------------------------------------------------- recorded draw calls
// DrawCall and toString(DrawCall::Kind): khost/draw_call.h.

// ---------------------------------------------------------------- counters
// Host work done on the plug-in's behalf (Counters: khost/test_hooks.h).
Counters& counters();
void resetCounters();

// ---------------------------------------------------------------- scene
// Empties the scene: every node is deleted (plug-in nodes through their
// destructors, with their draw overrides and records), the undo queue is
// flushed, selection, hilite, rich selection and views are cleared. Then the
// default camera "persp" (at (28, 21, 28), looking at the origin) and one
// 640x480 model view looking through it are made, and that view is active.
// Loaded plug-ins stay loaded.
void newScene();

// ---------------------------------------------------------------- plug-ins
// Loads a plug-in module by path, as the host does: dlopen, look up
// initializePlugin, uninitializePlugin and MApiVersion (refused without the
// first or the last), call initializePlugin with a plug-in object. The
// plug-in's name is the file stem ("knotlens"). False, with a reason, on
// refusal or when initializePlugin fails.
bool loadPlugin(const std::string& path, std::string* error = nullptr);
// The same for entry points linked into the calling program.
bool loadPluginEntry(const std::string& name, MStatus (*initialize)(MObject),
                     MStatus (*uninitialize)(MObject), const char* apiVersion, std::string* error = nullptr);
// Calls uninitializePlugin and unloads. Refused while nodes of the plug-in's
// types exist in the scene. Nodes of its types waiting in the undo queue are
// destroyed after uninitializePlugin returns. Callbacks the plug-in left
// installed are counted (danglingCallbackCount) and dropped.
bool unloadPlugin(const std::string& name, std::string* error = nullptr);
bool isPluginLoaded(const std::string& name);
std::string pluginVendor(const std::string& name);
std::string pluginVersion(const std::string& name);
std::string pluginApiVersion(const std::string& name);  // the module's MApiVersion

// Failure injection: the next call of the given registration step
// (HostStep: khost/test_hooks.h) fails with `code` (once), without changing
// any registration.
void failNext(HostStep step, MStatus::MStatusCode code = MStatus::kFailure);
// "registerNode <type>", "deregisterNode <type>", "registerDrawOverrideCreator <classification>",
// "deregisterDrawOverrideCreator <classification>", "registerUI <creation> <deletion>", in call
// order, successful or not (failed ones end with " failed").
const std::vector<std::string>& registrationLog();
void clearRegistrationLog();
bool nodeTypeRegistered(const std::string& typeName);
bool drawOverrideRegistered(const std::string& classification, const std::string& registrantId);

// The embedded host runs no scripts. In their place it records the names of
// the UI procedures (MFnPlugin::registerUI) it would run: the creation
// procedure when registerUI succeeds, the deletion procedure after a
// successful uninitializePlugin; in batch mode the batch procedures, and
// nothing for an empty one. Batch mode and the log outlive newScene().
void setBatchMode(bool batch);
const std::vector<std::string>& uiProcedureLog();
void clearUiProcedureLog();

std::size_t installedCallbackCount();
std::size_t danglingCallbackCount();

// ---------------------------------------------------------------- DAG
struct CurveDesc {
    int degree = 3;
    int form = 1;               // MFnNurbsCurve::Form: 1 open, 2 closed, 3 periodic
    std::vector<Vec3> cvs;      // object space; a periodic curve repeats its first `degree` CVs at the end
    std::vector<double> knots;  // numCVs + degree - 1 values; empty: uniform (clamped when open)
};
// An open curve through `cvs` with a uniform clamped knot vector.
CurveDesc openCurve(const std::vector<Vec3>& cvs, int degree = 3);
// A periodic circle of the given radius in the XZ plane (normal +Y).
CurveDesc periodicCircle(double radius, int spans = 8, int degree = 3, const Vec3& center = {0, 0, 0});

struct MeshDesc {
    std::vector<Vec3> vertices;
    std::vector<std::vector<int>> faces;  // polygons, fan-triangulated
};
MeshDesc planeMesh(double size, int subdivisions, const Vec3& center = {0, 0, 0}, int normalAxis = 2);
MeshDesc boxMesh(const Vec3& minCorner, const Vec3& maxCorner);

// Each create function makes a transform with one shape under it, named as
// the host names them ("curve1" / "curveShape1", "pCube1" / "pCubeShape1",
// "camera1" / "cameraShape1"), and returns the transform's name. An empty
// name picks the next free default; a taken name gets the next free number.
// Refused (empty result, reason in *error) for what the host refuses, e.g. a
// curve with fewer than degree + 1 CVs or a knot vector of the wrong length
// or decreasing.
std::string createTransform(const std::string& name = "", const std::string& parent = "");
std::string createCurve(const CurveDesc& desc, const std::string& name = "", const std::string& parent = "",
                        std::string* error = nullptr);
std::string createMesh(const MeshDesc& desc, const std::string& name = "", const std::string& parent = "",
                       std::string* error = nullptr);
std::string createCamera(const Vec3& eye, const Vec3& target, double horizontalFovDeg = 54.43,
                         const std::string& name = "", const std::string& parent = "");
// Creates a node of a registered plug-in type, as the host's createNode
// does: a locator gets a new transform parent. Returns the node's (shape)
// name; empty when the type is unknown.
std::string createNode(const std::string& typeName, const std::string& name = "",
                       std::string* error = nullptr);

// Deletes a node and everything under it. An undoable delete keeps the
// objects alive in the undo queue (out of the scene) until flushUndoQueue().
bool deleteNode(const std::string& name, bool undoable = false);
void flushUndoQueue();
bool renameNode(const std::string& name, const std::string& newName);
bool parentNode(const std::string& child, const std::string& parent);  // "" parents to the world
bool exists(const std::string& name);

void setTranslate(const std::string& transform, const Vec3& t);
void setRotate(const std::string& transform, const Vec3& degrees);
void setScale(const std::string& transform, const Vec3& s);
void setCV(const std::string& curve, int index, const Vec3& objectSpace);
void setCVs(const std::string& curve, const std::vector<Vec3>& objectSpace);
void setTemplated(const std::string& name, bool templated);

std::string fullPathName(const std::string& name);
std::string shapeOf(const std::string& name);  // the shape's node name
MDagPath dagPath(const std::string& name);
MObject object(const std::string& name);

// ---------------------------------------------------------------- selection
// Every call below changes the selection once and then fires
// "SelectionChanged" once.
void clearSelection();  // active list, hilite list and rich selection
void select(const std::vector<std::string>& objects, bool add = false);
// Selects CVs of a curve as a kCurveCVComponent item, in the given element
// order, and hilites the curve, as selecting components in the host does.
void selectCVs(const std::string& curve, const std::vector<int>& cvs, bool add = false);
// Any single-indexed component (e.g. MFn::kCurveEPComponent), optionally weighted.
void selectComponents(const std::string& curve, MFn::Type componentType, const std::vector<int>& elements,
                      const std::vector<float>& weights = {}, bool add = false, bool hiliteObject = true);
void setHilite(const std::vector<std::string>& objects);
struct RichItem {
    std::string object;
    std::vector<int> cvs;        // empty: the object itself
    std::vector<float> weights;  // parallel to cvs
};
// The soft selection the host would report; empty clears it.
void setRichSelection(const std::vector<RichItem>& items);
// Direct list replacement (for lists built with the API).
void setActiveList(const MSelectionList& list);
void setHiliteList(const MSelectionList& list);

// Forces the display status the host reports for a node (transform or shape).
void setDisplayStatusOverride(const std::string& name, int status);
void clearDisplayStatusOverrides();

// ---------------------------------------------------------------- attributes
// setAttr clamps to the attribute's range as the host's setAttr does;
// forceAttr stores any value, as an incoming connection would deliver it.
// The built-in node state is "nodeState" ("nds"). False for an unknown node
// or attribute or a value of the wrong kind.
bool setAttr(const std::string& node, const std::string& attr, double value);
bool setAttr(const std::string& node, const std::string& attr, double a, double b, double c);
bool setAttrString(const std::string& node, const std::string& attr, const std::string& value);
bool forceAttr(const std::string& node, const std::string& attr, double value);
bool forceAttr(const std::string& node, const std::string& attr, double a, double b, double c);
double getAttr(const std::string& node, const std::string& attr);
std::array<double, 3> getAttr3(const std::string& node, const std::string& attr);
std::string getAttrString(const std::string& node, const std::string& attr);
bool attrStringIsNull(const std::string& node, const std::string& attr);

struct AttributeInfo {
    std::string longName, shortName;
    bool typed = false;   // MFnTypedAttribute
    int numericType = 0;  // MFnNumericData::Type
    int dataType = 0;     // MFnData::Type for typed attributes
    int components = 1;
    std::array<double, 3> defaults{{0.0, 0.0, 0.0}};
    bool hasMin = false, hasMax = false;
    double minValue = 0.0, maxValue = 0.0;
    bool usedAsColor = false;
    bool builtin = false;
};
// Attributes the plug-in added, in the order they were added (built-ins excluded).
std::vector<AttributeInfo> listAttributes(const std::string& node);

// ---------------------------------------------------------------- views and frames
// Adds a model view looking through a camera (transform or shape); returns its index.
int addView(const std::string& camera, int width = 640, int height = 480);
void setActiveView(int index);
int activeView();
int viewCount();
// World point to view pixels, exactly as M3dView::worldToView of that view but unrounded.
bool projectToView(int view, const Vec3& world, double& x, double& y);

// One viewport refresh: for each view, every node whose type's classification
// has a registered draw override gets its override (made once per node),
// then prepareForDraw with the record kept from that node's previous frame in
// that view; then, for each such node, addUIDrawables when hasUIDrawables().
void drawFrame();
// The two halves of drawFrame, for timing them apart. prepareFrame pairs the
// nodes with their overrides and runs prepareForDraw in every view (all views
// first); drawPreparedFrame then runs addUIDrawables for what was prepared.
// With one view the pair does exactly what drawFrame does. A
// drawPreparedFrame with nothing prepared draws nothing; nodes deleted in
// between are skipped.
void prepareFrame();
void drawPreparedFrame();
// The host's side of a frame without a plug-in: runs `calls` with the frame
// context a frame of view `view` (which must have a camera) hands to draw
// overrides and a draw manager recording into a call list kept between
// replays (its arrays keep their storage, as a frame's do). For measuring
// what a frame costs the host alone; no plug-in code runs.
void replayHostDraw(
    int view, const std::function<void(MHWRender::MUIDrawManager&, const MHWRender::MFrameContext&)>& calls);
// The calls the last replayHostDraw recorded.
const std::vector<DrawCall>& replayedDrawCalls();
// Calls recorded in the last frame for a node (shape name) in a view.
const std::vector<DrawCall>& drawCalls(int view, const std::string& node);
const MUserData* userData(int view, const std::string& node);
MHWRender::MPxDrawOverride* drawOverride(const std::string& node);

// ---------------------------------------------------------------- console
// Captures std::cout and std::cerr (the plug-in's console lines and
// MStatus::perror) for its lifetime.
class ConsoleCapture {
public:
    ConsoleCapture();
    ~ConsoleCapture();
    ConsoleCapture(const ConsoleCapture&) = delete;
    ConsoleCapture& operator=(const ConsoleCapture&) = delete;
    std::string out() const;
    std::string err() const;

private:
    std::ostringstream out_, err_;
    std::streambuf* oldOut_;
    std::streambuf* oldErr_;
};

}  // namespace khost
