#pragma once
// Scene builders for the frame benchmarks and their checks. Every scene holds
// one draw manager node and a set of NURBS curves that the overlay draws,
// built through the embedded host's harness exactly as a user would build
// them (curves, selection, hilite, soft selection, meshes, cameras, views).
#include <khost/harness.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace knotlens_bench {

// The node type the plug-in registers.
extern const char* const kNodeType;

// Loads the built plug-in module once per process (later calls are no-ops).
// False, with the reason in *error, when the host refuses it.
bool ensurePluginLoaded(const std::string& modulePath, std::string* error = nullptr);

struct BuiltScene {
    std::string node;                               // the draw manager node (shape name)
    std::vector<std::string> curves;                // curve transforms, in creation order
    std::vector<std::vector<khost::Vec3>> restCVs;  // object-space CVs of each curve as built
    std::size_t cvsPerView = 0;                     // CV points the overlay draws in one view
    std::size_t selectedPerView = 0;                // of those, CVs named by a CV component
    std::string occluder;                           // mesh transform, empty when none
    std::size_t occluderTriangles = 0;
    int views = 1;
};

// The overlay settings a benchmark depends on. Applied in full before every
// benchmark, since scenes are shared between benchmarks.
struct OverlaySettings {
    bool showCurve = false;
    int curveDivisions = 5;
    bool showHull = false;
    bool occlusion = false;
    bool lazyUpdate = false;
};
// Empty on success, else which setting the node refused.
std::string applySettings(const BuiltScene& scene, const OverlaySettings& settings);

// Makes `objects` the hilite list, in that order, as khost::setHilite does,
// but in n log n host time for long lists (one selection change event).
void hiliteObjects(const std::vector<std::string>& objects);

// ---------------------------------------------------------------- geometry
// CVs of hair-like guide curve `index` out of `count`: roots on a square grid
// in the XZ patch [-10, 10]^2, rising 8 units along +Y with a small wave.
std::vector<khost::Vec3> guideCurveCVs(std::size_t index, std::size_t count, int cvsPerCurve);
// CVs of one long helix around the Y axis (radius 8, from y = -5 to y = 5).
std::vector<khost::Vec3> helixCVs(int cvCount);
// A flat grid of nx * ny quads in the plane y = height over [-half, half]^2:
// exactly 2 * nx * ny triangles once fan-triangulated.
khost::MeshDesc horizontalGrid(int nx, int ny, double half, double height);
// A grid with as close to `triangles` triangles as an nx * ny layout allows
// (exact for the even counts the benchmarks use).
khost::MeshDesc occluderMesh(std::size_t triangles, double half, double height);
std::size_t triangleCount(const khost::MeshDesc& mesh);

// ---------------------------------------------------------------- scenes
// Every builder starts from khost::newScene() and leaves the default view
// (camera "persp" at (28, 21, 28), looking at the origin) active.

// `curves` guide curves of `cvsPerCurve` CVs, all hilited, nothing selected:
// every CV is drawn unselected.
BuiltScene buildHilitedGuides(std::size_t curves, int cvsPerCurve);
// `curves` curves of `cvsPerCurve` CVs; on each, the CVs `selected` are
// selected as components (which hilites the curve).
BuiltScene buildRig(std::size_t curves, int cvsPerCurve, const std::vector<int>& selected);
// One helix curve of `cvCount` CVs with every CV selected.
BuiltScene buildDenseSelected(int cvCount);
// `curves` guide curves, hilited, with a soft selection: on each curve the
// first `weightedCVs` CVs carry falloff weights from 1 down.
BuiltScene buildSoftSelection(std::size_t curves, int cvsPerCurve, int weightedCVs);
// Hilited guide curves and a horizontal occluder grid of `triangles`
// triangles at y = 3, which hides the CVs below it from the default camera.
BuiltScene buildOccluded(std::size_t curves, int cvsPerCurve, std::size_t triangles);
// Hilited guide curves seen by the default view and by a second model view
// through another camera.
BuiltScene buildTwoViews(std::size_t curves, int cvsPerCurve);

// Keeps the last built scene, so that benchmarks sharing a scene (and the
// repeated calls of one benchmark while its iteration count is found) build
// it once. Building another scene replaces it.
class SceneCache {
public:
    const BuiltScene& use(const std::string& key, const std::function<BuiltScene()>& build);
    const std::string& currentKey() const { return key_; }
    int builds() const { return builds_; }
    void invalidate() { key_.clear(); }

private:
    std::string key_;
    BuiltScene scene_;
    int builds_ = 0;
};
SceneCache& sceneCache();

// Moves every curve of the scene: phase 0 puts the CVs at their rest
// positions, phase 1 lifts them by `lift` along Y. Alternating the phase
// between frames makes every frame see changed CVs.
void moveCurves(const BuiltScene& scene, int phase, double lift = 0.01);

// ---------------------------------------------------------------- what was drawn
struct DrawnSummary {
    std::size_t points = 0;             // vertices of kPoints meshes
    std::size_t lineVertices = 0;       // vertices of kLines meshes
    std::size_t markers = 0;            // 2D circles
    std::size_t transparentPoints = 0;  // point colours with alpha 0
};
DrawnSummary summarizeDrawn(int view, const std::string& node);

// Empty when every view of the last frame drew the scene's CVs (the check
// that a benchmark measures the scene it claims to); else what is wrong.
std::string checkDrawn(const BuiltScene& scene);

}  // namespace knotlens_bench
