#include "tests/support/reference_frame.h"

#include <maya/M3dView.h>
#include <maya/MColor.h>
#include <maya/MDagPath.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MFnComponent.h>
#include <maya/MFnMesh.h>
#include <maya/MFnNurbsCurve.h>
#include <maya/MFnSingleIndexedComponent.h>
#include <maya/MGlobal.h>
#include <maya/MItSelectionList.h>
#include <maya/MMatrix.h>
#include <maya/MObject.h>
#include <maya/MRichSelection.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypes.h>
#include <maya/MUIDrawManager.h>
#include <maya/MWeight.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>
#include <sstream>

namespace reference {
namespace {

// ------------------------------------------------------------ node attributes
// Plugs are read by attribute name through the harness, converted as the
// host's MPlug getters convert the stored value.

bool plugBool(const std::string& node, const char* attribute) {
    return khost::getAttr(node, attribute) != 0.0;
}

float plugFloat(const std::string& node, const char* attribute) {
    return static_cast<float>(khost::getAttr(node, attribute));
}

int plugInt(const std::string& node, const char* attribute) {
    const double value = khost::getAttr(node, attribute);
    if (std::isnan(value)) {
        return 0;
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::lowest())) {
        return std::numeric_limits<int>::lowest();
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    return static_cast<int>(value);
}

// A colour attribute and its separate alpha attribute.
MColor plugColor(const std::string& node, const char* colorAttribute, const char* alphaAttribute) {
    const std::array<double, 3> rgb = khost::getAttr3(node, colorAttribute);
    return MColor(static_cast<float>(rgb[0]), static_cast<float>(rgb[1]), static_cast<float>(rgb[2]),
                  plugFloat(node, alphaAttribute));
}

// ------------------------------------------------------------ guards

float finiteOr(float value, float fallback) {
    return std::isfinite(value) ? value : fallback;
}

MColor finiteColor(const MColor& color, const MColor& fallback) {
    return MColor(finiteOr(color.r, fallback.r), finiteOr(color.g, fallback.g), finiteOr(color.b, fallback.b),
                  finiteOr(color.a, fallback.a));
}

// Ramp bounds within their attribute range 0.01..1; not finite: the default.
float rampBound(float value, float fallback) {
    if (!std::isfinite(value)) {
        return fallback;
    }
    return std::min(1.0f, std::max(0.01f, value));
}

// A weight as the colour rules use it: within 0..1, not finite counts as 0.
float usableWeight(float weight) {
    if (!std::isfinite(weight) || weight <= 0.0f) {
        return 0.0f;
    }
    return std::min(weight, 1.0f);
}

bool finite(const MPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) && std::isfinite(p.w);
}

short viewCoordinate(double pixel) {
    if (!std::isfinite(pixel)) {
        return 0;
    }
    if (pixel <= -32768.0) {
        return -32768;
    }
    if (pixel >= 32767.0) {
        return 32767;
    }
    return static_cast<short>(pixel);
}

// ------------------------------------------------------------ colour rules

float clampRamp(float value, float floor) {
    if (!std::isfinite(value)) {
        return floor;
    }
    return floor > value ? floor : value;
}

float rampPositionAt(const FrameModel& model, std::size_t rank) {
    if (!model.rampByRank) {
        return 1.0f;
    }
    return static_cast<float>(rank) / static_cast<float>(model.cvs.size());
}

MColor pointColor(const FrameModel& model, const Cv& cv, float rampPosition) {
    const Settings& s = model.settings;
    const float top = model.rampTop;
    MColor color;
    if (cv.selected) {
        const float weight = usableWeight(cv.weight);
        const float value = model.useCVDistanceColor ? rampPosition * weight * top : top * weight;
        color = s.selectedPointColor * clampRamp(value, model.distanceColorMin);
    } else {
        color = s.deselectedPointColor;
        if (model.useCVDistanceColor) {
            color *= clampRamp(top * rampPosition, model.distanceColorMin);
        }
    }
    color.a *= cv.alphaScale;
    return color;
}

MColor markerColor(const FrameModel& model, const Cv& cv, float rampPosition) {
    const Settings& s = model.settings;
    const MColor& base = cv.selected ? s.selectedPointColor : s.deselectedPointColor;
    MColor color = base;
    if (model.useCVDistanceColor) {
        color = base * clampRamp(model.rampTop * rampPosition, model.distanceColorMin);
    }
    color.a *= cv.alphaScale;
    return color;
}

MColor hullColor(const FrameModel& model, const Cv& cv, float rampPosition) {
    const Settings& s = model.settings;
    const float top = model.rampTop;
    MColor color;
    if (cv.selected) {
        const float weight = usableWeight(cv.weight);
        const float value = model.useHullDistanceColor ? rampPosition * weight * top : top * weight;
        color = s.selectedPointColor * clampRamp(value, model.distanceColorMin);
    } else {
        color = s.hullColor;
        if (model.useHullDistanceColor) {
            color *= clampRamp(top * rampPosition, model.distanceColorMin);
        }
    }
    color.a = cv.alphaScale * s.hullColor.a;
    return color;
}

// ------------------------------------------------------------ draw calls

khost::DrawCall call(khost::DrawCall::Kind kind) {
    khost::DrawCall c;
    c.kind = kind;
    return c;
}

khost::DrawCall widthCall(khost::DrawCall::Kind kind, float value) {
    khost::DrawCall c = call(kind);
    c.value = value;
    return c;
}

khost::DrawCall meshCall(int primitive, const MPointArray& points, const MColorArray& colors) {
    khost::DrawCall c = call(khost::DrawCall::Mesh);
    c.primitive = primitive;
    c.points = points;
    c.colors = colors;
    c.hasColors = true;
    return c;
}

// Where the order-dependent parts of a frame stand in its call list.
struct Layout {
    std::size_t pointsCall = 0;
    std::vector<std::size_t> markerColorCalls;  // each followed by its circle
    std::map<uint32_t, std::size_t> hullCalls;  // by curve
    std::map<uint32_t, unsigned int> cvsPerCurve;
};

void curveLines(const FrameModel& model, MPointArray& points, MColorArray& colors) {
    const float floor = model.distanceColorMin;
    std::vector<double> distance(model.samples.size());
    double dmin = std::numeric_limits<double>::infinity();
    double dmax = -std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < model.samples.size(); ++i) {
        distance[i] = model.samples[i].position.distanceTo(model.cameraPoint);
        if (std::isfinite(distance[i])) {
            dmin = std::min(dmin, distance[i]);
            dmax = std::max(dmax, distance[i]);
        }
    }
    std::map<uint32_t, std::vector<std::size_t>> byCurve;
    for (std::size_t i = 0; i < model.samples.size(); ++i) {
        byCurve[model.samples[i].curve].push_back(i);
    }
    auto colorOf = [&](std::size_t i) {
        MColor color = model.settings.curveColor;
        if (model.useCurveDistanceColor) {
            float factor = floor;
            if (!std::isfinite(distance[i])) {
                factor = floor;
            } else if (dmax == dmin) {
                factor = clampRamp(model.rampTop, floor);
            } else {
                const double t = (distance[i] - dmin) / (dmax - dmin);
                factor = clampRamp(static_cast<float>(1.0 - t) * model.rampTop, floor);
            }
            color *= factor;
        }
        return color;
    };
    for (const auto& curve : byCurve) {
        const std::vector<std::size_t>& s = curve.second;
        for (std::size_t j = 1; j < s.size(); ++j) {
            points.append(model.samples[s[j - 1]].position);
            colors.append(colorOf(s[j - 1]));
            points.append(model.samples[s[j]].position);
            colors.append(colorOf(s[j]));
        }
    }
}

