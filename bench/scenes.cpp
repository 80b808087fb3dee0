#include "scenes.h"

#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MSelectionList.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace knotlens_bench {

const char* const kNodeType = "QVTK_Tessark_DrawManagerNode";

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string curveName(std::size_t index) {
    return "guide" + std::to_string(index + 1);
}

// A fresh scene with the draw manager node. The node is made before any
// curve or selection, so the selection the benchmarks set up is the one the
// overlay tracks.
BuiltScene startScene() {
    khost::newScene();
    BuiltScene scene;
    scene.node = khost::createNode(kNodeType);
    return scene;
}

void addCurve(BuiltScene& scene, std::vector<khost::Vec3> cvs, const std::string& name) {
    const std::string made = khost::createCurve(khost::openCurve(cvs), name);
    if (made.empty()) {
        return;
    }
    scene.curves.push_back(made);
    scene.restCVs.push_back(std::move(cvs));
}

void addGuides(BuiltScene& scene, std::size_t curves, int cvsPerCurve) {
    scene.curves.reserve(curves);
    scene.restCVs.reserve(curves);
    for (std::size_t i = 0; i < curves; ++i) {
        addCurve(scene, guideCurveCVs(i, curves, cvsPerCurve), curveName(i));
    }
}

std::size_t totalCVs(const BuiltScene& scene) {
    std::size_t n = 0;
    for (const auto& cvs : scene.restCVs) {
        n += cvs.size();
    }
    return n;
}

}  // namespace

bool ensurePluginLoaded(const std::string& modulePath, std::string* error) {
    static bool loaded = false;
    static std::string failure;
    if (!loaded && failure.empty()) {
        khost::ConsoleCapture quiet;  // the plug-in's console lines stay out of the report
        std::string why;
        if (khost::loadPlugin(modulePath, &why)) {
            loaded = true;
        } else {
            failure = why.empty() ? "the host refused " + modulePath : why;
        }
    }
    if (!loaded && error != nullptr) {
        *error = failure;
    }
    return loaded;
}

std::string applySettings(const BuiltScene& scene, const OverlaySettings& settings) {
    const std::string& n = scene.node;
    bool ok = khost::setAttr(n, "showCurve", settings.showCurve ? 1.0 : 0.0);
    ok = khost::setAttr(n, "curveDivisions", settings.curveDivisions) && ok;
    ok = khost::setAttr(n, "showHull", settings.showHull ? 1.0 : 0.0) && ok;
    ok = khost::setAttr(n, "useCVOcclusion", settings.occlusion ? 1.0 : 0.0) && ok;
    ok = khost::setAttr(n, "lazyUpdate", settings.lazyUpdate ? 1.0 : 0.0) && ok;
    if (!scene.occluder.empty()) {
        ok = khost::setAttrString(n, "occluderMeshName", scene.occluder) && ok;
    }
    return ok ? std::string() : "the node " + n + " refused an overlay setting";
}

// The host's MSelectionList::add and merge cost time in the length of the
// list they extend, so one add per object would make building a list of 10^5
// curves quadratic; pairwise merges of ever longer lists give the same list,
// in the same order, in n log n.
void hiliteObjects(const std::vector<std::string>& objects) {
    std::vector<MSelectionList> level;
    level.reserve(objects.size());
    for (const std::string& name : objects) {
        MSelectionList one;
        one.add(khost::dagPath(name));
        level.push_back(one);
    }
    while (level.size() > 1) {
        std::vector<MSelectionList> next;
        next.reserve((level.size() + 1) / 2);
        for (std::size_t i = 0; i < level.size(); i += 2) {
            if (i + 1 < level.size()) {
                level[i].merge(level[i + 1]);
            }
            next.push_back(level[i]);
        }
        level.swap(next);
    }
    khost::setHiliteList(level.empty() ? MSelectionList() : level.front());
}

// ---------------------------------------------------------------- geometry

