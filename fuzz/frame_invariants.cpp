#include "fuzz/frame_invariants.h"

#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MUIDrawManager.h>

#include <khost/harness.h>

#include <cmath>
#include <sstream>

#include "node/selection_tracker.h"
#include "overlay/draw_override.h"
#include "overlay/user_data.h"
#include "tests/support/curve_shapes.h"

namespace scenefuzz {
namespace {

using Kind = khost::DrawCall::Kind;

bool finite(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

bool finite(const MColor& c) {
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

std::ostream& operator<<(std::ostream& out, const MPoint& p) {
    return out << "(" << p.x << ", " << p.y << ", " << p.z << ", " << p.w << ")";
}

std::ostream& operator<<(std::ostream& out, const MColor& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}

// Collects violations with a common prefix (node and view).
class Report {
public:
    Report(std::vector<Violation>& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}

    // Streams the message; the violation is stored when the returned line ends.
    class Line {
    public:
        Line(Report& report, const char* kind) : report_(report), kind_(kind) {}
        Line(const Line&) = delete;
        Line& operator=(const Line&) = delete;
        ~Line() { report_.out_.push_back(Violation{kind_, report_.prefix_ + text_.str()}); }
        template <typename T>
        Line& operator<<(const T& value) {
            text_ << value;
            return *this;
        }

    private:
        Report& report_;
        const char* kind_;
        std::ostringstream text_;
    };

    Line add(const char* kind) { return Line(*this, kind); }

private:
    std::vector<Violation>& out_;
    std::string prefix_;
};

template <typename Array>
long firstNonFinite(const Array& values) {
    for (unsigned int i = 0; i < values.length(); ++i) {
        if (!finite(values[i])) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

const char* primitiveName(int primitive) {
    return primitive == MHWRender::MUIDrawManager::kPoints  ? "points"
           : primitive == MHWRender::MUIDrawManager::kLines ? "lines"
                                                            : "other";
}

// The draw calls of one node in one view: at most one drawable, every value
// finite, colours parallel to points, markers only after drawn points.
void checkCalls(const std::vector<khost::DrawCall>& calls, Report& report) {
    if (calls.empty()) {
        return;
    }
    const Kind first = calls.front().kind;
    if (first != Kind::BeginDrawable && first != Kind::BeginDrawInXray) {
        report.add("draw-structure") << "first draw call is " << khost::toString(first);
        return;
    }
    const Kind end = first == Kind::BeginDrawable ? Kind::EndDrawable : Kind::EndDrawInXray;
    if (calls.size() < 2 || calls.back().kind != end) {
        report.add("draw-structure") << khost::toString(first) << " is not closed by "
                                     << khost::toString(end);
    }
    bool pointsDrawn = false;
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) {
        const khost::DrawCall& call = calls[i];
        const char* name = khost::toString(call.kind);
        switch (call.kind) {
            case Kind::BeginDrawable:
            case Kind::BeginDrawInXray:
            case Kind::EndDrawable:
            case Kind::EndDrawInXray:
                report.add("draw-structure") << "call " << i << ": " << name << " inside a drawable";
                break;
            case Kind::SetColor:
                if (!finite(call.color)) {
                    report.add("nonfinite-color") << "call " << i << ": " << name << " " << call.color;
                }
                break;
            case Kind::SetPointSize:
            case Kind::SetLineWidth:
                if (!std::isfinite(call.value)) {
                    report.add("nonfinite-size") << "call " << i << ": " << name << " " << call.value;
                }
                break;
            case Kind::Mesh: {
                const char* primitive = primitiveName(call.primitive);
                if (!call.hasColors || call.colors.length() != call.points.length()) {
                    report.add("mesh-colors")
                        << "call " << i << ": " << primitive << " mesh with " << call.points.length()
                        << " points, " << (call.hasColors ? call.colors.length() : 0u) << " colours";
                }
                if (call.primitive == MHWRender::MUIDrawManager::kLines && call.points.length() % 2 != 0) {
                    report.add("odd-lines")
                        << "call " << i << ": line list of " << call.points.length() << " points";
                }
                const long badPoint = firstNonFinite(call.points);
                if (badPoint >= 0) {
                    report.add(call.primitive == MHWRender::MUIDrawManager::kPoints ? "nonfinite-cv-point"
                                                                                    : "nonfinite-line-point")
                        << "call " << i << ": " << primitive << " mesh point " << badPoint << " is "
                        << call.points[static_cast<unsigned int>(badPoint)];
                }
                const long badColor = firstNonFinite(call.colors);
                if (badColor >= 0) {
                    report.add("nonfinite-color")
                        << "call " << i << ": " << primitive << " mesh colour " << badColor << " is "
                        << call.colors[static_cast<unsigned int>(badColor)];
                }
                if (call.primitive == MHWRender::MUIDrawManager::kPoints && call.points.length() > 0) {
                    pointsDrawn = true;
                }
                break;
            }
            case Kind::Circle2d:
                if (!pointsDrawn) {
                    report.add("marker-without-points")
                        << "call " << i << ": marker circle without CV points";
                }
                if (!finite(call.center) || !std::isfinite(call.radius)) {
                    report.add("nonfinite-circle")
                        << "call " << i << ": circle at " << call.center << " radius " << call.radius;
                }
                break;
        }
    }
}

template <typename Points, typename Colors>
void checkLineLists(const char* what, const Points& points, const Colors& colors, Report& report) {
    if (points.size() != colors.size()) {
        report.add("record-shape") << what << ": " << points.size() << " point lists, " << colors.size()
                                   << " colour lists";
        return;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (points[i].length() != colors[i].length() || points[i].length() % 2 != 0) {
            report.add("record-shape") << what << " entry " << i << ": " << points[i].length() << " points, "
                                       << colors[i].length() << " colours";
        }
    }
}

// The record's own shape: parallel arrays, even line lists, marker counts.
void checkRecord(const UserData& record, std::size_t trackedCurves, Report& report) {
    if (record.cvPoints.length() != record.cvColors.length()) {
        report.add("record-shape") << record.cvPoints.length() << " CV points, " << record.cvColors.length()
                                   << " colours";
    }
    if (record.markerPoints.length() != record.markerColors.length()) {
        report.add("record-shape") << record.markerPoints.length() << " markers, "
                                   << record.markerColors.length() << " colours";
    }
    if (record.markerPoints.length() > record.cvPoints.length() ||
        record.markerPoints.length() > trackedCurves) {
        report.add("marker-count") << record.markerPoints.length() << " markers for "
                                   << record.cvPoints.length() << " CV points of " << trackedCurves
                                   << " tracked curves";
    }
    if (record.hullLinePoints.size() > trackedCurves) {
        report.add("hull-count") << record.hullLinePoints.size() << " hull lists for " << trackedCurves
                                 << " tracked curves";
    }
    checkLineLists("curve lines", record.curveLinePoints, record.curveLineColors, report);
    checkLineLists("hull lines", record.hullLinePoints, record.hullLineColors, report);
}

}  // namespace

void FrameInvariants::reset() {
    sampledSinceClear_.clear();
    trackedBefore_.clear();
    trackedThisFrame_.clear();
    trackedEmptyBefore_ = true;
}

void FrameInvariants::beforeFrame() {
    trackedEmptyBefore_ = trackedSelection.isEmpty();
    trackedBefore_ = knotlens_test::curveShapesIn(trackedSelection);
    preparesBefore_ = khost::counters().prepareForDraw;
}

std::vector<Violation> FrameInvariants::afterFrame(const std::vector<MDagPath>& managers) {
    std::vector<Violation> violations;
    // A preparation may have refreshed the tracked selection mid-frame: the
    // curves of either list may have been walked.
    const bool selectionWasEmpty = trackedEmptyBefore_ && trackedSelection.isEmpty();
    trackedThisFrame_ = trackedBefore_;
    const std::set<std::string> after = knotlens_test::curveShapesIn(trackedSelection);
    trackedThisFrame_.insert(after.begin(), after.end());
    // Overrides are prepared for every view with a live camera, so one
    // preparation in this frame means all live overrides were prepared.
    const bool prepared = khost::counters().prepareForDraw > preparesBefore_;

    std::map<const DrawOverride*, std::set<std::string>> live;
    for (const MDagPath& manager : managers) {
        if (!manager.isValid()) {
            continue;
        }
        const std::string node = manager.fullPathName().asChar();
        checkNode(node, trackedThisFrame_.size(), violations);
        checkCaches(node, selectionWasEmpty, prepared, violations);
        const auto* drawOverride = static_cast<const DrawOverride*>(khost::drawOverride(node));
        if (drawOverride != nullptr) {
            live[drawOverride] = std::move(sampledSinceClear_[drawOverride]);
        }
    }
    sampledSinceClear_ = std::move(live);
    return violations;
}

void FrameInvariants::checkNode(const std::string& node, std::size_t trackedCurves,
                                std::vector<Violation>& out) const {
    for (int v = 0; v < khost::viewCount(); ++v) {
        std::ostringstream prefix;
        prefix << node << " view " << v << ": ";
        Report report(out, prefix.str());
        const std::vector<khost::DrawCall>& calls = khost::drawCalls(v, node);
        checkCalls(calls, report);
        // Only a record drawn in this frame is current: a view whose camera
        // is gone keeps the record of the last frame it was prepared in.
        if (calls.empty()) {
            continue;
        }
        if (const auto* record = dynamic_cast<const UserData*>(khost::userData(v, node))) {
            checkRecord(*record, trackedCurves, report);
        }
    }
}

void FrameInvariants::checkCaches(const std::string& node, bool selectionWasEmpty, bool prepared,
                                  std::vector<Violation>& out) {
    const auto* drawOverride = static_cast<const DrawOverride*>(khost::drawOverride(node));
    if (drawOverride == nullptr) {
        return;
    }
    Report report(out, node + " caches: ");
    const std::vector<std::string> cached = drawOverride->curveCache().curveNames();

    std::set<std::string>& sampled = sampledSinceClear_[drawOverride];
    if (selectionWasEmpty && prepared) {
        sampled.clear();
        if (!cached.empty()) {
            report.add("cache-not-emptied") << cached.size() << " entries kept over an empty selection";
        }
    }
    sampled.insert(trackedThisFrame_.begin(), trackedThisFrame_.end());
    for (const std::string& name : cached) {
        if (sampled.count(name) == 0) {
            report.add("cache-stale") << "'" << name << "' was not tracked since the caches were emptied";
        }
    }
}

}  // namespace scenefuzz