std::vector<khost::DrawCall> render(const FrameModel& model, const std::vector<std::size_t>& order,
                                    Layout* layout) {
    std::vector<khost::DrawCall> calls;
    if (model.nodeState != 0) {
        return calls;
    }
    const Settings& s = model.settings;
    if (s.drawOnTop) {
        calls.push_back(call(khost::DrawCall::BeginDrawInXray));
    } else {
        khost::DrawCall begin = call(khost::DrawCall::BeginDrawable);
        begin.selectability = MHWRender::MUIDrawManager::kAutomatic;
        begin.selectionName = 0;
        calls.push_back(begin);
    }

    if (s.showCurve) {
        calls.push_back(widthCall(khost::DrawCall::SetLineWidth, s.lineWidth));
        if (model.complete) {
            MPointArray points;
            MColorArray colors;
            curveLines(model, points, colors);
            calls.push_back(meshCall(MHWRender::MUIDrawManager::kLines, points, colors));
        }
    }

    // Rank of each CV in this order.
    std::vector<std::size_t> rank(model.cvs.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        rank[order[i]] = i;
    }

    if (s.showHull && model.complete && !model.cvs.empty()) {
        // Curve, then CV index order; every curve index up to the largest.
        std::map<uint32_t, std::map<uint32_t, std::size_t>> hull;
        uint32_t lastCurve = 0;
        for (std::size_t i = 0; i < model.cvs.size(); ++i) {
            hull[model.cvs[i].curve][model.cvs[i].index] = i;
            lastCurve = std::max(lastCurve, model.cvs[i].curve);
        }
        for (uint32_t k = 0; k <= lastCurve; ++k) {
            MPointArray points;
            MColorArray colors;
            std::vector<std::size_t> vertices;
            for (const auto& entry : hull[k]) {
                vertices.push_back(entry.second);
            }
            for (std::size_t j = 1; j < vertices.size(); ++j) {
                for (std::size_t v : {vertices[j - 1], vertices[j]}) {
                    points.append(model.cvs[v].position);
                    colors.append(hullColor(model, model.cvs[v], rampPositionAt(model, rank[v])));
                }
            }
            calls.push_back(widthCall(khost::DrawCall::SetLineWidth, s.hullWidth));
            if (layout != nullptr) {
                layout->hullCalls[k] = calls.size();
                layout->cvsPerCurve[k] = static_cast<unsigned int>(vertices.size());
            }
            calls.push_back(meshCall(MHWRender::MUIDrawManager::kLines, points, colors));
        }
    }

    if (model.complete && !model.cvs.empty()) {
        MPointArray points;
        MColorArray colors;
        std::vector<std::size_t> markers;
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Cv& cv = model.cvs[order[i]];
            points.append(cv.position);
            colors.append(pointColor(model, cv, rampPositionAt(model, i)));
            if (cv.hasMarker) {
                markers.push_back(i);
            }
        }
        calls.push_back(widthCall(khost::DrawCall::SetPointSize, s.pointSize));
        if (layout != nullptr) {
            layout->pointsCall = calls.size();
        }
        calls.push_back(meshCall(MHWRender::MUIDrawManager::kPoints, points, colors));
        calls.push_back(widthCall(khost::DrawCall::SetLineWidth, 1.0f));
        const double radius = static_cast<double>(s.pointSize * 0.5f + 4.0f);
        for (std::size_t i : markers) {
            const Cv& cv = model.cvs[order[i]];
            khost::DrawCall color = call(khost::DrawCall::SetColor);
            color.color = markerColor(model, cv, rampPositionAt(model, i));
            if (layout != nullptr) {
                layout->markerColorCalls.push_back(calls.size());
            }
            calls.push_back(color);
            khost::DrawCall circle = call(khost::DrawCall::Circle2d);
            circle.center = cv.marker;
            circle.radius = radius;
            circle.filled = false;
            calls.push_back(circle);
        }
    }

    calls.push_back(call(s.drawOnTop ? khost::DrawCall::EndDrawInXray : khost::DrawCall::EndDrawable));
    return calls;
}