std::vector<khost::Vec3> guideCurveCVs(std::size_t index, std::size_t count, int cvsPerCurve) {
    const auto side = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(count))));
    const double spacing = 20.0 / static_cast<double>(side);
    const double rootX = -10.0 + (static_cast<double>(index % side) + 0.5) * spacing;
    const double rootZ = -10.0 + (static_cast<double>(index / side) + 0.5) * spacing;
    const double phase = 0.37 * static_cast<double>(index);
    std::vector<khost::Vec3> cvs;
    cvs.reserve(static_cast<std::size_t>(cvsPerCurve));
    for (int j = 0; j < cvsPerCurve; ++j) {
        const double t = cvsPerCurve > 1 ? static_cast<double>(j) / (cvsPerCurve - 1) : 0.0;
        const double wave = 0.3 * t;
        cvs.push_back(
            {rootX + wave * std::sin(0.9 * j + phase), 8.0 * t, rootZ + wave * std::cos(0.7 * j + phase)});
    }
    return cvs;
}

std::vector<khost::Vec3> helixCVs(int cvCount) {
    const double turns = std::max(1.0, cvCount / 40.0);
    std::vector<khost::Vec3> cvs;
    cvs.reserve(static_cast<std::size_t>(cvCount));
    for (int j = 0; j < cvCount; ++j) {
        const double t = cvCount > 1 ? static_cast<double>(j) / (cvCount - 1) : 0.0;
        const double angle = 2.0 * kPi * turns * t;
        cvs.push_back({8.0 * std::cos(angle), -5.0 + 10.0 * t, 8.0 * std::sin(angle)});
    }
    return cvs;
}

khost::MeshDesc horizontalGrid(int nx, int ny, double half, double height) {
    khost::MeshDesc mesh;
    mesh.vertices.reserve(static_cast<std::size_t>((nx + 1) * (ny + 1)));
    for (int j = 0; j <= ny; ++j) {
        for (int i = 0; i <= nx; ++i) {
            mesh.vertices.push_back({-half + 2.0 * half * i / nx, height, -half + 2.0 * half * j / ny});
        }
    }
    mesh.faces.reserve(static_cast<std::size_t>(nx * ny));
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const int a = j * (nx + 1) + i;
            const int b = a + nx + 1;
            mesh.faces.push_back({a, a + 1, b + 1, b});
        }
    }
    return mesh;
}

khost::MeshDesc occluderMesh(std::size_t triangles, double half, double height) {
    // nx * ny = triangles / 2 with nx and ny as close as possible.
    const std::size_t quads = std::max<std::size_t>(1, triangles / 2);
    auto ny = static_cast<std::size_t>(std::sqrt(static_cast<double>(quads)));
    while (ny > 1 && quads % ny != 0) {
        --ny;
    }
    const std::size_t nx = quads / ny;
    return horizontalGrid(static_cast<int>(nx), static_cast<int>(ny), half, height);
}

std::size_t triangleCount(const khost::MeshDesc& mesh) {
    std::size_t n = 0;
    for (const auto& face : mesh.faces) {
        if (face.size() >= 3) {
            n += face.size() - 2;
        }
    }
    return n;
}

// ---------------------------------------------------------------- scenes

BuiltScene buildHilitedGuides(std::size_t curves, int cvsPerCurve) {
    BuiltScene scene = startScene();
    addGuides(scene, curves, cvsPerCurve);
    hiliteObjects(scene.curves);
    scene.cvsPerView = totalCVs(scene);
    return scene;
}

BuiltScene buildRig(std::size_t curves, int cvsPerCurve, const std::vector<int>& selected) {
    BuiltScene scene = startScene();
    addGuides(scene, curves, cvsPerCurve);
    for (std::size_t i = 0; i < scene.curves.size(); ++i) {
        khost::selectCVs(scene.curves[i], selected, /*add=*/i > 0);
    }
    scene.cvsPerView = totalCVs(scene);
    scene.selectedPerView = scene.curves.size() * selected.size();
    return scene;
}

BuiltScene buildDenseSelected(int cvCount) {
    BuiltScene scene = startScene();
    addCurve(scene, helixCVs(cvCount), "dense1");
    std::vector<int> all(static_cast<std::size_t>(cvCount));
    for (int i = 0; i < cvCount; ++i) {
        all[static_cast<std::size_t>(i)] = i;
    }
    if (!scene.curves.empty()) {
        khost::selectCVs(scene.curves.front(), all);
    }
    scene.cvsPerView = totalCVs(scene);
    scene.selectedPerView = scene.cvsPerView;
    return scene;
}

