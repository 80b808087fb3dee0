#include "fuzz/decoder.h"

#define MNoVersionString
#include <maya/MDagPath.h>
#include <maya/MFn.h>
#include <maya/MFnDagNode.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnPlugin.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include <khost/harness.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <sstream>
#include <vector>

#include "fuzz/frame_invariants.h"
#include "overlay/user_data.h"
#include "tests/support/reference_frame.h"

extern "C" char MApiVersion[];

namespace scenefuzz {
namespace {

constexpr const char* kModuleName = "knotlens";
constexpr const char* kManagerType = "QVTK_Tessark_DrawManagerNode";

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const char* const kOpNames[kOpCount] = {
    "createCurve",   "createMesh",   "createCamera",   "createManager",    "createGroup",
    "delete",        "flushUndo",    "rename",         "parent",           "transform",
    "setCV",         "setCVs",       "selectObjects",  "selectComponents", "richSelection",
    "setHilite",     "apiSelection", "clearSelection", "setAttr",          "occluderName",
    "displayStatus", "addView",      "setActiveView",  "drawFrame",        "cycleModule",
};

// Extreme values a real operand can name with one selector byte.
const std::array<double, 32> kExtremes = {{
    0.0,
    -0.0,
    1.0,
    -1.0,
    0.5,
    0.25,
    0.01,
    2.0,
    64.0,
    65.0,
    100.0,
    101.0,
    1e-300,
    -1e-300,
    std::numeric_limits<double>::denorm_min(),
    1e-15,
    1e15,
    1e6,
    -1e6,
    1e10,
    1e38,
    3.5e38,
    1e300,
    -1e300,
    std::numeric_limits<double>::max(),
    -std::numeric_limits<double>::max(),
    kInf,
    -kInf,
    kNaN,
    -kNaN,
    1e-45,
    2147483648.0,
}};

// Knot intervals: repeats (0), ordinary steps, and steps that vanish against
// a large knot value.
const std::array<double, 8> kKnotSteps = {{0.0, 1.0, 0.5, 2.0, 1e-300, 1e-12, 1e15, 1.0 / 1073741824.0}};

// Names that are wrong in some way: empty, malformed, component strings,
// patterns, or names of things that may not exist.
const std::array<const char*, 12> kOddNames = {{
    "",
    "|",
    "||",
    "curve",
    "*",
    "curve1.cv[0]",
    ":ns:curve1",
    "|curve1|",
    " ",
    "persp",
    "perspShape",
    "nameThatIsNotInTheSceneAndIsRatherLongToo_____________________________________________________",
}};

// Component types for selections: CVs, and kinds the overlay must not treat as CVs.
const std::array<MFn::Type, 4> kComponentTypes = {
    {MFn::kCurveCVComponent, MFn::kCurveEPComponent, MFn::kCurveKnotComponent, MFn::kMeshVertComponent}};

struct Attribute {
    const char* longName;
    const char* shortName;
    int components;
};
const std::array<Attribute, 25> kAttributes = {{
    {"drawOnTop", "dot", 1},
    {"pointSize", "psize", 1},
    {"lineWidth", "lwidth", 1},
    {"hullWidth", "hwidth", 1},
    {"curveDivisions", "crvdiv", 1},
    {"deselectedPointColor", "dpcolor", 3},
    {"deselectedPointAlpha", "dpalpha", 1},
    {"selectedPointColor", "spcolor", 3},
    {"selectedPointAlpha", "spalpha", 1},
    {"curveColor", "ccolor", 3},
    {"curveAlpha", "calpha", 1},
    {"hullColor", "hcolor", 3},
    {"hullAlpha", "halpha", 1},
    {"useCVDistanceColor", "usecvdcolor", 1},
    {"useHullDistanceColor", "usehulldcolor", 1},
    {"useCurveDistanceColor", "usecurvedcolor", 1},
    {"distanceColorMin", "dcolormin", 1},
    {"distanceColorMax", "dcolormax", 1},
    {"occluderMeshName", "oclmeshname", 1},
    {"useCVOcclusion", "usecvocclusion", 1},
    {"showCurve", "showcurve", 1},
    {"showHull", "showhull", 1},
    {"lazyUpdate", "lazyupdate", 1},
    {"nodeState", "nds", 1},
    {"noSuchAttribute", "nosuch", 1},
}};

// Sequential reader; past the end every read gives zeros.
class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool done() const { return pos_ >= size_; }

    uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }

    int16_t int16() {
        const auto lo = static_cast<uint16_t>(byte());
        const auto hi = static_cast<uint16_t>(byte());
        return static_cast<int16_t>(static_cast<uint16_t>(lo | static_cast<uint16_t>(hi << 8)));
    }

    // A choice among n (n > 0).
    int pick(int n) { return static_cast<int>(byte()) % n; }

    bool flag() { return (byte() & 1u) != 0; }

    double real() {
        const uint8_t s = byte();
        if (s < 0x80) {
            return (static_cast<int>(s) - 64) * 0.5;
        }
        if (s < 0xA0) {
            return kExtremes[static_cast<std::size_t>(s - 0x80)];
        }
        if (s < 0xC0) {
            return int16() / 256.0;
        }
        uint64_t bits = 0;
        for (unsigned int i = 0; i < 8; ++i) {
            bits |= static_cast<uint64_t>(byte()) << (8 * i);
        }
        double value = 0.0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    khost::Vec3 vec() {
        const double x = real();
        const double y = real();
        const double z = real();
        return khost::Vec3{{x, y, z}};
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Violation kinds to set aside: SCENEFUZZ_KNOWN="kind,kind,..." lets a run
// look for other faults while a reported one is being fixed.
const std::set<std::string>& knownFaults() {
    static const std::set<std::string> known = [] {
        std::set<std::string> kinds;
        const char* text = std::getenv("SCENEFUZZ_KNOWN");
        std::istringstream in(text != nullptr ? text : "");
        std::string kind;
        while (std::getline(in, kind, ',')) {
            if (!kind.empty()) {
                kinds.insert(kind);
            }
        }
        return kinds;
    }();
    return known;
}

// A node the input made, followed through renames and reparenting by its DAG
// path. Deleted nodes stay listed (an invalid path has an empty name).
struct Made {
    MDagPath path;
    MPoint center;  // object-space centre (meshes)
};

// The reference frame lives as long as the process, as the overlay's
// process-wide state does.
reference::ReferenceFrame& referenceFrame() {
    static reference::ReferenceFrame frame;
    return frame;
}

// The camera shape a view looks through, as the host resolves the name: the
// node itself when it is a camera, else the first camera shape under it (a
// transform may hold other shapes too, reparented there).
MDagPath cameraShapePath(const std::string& camera) {
    MDagPath path = khost::dagPath(camera);
    if (!path.isValid() || path.apiType() == MFn::kCamera) {
        return path;
    }
    MFnDagNode transform(path);
    for (unsigned int i = 0; i < transform.childCount(); ++i) {
        MDagPath child = path;
        child.push(transform.child(i));
        if (child.apiType() == MFn::kCamera) {
            return child;
        }
    }
    return MDagPath();
}

std::string nameOf(const MDagPath& path) {
    return path.isValid() ? std::string(path.fullPathName().asChar()) : std::string();
}

class ScenePlayer {
public:
    ScenePlayer(const uint8_t* data, std::size_t size, const Limits& limits)
        : in_(data, size), limits_(limits) {}

    std::string run() {
        trace_ = std::getenv("SCENEFUZZ_TRACE") != nullptr;
        invariants_.reset();
        cameras_.push_back(Made{khost::dagPath("persp"), MPoint()});
        viewCameras_.push_back(cameraShapePath("persp"));
        for (int ops = 0; ops < limits_.maxOps && !in_.done(); ++ops) {
            const auto op = static_cast<Op>(in_.pick(kOpCount));
            if (trace_) {
                std::fprintf(stderr, "op %d: %s\n", ops, kOpNames[op]);
            }
            std::string problem = step(op);
            referenceFrame().afterEdit();
            if (!problem.empty()) {
                return problem;
            }
        }
        // Every input ends on a frame, so every input is checked at least once.
        return frame();
    }

private:
    std::string step(Op op) {
        switch (op) {
            case kOpCreateCurve:
                createCurve();
                break;
            case kOpCreateMesh:
                createMesh();
                break;
            case kOpCreateCamera:
                createCamera();
                break;
            case kOpCreateManager:
                createManager();
                break;
            case kOpCreateGroup:
                createGroup();
                break;
            case kOpDelete: {
                const std::string name = anyName();
                khost::deleteNode(name, in_.flag());
                break;
            }
            case kOpFlushUndo:
                khost::flushUndoQueue();
                break;
            case kOpRename:
                rename();
                break;
            case kOpParent: {
                const std::string child = anyName();
                const std::string parent = in_.flag() ? std::string() : pickName(groups_);
                khost::parentNode(child, parent);
                break;
            }
            case kOpTransform:
                transform();
                break;
            case kOpSetCV: {
                const std::string curve = pickName(curves_);
                const int index = in_.int16();
                khost::setCV(curve, index, in_.vec());
                break;
            }
            case kOpSetCVs:
                setCVs();
                break;
            case kOpSelectObjects: {
                const std::vector<std::string> objects = names(in_.pick(4));
                khost::select(objects, in_.flag());
                break;
            }
            case kOpSelectComponents:
                selectComponents();
                break;
            case kOpRichSelection:
                richSelection();
                break;
            case kOpSetHilite:
                khost::setHilite(names(in_.pick(4)));
                break;
            case kOpApiSelection:
                apiSelection();
                break;
            case kOpClearSelection:
                khost::clearSelection();
                break;
            case kOpSetAttr:
                setAttr();
                break;
            case kOpOccluderName: {
                const std::string node = pickName(managers_);
                const char* attribute = in_.flag() ? "occluderMeshName" : "oclmeshname";
                khost::setAttrString(node, attribute, occluderName());
                break;
            }
            case kOpDisplayStatus:
                displayStatus();
                break;
            case kOpAddView:
                addView();
                break;
            case kOpSetActiveView:
                khost::setActiveView(in_.pick(limits_.maxViews + 1) - 1);
                break;
            case kOpDrawFrame:
                if (frames_ < limits_.maxFrames) {
                    return frame();
                }
                break;
            case kOpCycleModule:
                return cycleModule();
            case kOpCount:
                break;
        }
        return "";
    }

    std::string frame() {
        ++frames_;
        invariants_.beforeFrame();
        khost::drawFrame();
        std::vector<MDagPath> managers;
        for (const Made& m : managers_) {
            managers.push_back(m.path);
        }
        if (trace_) {
            traceFrame(managers);
        }
        std::vector<Violation> violations = invariants_.afterFrame(managers);
        // The reference frame sees every frame, so that its state stays in
        // step with the plug-in's.
        const std::string difference = referenceFrame().checkFrame(managers, viewCameras_);
        if (!difference.empty()) {
            violations.push_back(Violation{"reference", difference});
        }
        for (const Violation& violation : violations) {
            if (knownFaults().count(violation.kind) == 0) {
                std::ostringstream out;
                out << "frame " << frames_ << ": [" << violation.kind << "] " << violation.message;
                return out.str();
            }
        }
        return "";
    }

    // What each draw manager node recorded in each view.
    void traceFrame(const std::vector<MDagPath>& managers) const {
        for (const MDagPath& m : managers) {
            if (!m.isValid()) {
                continue;
            }
            const std::string node = m.fullPathName().asChar();
            for (int v = 0; v < khost::viewCount(); ++v) {
                const auto* record = dynamic_cast<const UserData*>(khost::userData(v, node));
                std::fprintf(stderr, "  frame %d %s view %d: %zu calls", frames_, node.c_str(), v,
                             khost::drawCalls(v, node).size());
                if (record != nullptr) {
                    std::fprintf(stderr, ", %u points, %u markers, %zu curve samples, %zu hull lists",
                                 record->cvPoints.length(), record->markerPoints.length(),
                                 record->curveSamples.size(), record->hullLinePoints.size());
                }
                std::fprintf(stderr, "\n");
            }
        }
    }

    void traceMade(const char* what, const std::string& name, const std::string& error = "") const {
        if (trace_) {
            std::fprintf(stderr, "  %s %s%s\n", what, name.empty() ? "refused" : name.c_str(),
                         error.empty() ? "" : (": " + error).c_str());
        }
    }

    // ------------------------------------------------------------ names

    std::string pickName(const std::vector<Made>& list) {
        const int choice = in_.byte();
        if (list.empty() || choice >= 240) {
            return kOddNames[static_cast<std::size_t>(choice) % kOddNames.size()];
        }
        const MDagPath& path = list[static_cast<std::size_t>(choice) % list.size()].path;
        // The transform, its shape, or its full path: the harness takes all three.
        switch (choice % 3) {
            case 0:
                return nameOf(path);
            case 1: {
                const std::string name = nameOf(path);
                return name.empty() ? name : khost::shapeOf(name);
            }
            default: {
                const std::string name = nameOf(path);
                const std::size_t bar = name.rfind('|');
                return bar == std::string::npos ? name : name.substr(bar + 1);
            }
        }
    }

    std::string anyName() {
        switch (in_.pick(6)) {
            case 0:
                return pickName(curves_);
            case 1:
                return pickName(meshes_);
            case 2:
                return pickName(cameras_);
            case 3:
                return pickName(managers_);
            case 4:
                return pickName(groups_);
            default:
                return pickName({});
        }
    }

    std::vector<std::string> names(int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            out.push_back(anyName());
        }
        return out;
    }

    std::string occluderName() {
        if (in_.pick(4) == 0) {
            return anyName();
        }
        return pickName(meshes_);
    }

    // ------------------------------------------------------------ creation

    void createCurve() {
        const int degree = in_.pick(9);  // 0 and 8 are refused by the host
        const int form = in_.pick(4);    // 0 is refused
        const bool repeatForPeriodic = in_.flag();
        const int knotMode = in_.pick(3);
        const std::string parent = in_.pick(4) == 0 ? pickName(groups_) : std::string();
        int count = in_.pick(48);
        count = std::min(count, limits_.maxTotalCVs - totalCVs_);
        if (count <= 0 || curveCount_ >= limits_.maxCurves) {
            return;
        }
        khost::CurveDesc desc;
        desc.degree = degree;
        desc.form = form;
        for (int i = 0; i < count; ++i) {
            desc.cvs.push_back(in_.vec());
        }
        // A periodic curve repeats its first `degree` CVs at its end.
        if (form == 3 && repeatForPeriodic && degree > 0 && count > degree) {
            for (int i = 0; i < degree; ++i) {
                desc.cvs[static_cast<std::size_t>(count - degree + i)] =
                    desc.cvs[static_cast<std::size_t>(i)];
            }
        }
        const int numKnots = count + degree - 1;
        if (knotMode == 1 && numKnots > 0) {
            // Non-decreasing knots from steps; periodic intervals repeat after numSpans.
            const int spans = std::max(1, count - degree);
            std::vector<double> steps;
            double knot = in_.real();
            desc.knots.push_back(knot);
            for (int i = 1; i < numKnots; ++i) {
                const std::size_t k = static_cast<std::size_t>(i - 1);
                const double stepValue = form == 3 && i - 1 >= spans
                                             ? steps[k - static_cast<std::size_t>(spans)]
                                             : kKnotSteps[static_cast<std::size_t>(in_.pick(8))];
                steps.push_back(stepValue);
                knot += stepValue;
                desc.knots.push_back(knot);
            }
        } else if (knotMode == 2) {
            // Any values at all, usually refused.
            const int n = numKnots + in_.pick(3) - 1;
            for (int i = 0; i < n; ++i) {
                desc.knots.push_back(in_.real());
            }
        }
        std::string error;
        const std::string made = khost::createCurve(desc, "", parent, &error);
        traceMade("curve", made, error);
        if (!made.empty()) {
            ++curveCount_;
            totalCVs_ += count;
            curves_.push_back(Made{khost::dagPath(made), MPoint()});
        }
    }

    void createMesh() {
        if (static_cast<int>(meshes_.size()) >= limits_.maxMeshes) {
            return;
        }
        khost::MeshDesc desc;
        switch (in_.pick(3)) {
            case 0: {
                const khost::Vec3 a = in_.vec();
                const khost::Vec3 b = in_.vec();
                desc = khost::boxMesh(a, b);
                break;
            }
            case 1: {
                const double size = in_.real();
                const int subdivisions = 1 + in_.pick(4);
                const khost::Vec3 center = in_.vec();
                desc = khost::planeMesh(size, subdivisions, center, in_.pick(3));
                break;
            }
            default: {
                // Free polygons, degenerate ones included (repeated or collinear vertices).
                const int vertices = 1 + in_.pick(12);
                for (int i = 0; i < vertices; ++i) {
                    desc.vertices.push_back(in_.vec());
                }
                const int faces = 1 + in_.pick(limits_.maxMeshFaces);
                for (int f = 0; f < faces; ++f) {
                    std::vector<int> face;
                    const int corners = 2 + in_.pick(4);  // 2 is refused
                    for (int c = 0; c < corners; ++c) {
                        const int index = in_.pick(vertices + 1);  // `vertices` itself is out of range
                        const bool negative = in_.pick(16) == 0;
                        face.push_back(negative ? index - vertices - 1 : index);
                    }
                    desc.faces.push_back(face);
                }
                break;
            }
        }
        if (static_cast<int>(desc.faces.size()) > limits_.maxMeshFaces) {
            desc.faces.resize(static_cast<std::size_t>(limits_.maxMeshFaces));
        }
        MPoint center(0.0, 0.0, 0.0);
        if (!desc.vertices.empty()) {
            for (const khost::Vec3& v : desc.vertices) {
                center.x += v[0];
                center.y += v[1];
                center.z += v[2];
            }
            center = center / static_cast<double>(desc.vertices.size());
            center.w = 1.0;
        }
        const std::string parent = in_.pick(4) == 0 ? pickName(groups_) : std::string();
        std::string error;
        const std::string made = khost::createMesh(desc, "", parent, &error);
        traceMade("mesh", made, error);
        if (!made.empty()) {
            meshes_.push_back(Made{khost::dagPath(made), center});
        }
    }

    // World position of a curve's CV, or of a mesh's centre; false when gone.
    bool placeOnCurve(khost::Vec3& eye) {
        const std::string curve = pickName(curves_);
        const int index = in_.byte();
        MDagPath path = khost::dagPath(curve);
        if (!path.isValid()) {
            return false;
        }
        path.extendToShape();
        if (path.apiType() != MFn::kNurbsCurve) {
            return false;
        }
        MFnNurbsCurve fn(path);
        MPointArray cvs;
        fn.getCVs(cvs, MSpace::kWorld);
        if (cvs.length() == 0) {
            return false;
        }
        const MPoint& p = cvs[static_cast<unsigned int>(index) % cvs.length()];
        eye = khost::Vec3{{p.x, p.y, p.z}};
        return true;
    }

    bool placeInMesh(khost::Vec3& eye) {
        if (meshes_.empty()) {
            return false;
        }
        const Made& mesh = meshes_[static_cast<std::size_t>(in_.byte()) % meshes_.size()];
        if (!mesh.path.isValid()) {
            return false;
        }
        const MPoint p = mesh.center * mesh.path.inclusiveMatrix();
        eye = khost::Vec3{{p.x, p.y, p.z}};
        return true;
    }

    void createCamera() {
        if (static_cast<int>(cameras_.size()) >= limits_.maxCameras) {
            return;
        }
        khost::Vec3 eye{{0.0, 0.0, 0.0}};
        const int placement = in_.pick(3);
        bool placed = false;
        if (placement == 1) {
            placed = placeOnCurve(eye);  // a camera sitting on a CV
        } else if (placement == 2) {
            placed = placeInMesh(eye);  // a camera inside the occluder
        }
        if (!placed) {
            eye = in_.vec();
        }
        const khost::Vec3 target = in_.vec();
        const double fov = in_.flag() ? in_.real() : 54.43;
        const std::string parent = in_.pick(4) == 0 ? pickName(groups_) : std::string();
        const std::string made = khost::createCamera(eye, target, fov, "", parent);
        traceMade("camera", made);
        if (made.empty()) {
            return;
        }
        cameras_.push_back(Made{khost::dagPath(made), MPoint()});
        if (in_.flag() && khost::viewCount() < limits_.maxViews) {
            const int view = khost::addView(made);
            if (view >= 0) {
                viewCameras_.push_back(cameraShapePath(made));
            }
            if (in_.flag()) {
                khost::setActiveView(view);
            }
        }
    }

    void createManager() {
        if (static_cast<int>(managers_.size()) >= limits_.maxManagers) {
            return;
        }
        const std::string made = khost::createNode(kManagerType);
        traceMade("draw manager", made);
        if (!made.empty()) {
            managers_.push_back(Made{khost::dagPath(made), MPoint()});
        }
    }

    void createGroup() {
        if (static_cast<int>(groups_.size()) >= limits_.maxGroups) {
            return;
        }
        const std::string parent = in_.flag() ? pickName(groups_) : std::string();
        const std::string made = khost::createTransform("", parent);
        if (!made.empty()) {
            groups_.push_back(Made{khost::dagPath(made), MPoint()});
        }
    }

    // ------------------------------------------------------------ edits

    void rename() {
        const std::string name = anyName();
        static const std::array<const char*, 8> kNewNames = {
            {"curve1", "curveShape1", "renamed", "pCube1", "persp", "a:b", "x", "1bad"}};
        const int choice = in_.byte();
        const std::string newName = choice < 128
                                        ? kNewNames[static_cast<std::size_t>(choice) % kNewNames.size()]
                                        : kOddNames[static_cast<std::size_t>(choice) % kOddNames.size()];
        khost::renameNode(name, newName);
    }

    void transform() {
        const std::string name = anyName();
        const int which = in_.pick(3);
        const khost::Vec3 v = in_.vec();
        if (which == 0) {
            khost::setTranslate(name, v);
        } else if (which == 1) {
            khost::setRotate(name, v);
        } else {
            khost::setScale(name, v);
        }
    }

    void setCVs() {
        const std::string curve = pickName(curves_);
        int count = in_.pick(48);
        count = std::min(count, limits_.maxTotalCVs - totalCVs_);
        if (count <= 0) {
            return;
        }
        std::vector<khost::Vec3> cvs;
        for (int i = 0; i < count; ++i) {
            cvs.push_back(in_.vec());
        }
        totalCVs_ += count;
        khost::setCVs(curve, cvs);
    }

    // ------------------------------------------------------------ selection

    void selectComponents() {
        const std::string curve = pickName(curves_);
        const MFn::Type type = kComponentTypes[static_cast<std::size_t>(in_.pick(4))];
        const int count = in_.pick(9);
        std::vector<int> elements;
        for (int i = 0; i < count; ++i) {
            elements.push_back(in_.int16());
        }
        std::vector<float> weights;
        if (in_.flag()) {
            for (int i = 0; i < count; ++i) {
                weights.push_back(static_cast<float>(in_.real()));
            }
        }
        const bool add = in_.flag();
        const bool hilite = in_.flag();
        khost::selectComponents(curve, type, elements, weights, add, hilite);
    }

    void richSelection() {
        std::vector<khost::RichItem> items;
        const int count = in_.pick(4);
        for (int i = 0; i < count; ++i) {
            khost::RichItem item;
            item.object = in_.flag() ? pickName(curves_) : anyName();
            const int cvs = in_.pick(9);
            for (int k = 0; k < cvs; ++k) {
                item.cvs.push_back(in_.int16());  // negative and out-of-range indices too
                item.weights.push_back(static_cast<float>(in_.real()));
            }
            items.push_back(item);
        }
        khost::setRichSelection(items);
    }

    // A list built through the API: components with indices the curve may
    // not have, objects of any kind, names matched by the host.
    void apiSelection() {
        MSelectionList list;
        const int count = in_.pick(5);
        for (int i = 0; i < count; ++i) {
            switch (in_.pick(3)) {
                case 0: {
                    const MDagPath path = khost::dagPath(pickName(curves_));
                    MFnSingleIndexedComponent fn;
                    MObject component = fn.create(kComponentTypes[static_cast<std::size_t>(in_.pick(4))]);
                    const int elements = in_.pick(9);
                    for (int k = 0; k < elements; ++k) {
                        fn.addElement(static_cast<uint16_t>(in_.int16()));
                    }
                    list.add(path, component, in_.flag());
                    break;
                }
                case 1:
                    list.add(khost::dagPath(anyName()));
                    break;
                default: {
                    const std::string name = anyName();
                    list.add(MString(name.c_str()), in_.flag());
                    break;
                }
            }
        }
        if (in_.flag()) {
            khost::setHiliteList(list);
        } else {
            khost::setActiveList(list);
        }
    }

    void displayStatus() {
        const std::string name = anyName();
        const int status = in_.pick(13);
        if (status == 12) {
            khost::clearDisplayStatusOverrides();
        } else if (in_.flag()) {
            khost::setTemplated(name, in_.flag());
        } else {
            khost::setDisplayStatusOverride(name, status);
        }
    }

    // ------------------------------------------------------------ settings and views

    void setAttr() {
        const std::string node = in_.pick(8) == 0 ? anyName() : pickName(managers_);
        const Attribute& attribute = kAttributes[static_cast<std::size_t>(in_.pick(kAttributes.size()))];
        const std::string name = in_.flag() ? attribute.longName : attribute.shortName;
        const bool force = in_.flag();
        if (attribute.components == 3) {
            const double a = in_.real();
            const double b = in_.real();
            const double c = in_.real();
            if (force) {
                khost::forceAttr(node, name, a, b, c);
            } else {
                khost::setAttr(node, name, a, b, c);
            }
            return;
        }
        const double value = in_.real();
        if (force) {
            khost::forceAttr(node, name, value);
        } else {
            khost::setAttr(node, name, value);
        }
    }

    void addView() {
        const std::string camera = pickName(cameras_);
        static const std::array<int, 8> kSizes = {{640, 480, 1, 0, -4, 2, 4096, 33}};
        const int width = kSizes[static_cast<std::size_t>(in_.pick(8))];
        const int height = kSizes[static_cast<std::size_t>(in_.pick(8))];
        if (khost::viewCount() < limits_.maxViews && khost::addView(camera, width, height) >= 0) {
            viewCameras_.push_back(cameraShapePath(camera));
        }
    }

    // Unload and reload the module when the host allows it. Unloading must be
    // refused while a draw manager node is in the scene, and must leave no
    // callback installed.
    std::string cycleModule() {
        bool managerAlive = false;
        for (const Made& m : managers_) {
            managerAlive = managerAlive || m.path.isValid();
        }
        const std::size_t danglingBefore = khost::danglingCallbackCount();
        const bool unloaded = khost::unloadPlugin(kModuleName);
        if (unloaded && managerAlive) {
            return "[module-unload] unloaded while a draw manager node was alive";
        }
        if (!unloaded) {
            return managerAlive ? "" : "[module-unload] refused with no draw manager node alive";
        }
        if (khost::installedCallbackCount() != 0 || khost::danglingCallbackCount() != danglingBefore) {
            std::ostringstream out;
            out << "[callbacks] after unloading: " << khost::installedCallbackCount()
                << " callbacks installed, " << khost::danglingCallbackCount() - danglingBefore
                << " left dangling";
            return out.str();
        }
        std::string error;
        if (!loadModule(&error)) {
            return "[module-load] failed to load again: " + error;
        }
        return "";
    }

    ByteReader in_;
    Limits limits_;
    FrameInvariants invariants_;
    std::vector<Made> curves_, meshes_, cameras_, managers_, groups_;
    std::vector<MDagPath> viewCameras_;  // the camera shape of each view
    bool trace_ = false;
    int curveCount_ = 0;
    int totalCVs_ = 0;
    int frames_ = 0;
};

}  // namespace

void referenceCounts(uint64_t& frames, uint64_t& cvs) {
    frames = referenceFrame().framesChecked();
    cvs = referenceFrame().cvsCompared();
}

bool loadModule(std::string* error) {
    return khost::loadPluginEntry(kModuleName, initializePlugin, uninitializePlugin, MApiVersion, error);
}

std::string playScene(const uint8_t* data, std::size_t size, const Limits& limits) {
    khost::newScene();
    referenceFrame().afterEdit();
    if (!khost::isPluginLoaded(kModuleName)) {
        std::string error;
        if (!loadModule(&error)) {
            return "module failed to load: " + error;
        }
    }
    // Every node of the previous input is gone with its callback.
    if (khost::installedCallbackCount() != 0) {
        std::ostringstream out;
        out << "[callbacks] new scene: " << khost::installedCallbackCount() << " callbacks still installed";
        return out.str();
    }
    khost::clearRegistrationLog();  // both grow with every load and unload
    khost::clearUiProcedureLog();
    khost::ConsoleCapture quiet;  // the node's console lines
    std::string problem;
    {
        ScenePlayer player(data, size, limits);
        problem = player.run();
    }
    khost::newScene();
    referenceFrame().afterEdit();
    return problem;
}

}  // namespace scenefuzz