// ------------------------------------------------------------ comparison

template <class T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

bool samePoint(const MPoint& a, const MPoint& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z) && sameBits(a.w, b.w);
}

bool sameColor(const MColor& a, const MColor& b) {
    return sameBits(a.r, b.r) && sameBits(a.g, b.g) && sameBits(a.b, b.b) && sameBits(a.a, b.a);
}

std::string describe(const MPoint& p) {
    char text[160];
    std::snprintf(text, sizeof text, "(%.17g, %.17g, %.17g, %.17g)", p.x, p.y, p.z, p.w);
    return text;
}

std::string describe(const MColor& c) {
    char text[120];
    std::snprintf(text, sizeof text, "(%.9g, %.9g, %.9g, %.9g)", static_cast<double>(c.r),
                  static_cast<double>(c.g), static_cast<double>(c.b), static_cast<double>(c.a));
    return text;
}

std::string callDifference(const khost::DrawCall& e, const khost::DrawCall& a) {
    std::ostringstream out;
    if (e.kind != a.kind) {
        out << "expected " << khost::toString(e.kind) << ", drawn " << khost::toString(a.kind);
        return out.str();
    }
    const char* kind = khost::toString(e.kind);
    if (e.selectability != a.selectability || e.selectionName != a.selectionName) {
        out << kind << " selectability " << e.selectability << "/" << e.selectionName << ", drawn "
            << a.selectability << "/" << a.selectionName;
    } else if (!sameColor(e.color, a.color)) {
        out << kind << " colour " << describe(e.color) << ", drawn " << describe(a.color);
    } else if (!sameBits(e.value, a.value)) {
        out << kind << " value " << e.value << ", drawn " << a.value;
    } else if (e.primitive != a.primitive) {
        out << kind << " primitive " << e.primitive << ", drawn " << a.primitive;
    } else if (e.hasColors != a.hasColors || e.hasNormals != a.hasNormals || e.hasIndices != a.hasIndices ||
               e.hasTexcoords != a.hasTexcoords) {
        out << kind << " optional arrays differ";
    } else if (e.points.length() != a.points.length()) {
        out << kind << " " << e.points.length() << " points, drawn " << a.points.length();
    } else if (e.colors.length() != a.colors.length()) {
        out << kind << " " << e.colors.length() << " colours, drawn " << a.colors.length();
    } else if (!samePoint(e.center, a.center)) {
        out << kind << " centre " << describe(e.center) << ", drawn " << describe(a.center);
    } else if (!sameBits(e.radius, a.radius) || e.filled != a.filled) {
        out << kind << " radius " << e.radius << (e.filled ? " filled" : "") << ", drawn " << a.radius
            << (a.filled ? " filled" : "");
    } else {
        for (unsigned int i = 0; i < e.points.length(); ++i) {
            if (!samePoint(e.points[i], a.points[i])) {
                out << kind << " point " << i << " " << describe(e.points[i]) << ", drawn "
                    << describe(a.points[i]);
                return out.str();
            }
        }
        for (unsigned int i = 0; i < e.colors.length(); ++i) {
            if (!sameColor(e.colors[i], a.colors[i])) {
                out << kind << " colour " << i << " " << describe(e.colors[i]) << ", drawn "
                    << describe(a.colors[i]);
                return out.str();
            }
        }
    }
    return out.str();
}

