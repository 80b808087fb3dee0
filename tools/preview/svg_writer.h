#pragma once
// Turns the draw calls that the host's UI draw manager recorded for one
// frame into an SVG picture: the scene's curves and meshes as thin, dimmed
// wireframes, and over them the recorded calls in the order they were
// recorded (later ones on top), each line segment, point and marker circle
// with the colour, alpha and size in force at its call, plus a legend.
//
// Every recorded item becomes exactly one classed element, also when it
// cannot be projected (then it is hidden): kl-line-seg for the segments of
// line lists, line strips and closed lines, kl-point for points, kl-marker
// for circles. Each segment carries the number of its line list in the view
// (data-list, from 0 in recorded order). The recorded counts are written
// independently as data attributes of the root element (sums over the
// views) and of each view element.
#include <khost/harness.h>

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace preview {

// World point to view pixels, origin at the bottom-left corner of the view.
// False when the point has no place in the view.
using Projector = std::function<bool(const khost::Vec3& world, double& x, double& y)>;

using Edge = std::array<khost::Vec3, 2>;

struct ViewPicture {
    int width = 640;
    int height = 480;
    std::string label;  // shown in the view's corner
    Projector project;
    std::vector<std::vector<khost::Vec3>> curveWires;  // world-space polylines, one per scene curve
    std::vector<std::vector<Edge>> meshEdges;          // world-space edges, one list per scene mesh
    std::vector<khost::DrawCall> calls;                // recorded for the overlay node in this view
};

struct LegendEntry {
    std::string text;  // e.g. "pointSize (psize) = 10.5"
    bool hasSwatch = false;
    std::array<double, 3> swatch{{0.0, 0.0, 0.0}};
};

struct Picture {
    std::string scene;
    std::vector<ViewPicture> views;  // drawn side by side
    std::vector<LegendEntry> settings;
};

struct RecordedCounts {
    std::size_t points = 0;
    std::size_t markers = 0;
    std::size_t lineSegments = 0;
    bool xray = false;  // a drawable was opened with beginDrawInXray
};

// What a list of recorded calls draws, counted from the calls themselves.
RecordedCounts countRecorded(const std::vector<khost::DrawCall>& calls);
std::string describeCounts(const RecordedCounts& counts);  // "24 points, 3 markers, 40 line segments"

std::string renderSvg(const Picture& picture);

}  // namespace preview
