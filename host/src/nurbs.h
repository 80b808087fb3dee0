#pragma once
// Non-rational B-spline curve kernel of the embedded host: knot conventions,
// validation and point evaluation. Plain C++17, independent of the host API
// headers; MFnNurbsCurve is built on top of it.
//
// Knot convention: the host stores numCVs + degree - 1 knots, i.e. the
// textbook knot vector (numCVs + degree + 1 knots) without its first and last
// entry. Those two knots never influence the curve inside the knot domain.
#include <array>
#include <string>
#include <vector>

namespace khost {
namespace geom {

using Point3 = std::array<double, 3>;

// The host's limit on curve degree.
constexpr int kMaxCurveDegree = 7;

// Curve forms, numbered as MFnNurbsCurve::Form.
constexpr int kFormOpen = 1;
constexpr int kFormClosed = 2;
constexpr int kFormPeriodic = 3;

// Returns "" when the host would accept the curve, else a one-line reason.
// Checks: degree 1..7; form open, closed or periodic; numCVs >= degree + 1;
// knots.size() == numCVs + degree - 1; knots finite and non-decreasing; no
// knot value repeated more than `degree` times; a non-empty knot domain. A
// periodic curve must also repeat its first `degree` CVs as its last
// `degree` CVs, and the knot intervals at its start must repeat at its end
// (interval i equals interval i + numSpans). CV coordinates are not required
// to be finite.
std::string validateCurve(int degree, int form, const std::vector<Point3>& cvs,
                          const std::vector<double>& knots);

// Knots of a uniform curve whose ends interpolate the first and last CV:
// 7 CVs, degree 3 -> 0 0 0 1 2 3 4 4 4 (domain [0, numSpans]).
std::vector<double> uniformClampedKnots(int numCVs, int degree);

// Knots of a uniform periodic curve: k[i] = i - (degree - 1), so the domain
// is [0, numSpans]. Degree 3, 11 CVs -> -2 -1 0 1 ... 10, domain [0, 8].
std::vector<double> uniformPeriodicKnots(int numCVs, int degree);

// Domain [knots[degree - 1], knots[numKnots - degree]]. Both are 0 when the
// knot vector is too short for the degree.
void knotDomain(int degree, const std::vector<double>& knots, double& start, double& end);

int numSpans(int degree, int numCVs);

// Point of the curve at parameter t (clamped into the knot domain), by de
// Boor's algorithm, in the coordinates of the CVs. Allocation-free. Returns
// NaN coordinates for an inconsistent degree/CV/knot count; non-finite CVs
// or a NaN parameter give a (possibly) non-finite point.
Point3 evaluate(int degree, const std::vector<Point3>& cvs, const std::vector<double>& knots, double t);

}  // namespace geom
}  // namespace khost