bool sameDistance(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) || a == b;
}

// Looks for an order of the tied CVs that reproduces what the plug-in drew:
// CV points and colours, marker colours and centres, hull vertex colours.
// Groups of equal distance are independent; within a group the slots are
// filled front to back, backtracking on a dead end.
class TieResolver {
public:
    TieResolver(const FrameModel& model, const std::vector<khost::DrawCall>& actual, const Layout& layout)
        : model_(model), actual_(actual), layout_(layout) {}

    bool resolve(std::vector<std::size_t>& order) {
        order_ = order;
        std::size_t markersBefore = 0;
        for (std::size_t begin = 0; begin < order_.size();) {
            std::size_t end = begin + 1;
            while (end < order_.size() &&
                   sameDistance(model_.cvs[order_[end]].distance, model_.cvs[order_[begin]].distance)) {
                ++end;
            }
            std::vector<std::size_t> group(order_.begin() + static_cast<std::ptrdiff_t>(begin),
                                           order_.begin() + static_cast<std::ptrdiff_t>(end));
            std::vector<bool> used(group.size(), false);
            if (!fill(group, used, begin, begin, end, markersBefore)) {
                return false;
            }
            for (std::size_t i = begin; i < end; ++i) {
                markersBefore += model_.cvs[order_[i]].hasMarker ? 1 : 0;
            }
            begin = end;
        }
        order = order_;
        return true;
    }

private:
    bool fits(std::size_t cvIndex, std::size_t slot, std::size_t markerIndex) const {
        const Cv& cv = model_.cvs[cvIndex];
        const float rampPosition = rampPositionAt(model_, slot);
        const khost::DrawCall& points = actual_[layout_.pointsCall];
        const auto at = static_cast<unsigned int>(slot);
        if (slot >= points.points.length() || slot >= points.colors.length() ||
            !samePoint(points.points[at], cv.position) ||
            !sameColor(points.colors[at], pointColor(model_, cv, rampPosition))) {
            return false;
        }
        if (cv.hasMarker) {
            if (markerIndex >= layout_.markerColorCalls.size()) {
                return false;
            }
            const std::size_t call = layout_.markerColorCalls[markerIndex];
            if (!sameColor(actual_[call].color, markerColor(model_, cv, rampPosition)) ||
                !samePoint(actual_[call + 1].center, cv.marker)) {
                return false;
            }
        }
        const auto hull = layout_.hullCalls.find(cv.curve);
        if (hull != layout_.hullCalls.end()) {
            const khost::DrawCall& lines = actual_[hull->second];
            const unsigned int count = layout_.cvsPerCurve.at(cv.curve);
            const MColor expected = hullColor(model_, cv, rampPosition);
            std::vector<unsigned int> vertices;
            if (cv.index >= 1) {
                vertices.push_back(2 * (cv.index - 1) + 1);
            }
            if (cv.index + 1 < count) {
                vertices.push_back(2 * cv.index);
            }
            for (unsigned int i : vertices) {
                if (i >= lines.colors.length() || !sameColor(lines.colors[i], expected)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Two CVs that give the same drawn values wherever they stand.
    bool interchangeable(std::size_t a, std::size_t b) const {
        const Cv& x = model_.cvs[a];
        const Cv& y = model_.cvs[b];
        const bool hull = !layout_.hullCalls.empty();
        return samePoint(x.position, y.position) && x.selected == y.selected &&
               sameBits(x.weight, y.weight) && sameBits(x.alphaScale, y.alphaScale) &&
               x.hasMarker == y.hasMarker && (!x.hasMarker || samePoint(x.marker, y.marker)) &&
               (!hull || (x.curve == y.curve && x.index == y.index));
    }

    bool fill(const std::vector<std::size_t>& group, std::vector<bool>& used, std::size_t groupBegin,
              std::size_t slot, std::size_t end, std::size_t markerIndex) {
        if (slot == end) {
            return true;
        }
        if (++steps_ > kMaxSteps) {
            return false;
        }
        std::vector<std::size_t> tried;
        for (std::size_t g = 0; g < group.size(); ++g) {
            if (used[g] || !fits(group[g], slot, markerIndex)) {
                continue;
            }
            bool same = false;
            for (std::size_t t : tried) {
                same = same || interchangeable(group[t], group[g]);
            }
            if (same) {
                continue;
            }
            tried.push_back(g);
            used[g] = true;
            order_[slot] = group[g];
            const std::size_t nextMarker = markerIndex + (model_.cvs[group[g]].hasMarker ? 1 : 0);
            if (fill(group, used, groupBegin, slot + 1, end, nextMarker)) {
                return true;
            }
            used[g] = false;
        }
        return false;
    }

    static constexpr uint64_t kMaxSteps = 2000000;
    const FrameModel& model_;
    const std::vector<khost::DrawCall>& actual_;
    const Layout& layout_;
    std::vector<std::size_t> order_;
    uint64_t steps_ = 0;
};

}  // namespace

// ------------------------------------------------------------ public helpers

std::vector<khost::DrawCall> drawCalls(const FrameModel& model, const std::vector<std::size_t>& order) {
    return render(model, order, nullptr);
}

std::vector<std::size_t> depthOrder(const FrameModel& model) {
    std::vector<std::size_t> order(model.cvs.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&model](std::size_t a, std::size_t b) {
        const double da = model.cvs[a].distance;
        const double db = model.cvs[b].distance;
        if (std::isnan(da) || std::isnan(db)) {
            return std::isnan(da) && !std::isnan(db);
        }
        return da > db;
    });
    return order;
}

std::string firstDifference(const std::vector<khost::DrawCall>& expected,
                            const std::vector<khost::DrawCall>& actual) {
    const std::size_t common = std::min(expected.size(), actual.size());
    for (std::size_t i = 0; i < common; ++i) {
        const std::string difference = callDifference(expected[i], actual[i]);
        if (!difference.empty()) {
            return "call " + std::to_string(i) + ": " + difference;
        }
    }
    if (expected.size() != actual.size()) {
        std::ostringstream out;
        out << expected.size() << " calls expected, " << actual.size() << " drawn";
        if (common < expected.size()) {
            out << "; first missing: " << khost::toString(expected[common].kind);
        } else {
            out << "; first extra: " << khost::toString(actual[common].kind);
        }
        return out.str();
    }
    return "";
}

std::string compare(const FrameModel& model, const std::vector<khost::DrawCall>& actual, bool* reordered) {
    if (reordered != nullptr) {
        *reordered = false;
    }
    std::vector<std::size_t> order = depthOrder(model);
    Layout layout;
    const std::vector<khost::DrawCall> expected = render(model, order, &layout);
    bool sameShape = expected.size() == actual.size();
    for (std::size_t i = 0; sameShape && i < expected.size(); ++i) {
        sameShape = expected[i].kind == actual[i].kind;
    }
    if (!sameShape || !model.complete || model.cvs.size() < 2 || model.nodeState != 0) {
        return firstDifference(expected, actual);
    }
    const std::string inDepthOrder = firstDifference(expected, actual);
    if (inDepthOrder.empty()) {
        return "";
    }
    TieResolver resolver(model, actual, layout);
    if (!resolver.resolve(order)) {
        return inDepthOrder + " (and no order of CVs at equal distance reproduces the drawn points)";
    }
    if (reordered != nullptr) {
        *reordered = true;
    }
    return firstDifference(render(model, order, nullptr), actual);
}

// ------------------------------------------------------------ ReferenceFrame

ReferenceFrame::ReferenceFrame() : eventsSeen_(khost::counters().selectionChangedEvents) {}

ReferenceFrame::~ReferenceFrame() = default;

void ReferenceFrame::afterEdit() {
    const uint64_t events = khost::counters().selectionChangedEvents;
    if (events != eventsSeen_) {
        // Every draw manager node installs the same selection callback; with
        // none installed the event passes the overlay by.
        if (khost::installedCallbackCount() > 0) {
            refreshSelection();
        }
        eventsSeen_ = events;
    }
}

void ReferenceFrame::refreshSelection() {
    // The rich selection when it holds anything, else the active list merged
    // with the hilite list.
    tracked_.clear();
    MRichSelection rich;
    MGlobal::getRichSelection(rich, false);
    MSelectionList list;
    rich.getSelection(list);
    softSelection_ = !list.isEmpty();
    if (list.isEmpty()) {
        MGlobal::getActiveSelectionList(list, false);
        MSelectionList hilite;
        MGlobal::getHiliteList(hilite);
        if (!hilite.isEmpty()) {
            list.merge(hilite, MSelectionList::kMergeNormal);
        }
    }
    tracked_ = list;
}

ReferenceFrame::NodeState& ReferenceFrame::stateOf(const MDagPath& node) {
    for (NodeState& state : nodes_) {
        if (state.node == node) {
            return state;
        }
    }
    nodes_.emplace_back();
    nodes_.back().node = node;
    return nodes_.back();
}

bool ReferenceFrame::sampleCurve(NodeState& node, const MDagPath& path, const std::string& name,
                                 const Settings& settings, MPointArray& cvs, std::vector<MPoint>& samples) {
    MFnNurbsCurve curve(path);
    curve.getCVs(cvs, MSpace::kWorld);
    samples.clear();
    if (!settings.showCurve) {
        return false;
    }
    const int divisions = std::min(64, std::max(2, settings.curveDivisions));
    if (divisions != node.cachedDivisions) {
        node.cache.clear();
        node.cachedDivisions = divisions;
    }
    const auto cached = node.cache.find(name);
    if (cached != node.cache.end() && cached->second.cvs.length() == cvs.length()) {
        bool same = true;
        for (unsigned int i = 0; same && i < cvs.length(); ++i) {
            same = cvs[i].isEquivalent(cached->second.cvs[i], 1e-10);
        }
        if (same) {
            samples = cached->second.samples;
            return true;
        }
    }

    // numSpans x divisions steps over the knot domain, accumulating the step,
    // then one sample 1e-5 short of the end; never more than steps + 2.
    double start = 0.0;
    double end = 0.0;
    curve.getKnotDomain(start, end);
    if (end > start) {
        const int64_t steps = static_cast<int64_t>(curve.numSpans()) * divisions;
        const double step = (end - start) / static_cast<double>(steps);
        const std::size_t limit = static_cast<std::size_t>(steps) + 2;
        auto pointAt = [&curve](double t) {
            MPoint point(0.0, 0.0, 0.0, 1.0);
            curve.getPointAtParam(t, point, MSpace::kWorld);
            return point;
        };
        double t = start;
        while (true) {
            samples.push_back(pointAt(t));
            t += step;
            if (t >= end || samples.size() + 1 >= limit) {
                samples.push_back(pointAt(end - 1e-5));
                break;
            }
        }
    }
    CachedCurve& entry = node.cache[name];
    entry.cvs = cvs;
    entry.samples = samples;
    return true;
}

void ReferenceFrame::prepare(NodeState& node, std::size_t view, const MDagPath& camera, FrameModel& model) {
    const std::string name = node.node.fullPathName().asChar();
    model.complete = false;
    model.cvs.clear();
    model.samples.clear();

    if (!primed_ || !plugBool(name, "lazyUpdate")) {
        refreshSelection();
        primed_ = true;
    }
    if (tracked_.isEmpty()) {
        node.cache.clear();
        return;
    }
    model.nodeState = plugInt(name, "nodeState");
    if (model.nodeState != 0) {
        return;
    }

    const Settings defaults;
    Settings& s = model.settings;
    s.drawOnTop = plugBool(name, "drawOnTop");
    s.pointSize = finiteOr(plugFloat(name, "pointSize"), defaults.pointSize);
    s.lineWidth = finiteOr(plugFloat(name, "lineWidth"), defaults.lineWidth);
    s.hullWidth = finiteOr(plugFloat(name, "hullWidth"), defaults.hullWidth);
    s.curveDivisions = plugInt(name, "curveDivisions");
    s.selectedPointColor =
        finiteColor(plugColor(name, "selectedPointColor", "selectedPointAlpha"), defaults.selectedPointColor);
    s.deselectedPointColor = finiteColor(plugColor(name, "deselectedPointColor", "deselectedPointAlpha"),
                                         defaults.deselectedPointColor);
    s.curveColor = finiteColor(plugColor(name, "curveColor", "curveAlpha"), defaults.curveColor);
    s.hullColor = finiteColor(plugColor(name, "hullColor", "hullAlpha"), defaults.hullColor);
    s.showCurve = plugBool(name, "showCurve");
    s.showHull = plugBool(name, "showHull");

    if (s.showCurve) {
        MStringArray strings;
        tracked_.getSelectionStrings(strings);
        std::string key;
        for (unsigned int i = 0; i < strings.length(); ++i) {
            key += strings[i].asChar();
        }
        if (key != node.lastSelectionKey) {
            node.cache.clear();
            node.lastSelectionKey = key;
        }
    }

    const MMatrix cameraMatrix = camera.inclusiveMatrix();
    model.cameraPoint = MPoint(cameraMatrix[3][0], cameraMatrix[3][1], cameraMatrix[3][2], 1.0);

    // The walk: every NURBS curve shape once, through the first item naming it.
    std::set<std::string> seen;
    uint32_t curveNumber = 0;
    for (MItSelectionList item(tracked_, MFn::kInvalid); !item.isDone(); item.next()) {
        MDagPath path;
        MObject component;
        item.getDagPath(path, component);
        path.extendToShape();
        if (path.apiType() != MFn::kNurbsCurve) {
            continue;
        }
        const std::string curveName = path.fullPathName().asChar();
        if (!seen.insert(curveName).second) {
            continue;
        }
        MPointArray cvs;
        std::vector<MPoint> samples;
        sampleCurve(node, path, curveName, s, cvs, samples);
        bool finiteCvs = true;
        for (unsigned int i = 0; i < cvs.length(); ++i) {
            finiteCvs = finiteCvs && finite(cvs[i]);
        }
        bool finiteSamples = true;
        for (const MPoint& p : samples) {
            finiteSamples = finiteSamples && finite(p);
        }
        if (finiteCvs && finiteSamples) {
            for (const MPoint& p : samples) {
                model.samples.push_back(Sample{curveNumber, p});
            }
        }
        if (!finiteCvs) {
            ++curveNumber;
            continue;
        }

        const M3dView::DisplayStatus status = M3dView::displayStatus(path);
        if (status == M3dView::kDormant || status == M3dView::kHilite) {
            std::vector<bool> selected(cvs.length(), false);
            auto add = [&](unsigned int index, bool isSelected, float weight) {
                Cv cv;
                cv.curve = curveNumber;
                cv.index = index;
                cv.position = cvs[index];
                cv.selected = isSelected;
                cv.weight = weight;
                cv.distance = cv.position.distanceTo(model.cameraPoint);
                model.cvs.push_back(cv);
            };
            if (!component.isNull()) {
                MFnSingleIndexedComponent fn(component);
                if (fn.componentType() != MFn::kCurveCVComponent) {
                    // Not CVs: the frame is abandoned.
                    model.cvs.clear();
                    model.samples.clear();
                    return;
                }
                const bool weighted = fn.hasWeights();
                for (int k = 0; k < fn.elementCount(); ++k) {
                    const int element = fn.element(k);
                    if (element < 0 || static_cast<unsigned int>(element) >= cvs.length() ||
                        selected[static_cast<std::size_t>(element)]) {
                        continue;
                    }
                    selected[static_cast<std::size_t>(element)] = true;
                    add(static_cast<unsigned int>(element), true, weighted ? fn.weight(k).influence() : 1.0f);
                }
            }
            for (unsigned int i = 0; i < cvs.length(); ++i) {
                if (!selected[i]) {
                    add(i, false, 1.0f);
                }
            }
        }
        ++curveNumber;
    }

    if (plugBool(name, "useCVOcclusion")) {
        const MString occluderName(khost::getAttrString(name, "occluderMeshName").c_str());
        MSelectionList matches;
        matches.add(occluderName, false);
        MDagPath occluderPath;
        matches.getDagPath(0, occluderPath, MObject::kNullObj);
        MFnMesh occluder(occluderPath);
        MMeshIsectAccelParams accel = occluder.autoUniformGridParams();
        const MPoint& c = model.cameraPoint;
        const MFloatPoint source(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z),
                                 static_cast<float>(c.w));
        for (Cv& cv : model.cvs) {
            const MFloatVector direction =
                MFloatVector(static_cast<float>(cv.position.x), static_cast<float>(cv.position.y),
                             static_cast<float>(cv.position.z)) -
                MFloatVector(static_cast<float>(c.x), static_cast<float>(c.y), static_cast<float>(c.z));
            MFloatPoint hit(0.0f, 0.0f, 0.0f, 1.0f);
            if (occluder.anyIntersection(source, direction, nullptr, nullptr, false, MSpace::kWorld, 1.0f,
                                         false, &accel, hit, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         1e-6f, nullptr)) {
                cv.alphaScale = 0.0f;
            }
        }
    }

    model.useCVDistanceColor = plugBool(name, "useCVDistanceColor");
    model.useHullDistanceColor = plugBool(name, "useHullDistanceColor");
    model.useCurveDistanceColor = plugBool(name, "useCurveDistanceColor");
    model.distanceColorMin = rampBound(plugFloat(name, "distanceColorMin"), 0.25f);
    const float distanceColorMax = rampBound(plugFloat(name, "distanceColorMax"), 1.0f);
    model.rampTop = model.distanceColorMin > distanceColorMax ? model.distanceColorMin : distanceColorMax;
    model.rampByRank = !softSelection_ && (model.useCVDistanceColor || model.useHullDistanceColor ||
                                           model.useCurveDistanceColor);

    // First-CV markers in the pixels of this view; none for a CV with no
    // place in it (behind the camera or on its plane, or not finite there).
    for (Cv& cv : model.cvs) {
        if (cv.index != 0) {
            continue;
        }
        MPoint p(cv.position);
        p.cartesianize();
        double x = 0.0;
        double y = 0.0;
        const bool inFront = khost::projectToView(static_cast<int>(view), khost::Vec3{{p.x, p.y, p.z}}, x, y);
        cv.hasMarker = inFront && std::isfinite(x) && std::isfinite(y);
        cv.marker = MPoint(viewCoordinate(x), viewCoordinate(y), 0.0, 1.0);
    }
    model.complete = true;
}

void ReferenceFrame::count(const FrameModel& model, bool reordered) {
    Coverage& c = coverage_;
    c.cvs += model.cvs.size();
    if (!model.complete || model.nodeState != 0 || model.cvs.empty()) {
        ++c.abandonedFrames;
        return;
    }
    ++c.framesWithCvs;
    c.framesWithCurve += model.samples.empty() || !model.settings.showCurve ? 0 : 1;
    c.framesWithHull += model.settings.showHull ? 1 : 0;
    c.softFrames += softSelection_ ? 1 : 0;
    c.reorderedTies += reordered ? 1 : 0;
    const std::vector<std::size_t> order = depthOrder(model);
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (sameDistance(model.cvs[order[i - 1]].distance, model.cvs[order[i]].distance)) {
            ++c.tiedFrames;
            break;
        }
    }
    for (const Cv& cv : model.cvs) {
        c.selectedCvs += cv.selected ? 1 : 0;
        c.occludedCvs += cv.alphaScale == 0.0f ? 1 : 0;
        c.markers += cv.hasMarker ? 1 : 0;
    }
}

