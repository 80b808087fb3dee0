// MFnNurbsCurve on the host's B-spline kernel.
#include <maya/MFnNurbsCurve.h>

#include <cmath>

#include "model.h"
#include "nurbs.h"
#include "test_hooks.h"

namespace kd = khost::detail;

namespace {

const kd::Node* curveNode(const MObject& object) {
    return kd::liveNodeOf(object, kd::NodeKind::NurbsCurve);
}

// Every space but world is the curve's own (object) space: a shape has no
// transformation of its own.
bool worldSpace(MSpace::Space space) {
    return space == MSpace::kWorld;
}

MPoint toPoint(const kd::Vec3& p) {
    return MPoint(p[0], p[1], p[2]);
}

// What `get` reads from the curve data, or `fallback` when the function set
// holds no live curve.
template <class T, class Get>
T curveValue(const MObject& obj, MStatus* status, T fallback, Get get) {
    const kd::Node* n = curveNode(obj);
    return kd::reportValid(n != nullptr, status) ? get(n->curve()) : fallback;
}

}  // namespace

KHOST_DAG_FUNCTION_SET(MFnNurbsCurve, MFn::kNurbsCurve)

MStatus MFnNurbsCurve::getCVs(MPointArray& array, MSpace::Space space) const {
    ++kd::hostCounters().getCVs;
    const kd::Node* n = curveNode(obj_);
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    const auto& cvs = n->curve().cvs;
    array.setLength(static_cast<unsigned int>(cvs.size()));
    if (worldSpace(space)) {
        const kd::Mat4 m = kd::worldMatrix(*n);
        for (std::size_t i = 0; i < cvs.size(); ++i) {
            array[static_cast<unsigned int>(i)] = toPoint(kd::transformPoint(cvs[i], m));
        }
    } else {
        for (std::size_t i = 0; i < cvs.size(); ++i) {
            array[static_cast<unsigned int>(i)] = toPoint(cvs[i]);
        }
    }
    return MStatus::kSuccess;
}

MStatus MFnNurbsCurve::getCV(unsigned int index, MPoint& pt, MSpace::Space space) const {
    const kd::Node* n = curveNode(obj_);
    if (n == nullptr || index >= n->curve().cvs.size()) {
        return MStatus::kInvalidParameter;
    }
    const kd::Vec3& cv = n->curve().cvs[index];
    pt = toPoint(worldSpace(space) ? kd::transformPoint(cv, kd::worldMatrix(*n)) : cv);
    return MStatus::kSuccess;
}

MStatus MFnNurbsCurve::getKnotDomain(double& start, double& end) const {
    const kd::Node* n = curveNode(obj_);
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    khost::geom::knotDomain(n->curve().degree, n->curve().knots, start, end);
    return MStatus::kSuccess;
}

int MFnNurbsCurve::numSpans(MStatus* ReturnStatus) const {
    return curveValue(obj_, ReturnStatus, 0, [](const kd::CurveData& c) {
        return khost::geom::numSpans(c.degree, static_cast<int>(c.cvs.size()));
    });
}

int MFnNurbsCurve::numCVs(MStatus* ReturnStatus) const {
    return curveValue(obj_, ReturnStatus, 0,
                      [](const kd::CurveData& c) { return static_cast<int>(c.cvs.size()); });
}

int MFnNurbsCurve::degree(MStatus* ReturnStatus) const {
    return curveValue(obj_, ReturnStatus, 0, [](const kd::CurveData& c) { return c.degree; });
}

int MFnNurbsCurve::numKnots(MStatus* ReturnStatus) const {
    return curveValue(obj_, ReturnStatus, 0,
                      [](const kd::CurveData& c) { return static_cast<int>(c.knots.size()); });
}

MFnNurbsCurve::Form MFnNurbsCurve::form(MStatus* ReturnStatus) const {
    return curveValue(obj_, ReturnStatus, kInvalid, [](const kd::CurveData& c) {
        const bool known = c.form == kOpen || c.form == kClosed || c.form == kPeriodic;
        return known ? static_cast<Form>(c.form) : kInvalid;
    });
}

MStatus MFnNurbsCurve::getPointAtParam(double param, MPoint& point, MSpace::Space space) const {
    ++kd::hostCounters().getPointAtParam;
    const kd::Node* n = curveNode(obj_);
    if (n == nullptr) {
        return MStatus::kInvalidParameter;
    }
    double start = 0.0, end = 0.0;
    khost::geom::knotDomain(n->curve().degree, n->curve().knots, start, end);
    // Parameters outside the domain are refused; a hair of rounding slack is
    // allowed at either end.
    const double slack = 1e-12 * (1.0 + std::fabs(start) + std::fabs(end));
    if (!(param >= start - slack && param <= end + slack)) {
        return MStatus::kInvalidParameter;
    }
    const kd::Vec3 p = khost::geom::evaluate(n->curve().degree, n->curve().cvs, n->curve().knots, param);
    point = toPoint(worldSpace(space) ? kd::transformPoint(p, kd::worldMatrix(*n)) : p);
    return MStatus::kSuccess;
}

double MFnNurbsCurve::length(double tolerance, MStatus* ReturnStatus) const {
    const kd::Node* n = curveNode(obj_);
    if (!kd::reportValid(n != nullptr, ReturnStatus)) {
        return 0.0;
    }
    const auto& c = n->curve();
    double start = 0.0, end = 0.0;
    khost::geom::knotDomain(c.degree, c.knots, start, end);
    if (!(end > start)) {
        return 0.0;
    }
    // Polyline length in object space, refined until two successive
    // refinements agree to within the tolerance.
    auto polyline = [&](int segments) {
        double total = 0.0;
        kd::Vec3 prev = khost::geom::evaluate(c.degree, c.cvs, c.knots, start);
        for (int i = 1; i <= segments; ++i) {
            const double t = i == segments ? end : start + (end - start) * i / segments;
            const kd::Vec3 p = khost::geom::evaluate(c.degree, c.cvs, c.knots, t);
            total += std::sqrt((p[0] - prev[0]) * (p[0] - prev[0]) + (p[1] - prev[1]) * (p[1] - prev[1]) +
                               (p[2] - prev[2]) * (p[2] - prev[2]));
            prev = p;
        }
        return total;
    };
    const int spans = std::max(1, khost::geom::numSpans(c.degree, static_cast<int>(c.cvs.size())));
    int segments = 8 * spans;
    double previous = polyline(segments);
    for (int round = 0; round < 12; ++round) {
        segments *= 2;
        const double current = polyline(segments);
        if (std::fabs(current - previous) <= tolerance) {
            return current;
        }
        previous = current;
    }
    return previous;
}
