#include "scenes.h"

#include <cmath>
#include <stdexcept>

namespace preview {

namespace {

using khost::Vec3;

constexpr double kPi = 3.14159265358979323846;

// A host refusal while building a scene; turned into buildScene's error.
class SceneError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Builder {
public:
    Builder(BuiltScene& scene, const std::string& node) : scene_(scene), node_(node) {}

    std::string curve(const khost::CurveDesc& desc, const std::string& name) {
        std::string reason;
        const std::string made = khost::createCurve(desc, name, "", &reason);
        if (made.empty()) {
            throw SceneError("cannot create curve '" + name + "': " + reason);
        }
        scene_.curves.push_back(made);
        return made;
    }

    std::string mesh(const khost::MeshDesc& desc, const std::string& name) {
        std::string reason;
        const std::string made = khost::createMesh(desc, name, "", &reason);
        if (made.empty()) {
            throw SceneError("cannot create mesh '" + name + "': " + reason);
        }
        scene_.meshes.push_back({made, desc});
        return made;
    }

    void set(const std::string& attr, double value) {
        if (!khost::setAttr(node_, attr, value)) {
            throw SceneError("the host refused " + attr + " on " + node_);
        }
    }

    void setString(const std::string& attr, const std::string& value) {
        if (!khost::setAttrString(node_, attr, value)) {
            throw SceneError("the host refused " + attr + " on " + node_);
        }
    }

