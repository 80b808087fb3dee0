#include "nurbs.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace khost {
namespace geom {

namespace {

// Two knot intervals or CV coordinates count as equal when they differ by
// no more than this fraction of the values' magnitude (floor 1).
constexpr double kRelativeEqual = 1e-10;

// The parts written one after another, as a stream writes them.
template <class... Part>
std::string reason(const Part&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

bool nearlyEqual(double a, double b, double magnitude) {
    if (a == b) {
        return true;  // also equal infinities
    }
    return std::fabs(a - b) <= kRelativeEqual * std::max(1.0, magnitude);
}

bool sameCv(const Point3& a, const Point3& b) {
    for (std::size_t k = 0; k < 3; ++k) {
        if (!nearlyEqual(a[k], b[k], std::max(std::fabs(a[k]), std::fabs(b[k])))) {
            return false;
        }
    }
    return true;
}

std::string checkPeriodic(int degree, const std::vector<Point3>& cvs, const std::vector<double>& knots) {
    const std::size_t p = static_cast<std::size_t>(degree);
    const std::size_t spans = cvs.size() - p;
    for (std::size_t i = 0; i < p; ++i) {
        if (!sameCv(cvs[i], cvs[spans + i])) {
            return reason("periodic curve: CV ", spans + i, " must repeat CV ", i);
        }
    }
    // The knots are sorted: the largest magnitude is at one end.
    const double magnitude = std::max(std::fabs(knots.front()), std::fabs(knots.back()));
    // Intervals d[i] = k[i+1] - k[i]; the first 2*degree - 2 of them must
    // recur numSpans intervals later so that the knot vector wraps.
    for (std::size_t i = 0; i + 2 < 2 * p; ++i) {
        const double head = knots[i + 1] - knots[i];
        const double tail = knots[i + spans + 1] - knots[i + spans];
        if (!nearlyEqual(head, tail, magnitude)) {
            return reason("periodic curve: knot interval ", i, " (", head, ") differs from knot interval ",
                          i + spans, " (", tail, ")");
        }
    }
    return std::string();
}

Point3 nanPoint() {
    const double q = std::numeric_limits<double>::quiet_NaN();
    return Point3{{q, q, q}};
}

}  // namespace

std::string validateCurve(int degree, int form, const std::vector<Point3>& cvs,
                          const std::vector<double>& knots) {
    if (degree < 1 || degree > kMaxCurveDegree) {
        return reason("degree ", degree, " is outside 1..", kMaxCurveDegree);
    }
    if (form != kFormOpen && form != kFormClosed && form != kFormPeriodic) {
        return reason("form ", form, " is not open (1), closed (2) or periodic (3)");
    }
    const std::size_t p = static_cast<std::size_t>(degree);
    if (cvs.size() < p + 1) {
        return reason("a degree ", degree, " curve needs at least ", degree + 1, " CVs, got ", cvs.size());
    }
    const std::size_t expected = cvs.size() + p - 1;
    if (knots.size() != expected) {
        return reason("expected ", expected, " knots for ", cvs.size(), " CVs of degree ", degree, ", got ",
                      knots.size());
    }
    for (std::size_t i = 0; i < knots.size(); ++i) {
        if (!std::isfinite(knots[i])) {
            return reason("knot ", i, " is not finite");
        }
    }
    std::size_t run = 1;
    for (std::size_t i = 1; i < knots.size(); ++i) {
        if (knots[i] < knots[i - 1]) {
            return reason("knot ", i, " (", knots[i], ") is less than knot ", i - 1, " (", knots[i - 1], ")");
        }
        run = knots[i] == knots[i - 1] ? run + 1 : 1;
        if (run > p) {
            return reason("knot value ", knots[i], " is repeated ", run, " times, more than the degree ",
                          degree);
        }
    }
    double start = 0.0;
    double end = 0.0;
    knotDomain(degree, knots, start, end);
    if (!(start < end)) {
        return reason("empty knot domain [", start, ", ", end, "]");
    }
    if (form == kFormPeriodic) {
        return checkPeriodic(degree, cvs, knots);
    }
    return std::string();
}

std::vector<double> uniformClampedKnots(int numCVs, int degree) {
    std::vector<double> knots;
    if (degree < 1 || numCVs < degree + 1) {
        return knots;
    }
    const int spans = numCVs - degree;
    knots.reserve(static_cast<std::size_t>(numCVs + degree - 1));
    knots.insert(knots.end(), static_cast<std::size_t>(degree), 0.0);
    for (int i = 1; i < spans; ++i) {
        knots.push_back(static_cast<double>(i));
    }
    knots.insert(knots.end(), static_cast<std::size_t>(degree), static_cast<double>(spans));
    return knots;
}

std::vector<double> uniformPeriodicKnots(int numCVs, int degree) {
    std::vector<double> knots;
    if (degree < 1 || numCVs < degree + 1) {
        return knots;
    }
    const int count = numCVs + degree - 1;
    knots.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        knots.push_back(static_cast<double>(i - (degree - 1)));
    }
    return knots;
}

void knotDomain(int degree, const std::vector<double>& knots, double& start, double& end) {
    start = 0.0;
    end = 0.0;
    if (degree < 1 || knots.size() < 2 * static_cast<std::size_t>(degree) - 1) {
        return;
    }
    const std::size_t p = static_cast<std::size_t>(degree);
    start = knots[p - 1];
    end = knots[knots.size() - p];
}

int numSpans(int degree, int numCVs) {
    return numCVs - degree;
}

Point3 evaluate(int degree, const std::vector<Point3>& cvs, const std::vector<double>& knots, double t) {
    if (degree < 1 || degree > kMaxCurveDegree || cvs.size() < static_cast<std::size_t>(degree) + 1 ||
        knots.size() != cvs.size() + static_cast<std::size_t>(degree) - 1) {
        return nanPoint();
    }
    const std::size_t p = static_cast<std::size_t>(degree);
    const std::size_t n = cvs.size();
    // In host indexing the domain is [knots[p-1], knots[n-1]] and the span
    // j (p-1 <= j <= n-2) is [knots[j], knots[j+1]]; it is the textbook span
    // j + 1 and is shaped by CVs j+1-p .. j+1.
    const double start = knots[p - 1];
    const double end = knots[n - 1];
    if (t < start) {
        t = start;
    } else if (t > end) {
        t = end;
    }
    // Last span whose left knot is <= t (NaN t lands on the last span).
    const auto first = knots.begin() + static_cast<std::ptrdiff_t>(p - 1);
    const auto last = knots.begin() + static_cast<std::ptrdiff_t>(n - 1);
    std::size_t j = static_cast<std::size_t>(std::upper_bound(first, last, t) - knots.begin());
    j = j > p - 1 ? j - 1 : p - 1;
    // At the domain's end (or with repeated knots) step back to a non-empty span.
    while (j > p - 1 && !(knots[j] < knots[j + 1])) {
        --j;
    }

    std::array<Point3, kMaxCurveDegree + 1> d;
    for (std::size_t r = 0; r <= p; ++r) {
        d[r] = cvs[j + 1 - p + r];
    }
    for (std::size_t r = 1; r <= p; ++r) {
        for (std::size_t i = p; i >= r; --i) {
            const double left = knots[i + j - p];
            const double denom = knots[i + j + 1 - r] - left;
            const double alpha = denom != 0.0 ? (t - left) / denom : 0.0;
            for (std::size_t k = 0; k < 3; ++k) {
                d[i][k] = (1.0 - alpha) * d[i - 1][k] + alpha * d[i][k];
            }
        }
    }
    return d[p];
}

}  // namespace geom
}  // namespace khost