std::string ReferenceFrame::checkFrame(const std::vector<MDagPath>& managers,
                                       const std::vector<MDagPath>& viewCameras) {
    ++coverage_.frames;
    nodes_.remove_if([](const NodeState& state) { return !state.node.isValid(); });
    if (static_cast<int>(viewCameras.size()) != khost::viewCount()) {
        return "the reference was given " + std::to_string(viewCameras.size()) + " views, the scene has " +
               std::to_string(khost::viewCount());
    }
    std::string first;
    std::vector<NodeState*> live;
    for (const MDagPath& manager : managers) {
        if (manager.isValid()) {
            live.push_back(&stateOf(manager));
        }
    }
    for (std::size_t v = 0; v < viewCameras.size(); ++v) {
        const bool hasCamera = viewCameras[v].isValid();
        for (NodeState* node : live) {
            const std::string name = node->node.fullPathName().asChar();
            const std::vector<khost::DrawCall>& actual = khost::drawCalls(static_cast<int>(v), name);
            std::string difference;
            if (!hasCamera) {
                if (!actual.empty()) {
                    difference = std::to_string(actual.size()) + " calls in a view with no camera";
                }
            } else {
                if (node->records.size() <= v) {
                    node->records.resize(v + 1);
                }
                if (!node->records[v]) {
                    node->records[v] = std::make_unique<FrameModel>();
                }
                FrameModel& model = *node->records[v];
                prepare(*node, v, viewCameras[v], model);
                bool reordered = false;
                difference = compare(model, actual, &reordered);
                count(model, reordered);
            }
            // Every node is prepared even after a difference, so that the
            // reference's state stays in step with the plug-in's.
            if (!difference.empty() && first.empty()) {
                first = name + " in view " + std::to_string(v) + ": " + difference;
            }
        }
    }
    return first;
}

}  // namespace reference