    void camera(const Vec3& eye, const Vec3& target) {
        scene_.eye = eye;
        scene_.target = target;
    }

private:
    BuiltScene& scene_;
    std::string node_;
};

// Four curves of different degree and form, each selected in another way,
// and a box in front of part of one of them that hides some of its CVs.
void buildDemo(Builder& b) {
    const std::string zigzag = b.curve(
        khost::openCurve({{-12, 0, -5}, {-10, 3, -5}, {-8, 0, -5}, {-6, 3, -5}, {-4, 0, -5}}, 1), "zigzag");
    const std::string wave = b.curve(
        khost::openCurve({{2, 0, -6}, {4, 3, -5}, {6, 0, -4}, {8, 3, -5}, {10, 0, -6}, {12, 2, -5}}, 2),
        "wave");
    const std::string sCurve = b.curve(
        khost::openCurve(
            {{-12, 0.5, 3}, {-10, 2.5, 5}, {-8, 0.5, 6}, {-6, 2, 3}, {-4, 0.5, 1}, {-2, 2, 4}, {-1, 0.5, 6}},
            3),
        "sCurve");
    const std::string ring = b.curve(khost::periodicCircle(3.5, 8, 3, {6, 1, 3}), "ring");

    b.mesh(khost::planeMesh(32.0, 8, {0, -0.5, 0}, 1), "ground");
    // Between the camera and the first CVs of sCurve.
    b.mesh(khost::boxMesh({-13.5, 0.0, 7.5}, {-8.0, 5.0, 8.5}), "occluder");

    // CVs picked on one curve (which hilites it), another curve picked as an
    // object, then soft selection on: the host's rich selection then holds
    // everything selected, the falloff around the ring's first CV with
    // graded weights (the ring's last three CVs repeat its first three).
    khost::selectCVs(sCurve, {2, 4});
    khost::select({zigzag}, true);
    khost::setRichSelection({
        {ring, {0, 1, 7, 2, 6, 8, 9, 10}, {1.0f, 0.7f, 0.7f, 0.35f, 0.35f, 1.0f, 0.7f, 0.35f}},
        {sCurve, {2, 4}, {1.0f, 1.0f}},
        {wave, {}, {}},
        {zigzag, {}, {}},
    });

    b.set("useCVOcclusion", 1.0);
    b.setString("occluderMeshName", "occluder");
    b.camera({0, 17, 32}, {0, 1, 0});
}

// The outline of a cube of half size h around c, as one degree-1 curve.
std::vector<Vec3> cubeOutline(const Vec3& c, double h) {
    static const int corners[16][3] = {{-1, 1, 1},   {1, 1, 1},   {1, 1, -1},   {-1, 1, -1},
                                       {-1, 1, 1},   {-1, -1, 1}, {1, -1, 1},   {1, 1, 1},
                                       {1, -1, 1},   {1, -1, -1}, {1, 1, -1},   {1, -1, -1},
                                       {-1, -1, -1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}};
    std::vector<Vec3> cvs;
    for (const auto& k : corners) {
        cvs.push_back({c[0] + h * k[0], c[1] + h * k[1], c[2] + h * k[2]});
    }
    return cvs;
}

// A closed rectangle in the XZ plane as a degree-1 curve (last CV = first).
std::vector<Vec3> footOutline(const Vec3& c, double halfX, double halfZ) {
    return {{c[0] - halfX, c[1], c[2] - halfZ},
            {c[0] + halfX, c[1], c[2] - halfZ},
            {c[0] + halfX, c[1], c[2] + halfZ},
            {c[0] - halfX, c[1], c[2] + halfZ},
            {c[0] - halfX, c[1], c[2] - halfZ}};
}

// Twenty animation controls of a character, all hilited for editing, some
// CVs of the head control picked.
void buildRig(Builder& b) {
    std::vector<std::string> controls;
    controls.push_back(b.curve(khost::periodicCircle(6.0, 8, 3, {0, 0, 0}), "root_ctrl"));
    controls.push_back(b.curve(khost::periodicCircle(3.0, 8, 3, {0, 5, 0}), "hips_ctrl"));
    for (int i = 0; i < 3; ++i) {
        controls.push_back(b.curve(khost::periodicCircle(2.2, 8, 3, {0, 7.0 + 2.0 * i, 0}),
                                   "spine" + std::to_string(i + 1) + "_ctrl"));
    }
    const std::string head = b.curve(khost::periodicCircle(1.6, 8, 3, {0, 14, 0}), "head_ctrl");
    controls.push_back(head);
    for (int side = -1; side <= 1; side += 2) {
        const std::string tag = side < 0 ? "R" : "L";
        controls.push_back(
            b.curve(khost::openCurve(cubeOutline({6.0 * side, 10, 0}, 0.8), 1), "arm_" + tag + "_ik"));
        controls.push_back(b.curve(khost::openCurve(footOutline({2.0 * side, 0.2, 1}, 0.6, 1.0), 1),
                                   "foot_" + tag + "_ctrl"));
        for (int f = 0; f < 5; ++f) {
            controls.push_back(b.curve(khost::periodicCircle(0.35, 6, 3, {7.8 * side, 10, -0.8 + 0.4 * f}),
                                       "finger_" + tag + std::to_string(f + 1) + "_ctrl"));
        }
    }
    khost::selectCVs(head, {0, 1, 2, 3});
    khost::setHilite(controls);

    b.set("pointSize", 7.0);
    b.set("lineWidth", 2.0);
    b.camera({11, 12, 25}, {0, 6, 0});
}

// Two hilited curves with the hull overlay on.
void buildHull(Builder& b) {
    std::vector<Vec3> cvs;
    for (int i = 0; i < 9; ++i) {
        const double x = -10.0 + 2.5 * i;
        cvs.push_back({x, (i % 2 == 0) ? 0.5 : 4.0, 3.0 * std::sin(0.8 * i)});
    }
    const std::string path = b.curve(khost::openCurve(cvs, 3), "path");
    const std::string loop = b.curve(khost::periodicCircle(4.0, 6, 3, {0, 1, -6}), "loop");
    khost::selectCVs(path, {3, 4, 5});
    khost::setHilite({path, loop});

    b.set("showHull", 1.0);
    b.set("hullWidth", 2.0);
    b.set("curveAlpha", 0.6);
    b.camera({0, 16, 22}, {0, 1, -1});
}

// Many CVs: a long helix and a flat spiral, every eighth helix CV picked.
void buildDense(Builder& b) {
    std::vector<Vec3> helix;
    for (int i = 0; i < 160; ++i) {
        const double a = 0.3 * i;
        helix.push_back({6.0 * std::cos(a), 0.12 * i, 6.0 * std::sin(a)});
    }
    std::vector<Vec3> spiral;
    for (int i = 0; i < 80; ++i) {
        const double a = 0.35 * i;
        const double r = 2.0 + 0.12 * i;
        spiral.push_back({r * std::cos(a + kPi), 0.0, r * std::sin(a + kPi)});
    }
    const std::string helixCurve = b.curve(khost::openCurve(helix, 3), "helix");
    const std::string spiralCurve = b.curve(khost::openCurve(spiral, 2), "spiral");
    std::vector<int> picked;
    for (int i = 0; i < 160; i += 8) {
        picked.push_back(i);
    }
    khost::selectCVs(helixCurve, picked);
    khost::setHilite({helixCurve, spiralCurve});

    b.set("pointSize", 5.0);
    b.set("lineWidth", 2.0);
    b.set("curveDivisions", 8.0);
    b.camera({22, 24, 30}, {0, 8, 0});
}

struct SceneEntry {
    SceneInfo info;
    void (*build)(Builder&);
};

const std::vector<SceneEntry>& entries() {
    static const std::vector<SceneEntry> all = {
        {{"demo",
          "curves of degree 1, 2, 3 and a circle: picked CVs, soft and object selection, an occluder"},
         buildDemo},
        {{"rig", "twenty small animation controls hilited for editing, four head CVs picked"}, buildRig},
        {{"hull", "two hilited curves with the hull overlay on"}, buildHull},
        {{"dense", "a 160-CV helix and an 80-CV spiral, every eighth helix CV picked"}, buildDense},
    };
    return all;
}

}  // namespace

const std::vector<SceneInfo>& sceneCatalog() {
    static const std::vector<SceneInfo> catalog = [] {
        std::vector<SceneInfo> infos;
        for (const SceneEntry& e : entries()) {
            infos.push_back(e.info);
        }
        return infos;
    }();
    return catalog;
}

bool sceneExists(const std::string& name) {
    for (const SceneEntry& e : entries()) {
        if (name == e.info.name) {
            return true;
        }
    }
    return false;
}

bool buildScene(const std::string& name, const std::string& node, BuiltScene& scene, std::string& error) {
    for (const SceneEntry& e : entries()) {
        if (name != e.info.name) {
            continue;
        }
        try {
            Builder builder(scene, node);
            e.build(builder);
            return true;
        } catch (const SceneError& failure) {
            error = failure.what();
            return false;
        }
    }
    error = "unknown scene '" + name + "'";
    return false;
}

}  // namespace preview
