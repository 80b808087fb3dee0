#pragma once
// The built-in scenes of knotlens-preview. A scene is built through the
// embedded host's harness into an empty host scene that already holds the
// draw manager node: curves, meshes, the selection a user would have made,
// the node settings the scene is about, and the camera it is best seen from.
#include <khost/harness.h>

#include <string>
#include <vector>

namespace preview {

struct SceneInfo {
    const char* name;
    const char* summary;  // one line, for --help
};

// Every built-in scene, the default ("demo") first.
const std::vector<SceneInfo>& sceneCatalog();
bool sceneExists(const std::string& name);

// A mesh of the scene with the geometry it was made from, so that the
// picture can draw its edges.
struct SceneMesh {
    std::string name;  // transform name
    khost::MeshDesc desc;
};

struct BuiltScene {
    std::vector<std::string> curves;  // transform names, in creation order
    std::vector<SceneMesh> meshes;
    khost::Vec3 eye{{28.0, 21.0, 28.0}};  // default camera
    khost::Vec3 target{{0.0, 0.0, 0.0}};
};

// Builds the named scene and applies its settings to `node`. False, with a
// reason in `error`, when the host refuses any step.
bool buildScene(const std::string& name, const std::string& node, BuiltScene& scene, std::string& error);

}  // namespace preview
