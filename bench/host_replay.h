#pragma once
// The embedded host's side of one overlay frame, replayed with no plug-in
// code: every host call a frame of the overlay makes on a scene, in the
// frame's order, with the draw calls the plug-in made in a real frame.
//
// One replayed frame:
//   - the node's settings (plug reads; through the harness's attribute
//     lookup, which costs at least what a plug read costs);
//   - the selection fetch as the tracker makes it (rich selection, active
//     list, hilite list, merge) and its copy into the tracked list;
//   - the camera's inclusive matrix, the frame context's view-projection
//     matrix and viewport;
//   - for each item: getDagPath, extendToShape, apiType, fullPathName, and
//     for the first item of each curve getCVs in world space, displayStatus
//     and for CV components the component's type, weights flag, element
//     count and elements;
//   - the draw manager calls of the frame, with the arrays the plug-in
//     handed over in a real frame of the same scene (copied once, untimed).
#include <khost/harness.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>
#include <maya/MUIDrawManager.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "scenes.h"

namespace knotlens_bench {

// A scene whose frames are replayed: `name` is the benchmark's last name
// segment (rig, groom, scaling), `frame` the frame benchmark of the scene.
struct ReplayScene {
    std::string name;
    std::string frame;
    std::string sceneKey;  // the scene cache's key, shared with the frame benchmark
    std::function<BuiltScene()> build;
};

// The rig, groom and scaling/curves:100000 scenes, the largest last (so
// that no benchmark of a family runs after a larger scene was built).
const std::vector<ReplayScene>& replayScenes();

// Makes one recorded draw call again on `draw`.
void replayCall(MHWRender::MUIDrawManager& draw, const khost::DrawCall& call);

class HostReplay {
public:
    // Gives the node its default settings, draws one real frame of `scene`,
    // records its draw calls, finds the items the overlay queries, and runs
    // the replay once (which sizes its storage). Empty when that run made the
    // frame's host calls (as many draw calls as recorded, every curve queried
    // once), else why the replay cannot stand for the frame.
    std::string prepare(const BuiltScene& scene);

    // One replayed frame.
    void run();

    // Folds every queried value, so that no query can be optimised away.
    double checksum() const { return checksum_; }

private:
    const BuiltScene* scene_ = nullptr;
    std::vector<khost::DrawCall> recorded_;
    std::vector<char> firstMention_;  // per tracked item: the first item of its curve
    MSelectionList tracked_;
    MPointArray cvs_;
    double checksum_ = 0.0;
    std::size_t curvesQueried_ = 0;  // in the latest run
};

}  // namespace knotlens_bench