BuiltScene buildSoftSelection(std::size_t curves, int cvsPerCurve, int weightedCVs) {
    BuiltScene scene = startScene();
    addGuides(scene, curves, cvsPerCurve);
    hiliteObjects(scene.curves);
    std::vector<khost::RichItem> items;
    items.reserve(scene.curves.size());
    for (const auto& curve : scene.curves) {
        khost::RichItem item;
        item.object = curve;
        for (int j = 0; j < weightedCVs; ++j) {
            item.cvs.push_back(j);
            item.weights.push_back(1.0f - static_cast<float>(j) / static_cast<float>(weightedCVs));
        }
        items.push_back(std::move(item));
    }
    khost::setRichSelection(items);
    scene.cvsPerView = totalCVs(scene);
    scene.selectedPerView = scene.curves.size() * static_cast<std::size_t>(weightedCVs);
    return scene;
}

BuiltScene buildOccluded(std::size_t curves, int cvsPerCurve, std::size_t triangles) {
    BuiltScene scene = buildHilitedGuides(curves, cvsPerCurve);
    const khost::MeshDesc mesh = occluderMesh(triangles, 15.0, 3.0);
    scene.occluder = khost::createMesh(mesh, "occluder");
    scene.occluderTriangles = triangleCount(mesh);
    return scene;
}

BuiltScene buildTwoViews(std::size_t curves, int cvsPerCurve) {
    BuiltScene scene = buildHilitedGuides(curves, cvsPerCurve);
    const std::string camera = khost::createCamera({-30.0, 14.0, 22.0}, {0.0, 3.0, 0.0}, 54.43, "sideCam");
    khost::addView(camera);
    khost::setActiveView(0);
    scene.views = khost::viewCount();
    return scene;
}

// ---------------------------------------------------------------- cache

const BuiltScene& SceneCache::use(const std::string& key, const std::function<BuiltScene()>& build) {
    if (key != key_) {
        khost::ConsoleCapture quiet;  // node creation and deletion print console lines
        key_.clear();
        scene_ = build();
        key_ = key;
        ++builds_;
    }
    return scene_;
}

SceneCache& sceneCache() {
    static SceneCache cache;
    return cache;
}

void moveCurves(const BuiltScene& scene, int phase, double lift) {
    const double dy = phase != 0 ? lift : 0.0;
    std::vector<khost::Vec3> cvs;
    for (std::size_t i = 0; i < scene.curves.size(); ++i) {
        cvs = scene.restCVs[i];
        for (auto& p : cvs) {
            p[1] += dy;
        }
        khost::setCVs(scene.curves[i], cvs);
    }
}

// ---------------------------------------------------------------- what was drawn

DrawnSummary summarizeDrawn(int view, const std::string& node) {
    DrawnSummary s;
    for (const khost::DrawCall& call : khost::drawCalls(view, node)) {
        if (call.kind == khost::DrawCall::Circle2d) {
            ++s.markers;
        } else if (call.kind == khost::DrawCall::Mesh && call.primitive == 0) {
            s.points += call.points.length();
            for (unsigned int i = 0; i < call.colors.length(); ++i) {
                if (call.colors[i].a == 0.0f) {
                    ++s.transparentPoints;
                }
            }
        } else if (call.kind == khost::DrawCall::Mesh && call.primitive == 1) {
            s.lineVertices += call.points.length();
        }
    }
    return s;
}

std::string checkDrawn(const BuiltScene& scene) {
    if (scene.node.empty()) {
        return "no draw manager node in the scene";
    }
    for (int v = 0; v < scene.views; ++v) {
        const DrawnSummary s = summarizeDrawn(v, scene.node);
        if (s.points != scene.cvsPerView || s.markers != scene.curves.size()) {
            return "view " + std::to_string(v) + " drew " + std::to_string(s.points) + " CV points and " +
                   std::to_string(s.markers) + " markers, expected " + std::to_string(scene.cvsPerView) +
                   " and " + std::to_string(scene.curves.size());
        }
    }
    return std::string();
}

}  // namespace knotlens_bench
