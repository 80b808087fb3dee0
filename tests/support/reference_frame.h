#pragma once
// A second, deliberately plain implementation of the overlay's frame, used to
// check the plug-in's draw calls frame by frame. It reads the scene through
// the host API and the harness only, keeps its own copy of the process-wide
// selection state and of every draw manager node's curve caches, and works
// out for every node and view the draw calls the overlay must make.
//
// Use: one ReferenceFrame for the whole process (the plug-in's process-wide
// state lives as long as the process), told about every scene edit and
// checking every frame:
//
//     reference.afterEdit();                 // after each scene edit
//     khost::drawFrame();
//     std::string difference = reference.checkFrame(managers, viewCameras);
//
// Colours and points are compared bit for bit. CV records at equal distance
// from the camera may be drawn in either order; such a group is accepted in
// whatever order the plug-in chose, provided that one order reproduces every
// point, colour, marker and hull vertex the plug-in drew.
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MSelectionList.h>

#include <khost/harness.h>

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace reference {

// The drawing settings a frame copies from its node.
struct Settings {
    bool drawOnTop = true;
    float pointSize = 10.5f;
    float lineWidth = 4.0f;
    float hullWidth = 3.0f;
    int curveDivisions = 5;
    MColor selectedPointColor{0.0f, 1.0f, 0.0f, 1.0f};
    MColor deselectedPointColor{1.0f, 0.0f, 0.0f, 1.0f};
    MColor curveColor{0.0f, 0.0f, 1.0f, 1.0f};
    MColor hullColor{0.5f, 0.0f, 0.5f, 1.0f};
    bool showCurve = false;
    bool showHull = false;
};

// One CV as a frame draws it.
struct Cv {
    uint32_t curve = 0;
    uint32_t index = 0;
    MPoint position;
    bool selected = false;
    float weight = 1.0f;
    float alphaScale = 1.0f;
    double distance = 0.0;
    bool hasMarker = false;  // first CV with a place in the view
    MPoint marker;           // its marker position in view pixels
};

// One evaluated curve point of a frame.
struct Sample {
    uint32_t curve = 0;
    MPoint position;
};

// Everything one node's preparation in one view decided; the draw calls
// follow from it and from an order of the CVs.
struct FrameModel {
    Settings settings;
    int nodeState = 0;
    bool complete = false;  // the frame ran to its end (not stopped early or abandoned)
    std::vector<Cv> cvs;    // in walk order
    std::vector<Sample> samples;
    bool rampByRank = false;
    bool useCVDistanceColor = false;
    bool useHullDistanceColor = false;
    bool useCurveDistanceColor = false;
    float distanceColorMin = 0.25f;
    float rampTop = 1.0f;
    MPoint cameraPoint;
};

// The draw calls of a model with its CVs in `order` (indices into cvs).
std::vector<khost::DrawCall> drawCalls(const FrameModel& model, const std::vector<std::size_t>& order);
// The CV indices farthest first (NaN distances first), ties in walk order.
std::vector<std::size_t> depthOrder(const FrameModel& model);
// Empty when the plug-in's calls are those of the model for some order of
// the CVs that is a depth order; otherwise a description of the first
// difference. `reordered` (optional) tells whether the plug-in drew CVs at
// equal distance in another order than depthOrder's.
std::string compare(const FrameModel& model, const std::vector<khost::DrawCall>& actual,
                    bool* reordered = nullptr);
// Two call lists bit for bit: empty when equal, else the first difference.
std::string firstDifference(const std::vector<khost::DrawCall>& expected,
                            const std::vector<khost::DrawCall>& actual);

class ReferenceFrame {
public:
    ReferenceFrame();
    ~ReferenceFrame();
    ReferenceFrame(const ReferenceFrame&) = delete;
    ReferenceFrame& operator=(const ReferenceFrame&) = delete;

    // Follows the host's selection events: call after every scene edit (a
    // selection event reaches the overlay's selection only while a draw
    // manager node has its callback installed).
    void afterEdit();

    // Call right after khost::drawFrame(). `managers`: every draw manager
    // node made, in creation order (an invalid path is a deleted node);
    // `viewCameras`: the camera shape of each view, by view index. Prepares
    // the reference frame and compares every node's calls in every view.
    // Empty when all agree, else the first difference.
    std::string checkFrame(const std::vector<MDagPath>& managers, const std::vector<MDagPath>& viewCameras);

    // What the frames checked so far held, per node and view: a measure of
    // how much of the overlay a run of scenes exercised.
    struct Coverage {
        uint64_t frames = 0;           // checkFrame calls
        uint64_t cvs = 0;              // CV records compared
        uint64_t framesWithCvs = 0;    // complete frames drawing CV points
        uint64_t framesWithCurve = 0;  // complete frames with curve samples
        uint64_t framesWithHull = 0;   // complete frames drawing hull segments
        uint64_t softFrames = 0;       // frames on a soft selection with CVs
        uint64_t abandonedFrames = 0;  // stopped early or abandoned (no CV points)
        uint64_t selectedCvs = 0;
        uint64_t occludedCvs = 0;
        uint64_t markers = 0;
        uint64_t tiedFrames = 0;     // frames with CVs at equal distance from the camera
        uint64_t reorderedTies = 0;  // of those, frames the plug-in drew in another order
    };
    const Coverage& coverage() const { return coverage_; }
    uint64_t framesChecked() const { return coverage_.frames; }
    uint64_t cvsCompared() const { return coverage_.cvs; }

private:
    struct CachedCurve {
        MPointArray cvs;
        std::vector<MPoint> samples;
    };
    struct NodeState {
        MDagPath node;
        std::map<std::string, CachedCurve> cache;
        int cachedDivisions = 0;
        std::string lastSelectionKey;
        std::vector<std::unique_ptr<FrameModel>> records;  // per view; null until first prepared
    };

    NodeState& stateOf(const MDagPath& node);
    void refreshSelection();
    void count(const FrameModel& model, bool reordered);
    void prepare(NodeState& node, std::size_t view, const MDagPath& camera, FrameModel& model);
    bool sampleCurve(NodeState& node, const MDagPath& path, const std::string& name, const Settings& settings,
                     MPointArray& cvs, std::vector<MPoint>& samples);

    // The overlay's process-wide selection state.
    MSelectionList tracked_;
    bool softSelection_ = false;
    bool primed_ = false;
    uint64_t eventsSeen_ = 0;

    std::list<NodeState> nodes_;
    Coverage coverage_;
};

}  // namespace reference
