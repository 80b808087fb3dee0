// Geometry kernels of the embedded host: B-spline evaluation against an
// independent Cox-de Boor basis, curve validation, the ray/triangle test, and
// the uniform grid cross-checked against brute force.
#include "../host/src/nurbs.h"
#include "../host/src/raycast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using khost::geom::Point3;

// ------------------------------------------------------------------ NURBS

// Textbook basis function N_{i,p}(t) over the full knot vector U, by the
// Cox-de Boor recursion with half-open spans (0/0 taken as 0).
double basis(const std::vector<double>& U, std::size_t i, int p, double t) {
    if (p == 0) {
        return (U[i] <= t && t < U[i + 1]) ? 1.0 : 0.0;
    }
    const std::size_t q = static_cast<std::size_t>(p);
    double value = 0.0;
    if (U[i + q] > U[i]) {
        value += (t - U[i]) / (U[i + q] - U[i]) * basis(U, i, p - 1, t);
    }
    if (U[i + q + 1] > U[i + 1]) {
        value += (U[i + q + 1] - t) / (U[i + q + 1] - U[i + 1]) * basis(U, i + 1, p - 1, t);
    }
    return value;
}

// The curve of the host knot vector completed with two outer knots of any
// value (they must not matter inside the domain).
Point3 reference(int degree, const std::vector<Point3>& cvs, const std::vector<double>& hostKnots, double t,
                 double outerLeft, double outerRight) {
    std::vector<double> U;
    U.push_back(outerLeft);
    U.insert(U.end(), hostKnots.begin(), hostKnots.end());
    U.push_back(outerRight);
    Point3 p{{0.0, 0.0, 0.0}};
    for (std::size_t i = 0; i < cvs.size(); ++i) {
        const double w = basis(U, i, degree, t);
        for (std::size_t k = 0; k < 3; ++k) {
            p[k] += w * cvs[i][k];
        }
    }
    return p;
}

double distance(const Point3& a, const Point3& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

std::vector<Point3> randomCvs(std::mt19937& rng, int count) {
    std::uniform_real_distribution<double> coord(-10.0, 10.0);
    std::vector<Point3> cvs;
    for (int i = 0; i < count; ++i) {
        cvs.push_back(Point3{{coord(rng), coord(rng), coord(rng)}});
    }
    return cvs;
}

// Evaluates strictly inside the domain (the reference basis is half-open)
// and compares with the reference under two different outer knots.
void expectMatchesReference(int degree, const std::vector<Point3>& cvs, const std::vector<double>& knots) {
    ASSERT_EQ(khost::geom::validateCurve(degree, 1, cvs, knots), "");
    double start = 0.0;
    double end = 0.0;
    khost::geom::knotDomain(degree, knots, start, end);
    for (int s = 0; s < 200; ++s) {
        const double t = start + (end - start) * (s + 0.37) / 200.0;
        const Point3 got = khost::geom::evaluate(degree, cvs, knots, t);
        EXPECT_LT(distance(got, reference(degree, cvs, knots, t, start - 1.0, end + 1.0)), 1e-12)
            << "degree " << degree << " t " << t;
        EXPECT_LT(distance(got, reference(degree, cvs, knots, t, knots.front(), knots.back() + 7.0)), 1e-12);
    }
}

TEST(NurbsEvaluate, ClampedCubicMatchesBasisAndInterpolatesEnds) {
    const std::vector<double> knots = khost::geom::uniformClampedKnots(7, 3);
    EXPECT_EQ(knots, (std::vector<double>{0, 0, 0, 1, 2, 3, 4, 4, 4}));
    double start = -1.0;
    double end = -1.0;
    khost::geom::knotDomain(3, knots, start, end);
    EXPECT_EQ(start, 0.0);
    EXPECT_EQ(end, 4.0);
    EXPECT_EQ(khost::geom::numSpans(3, 7), 4);

    std::mt19937 rng(7);
    const std::vector<Point3> cvs = randomCvs(rng, 7);
    expectMatchesReference(3, cvs, knots);
    // The ends interpolate the first and last CV; parameters outside the
    // domain clamp to them.
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, 0.0), cvs.front()), 1e-12);
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, 4.0), cvs.back()), 1e-12);
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, -3.0), cvs.front()), 1e-12);
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, 9.0), cvs.back()), 1e-12);
}

TEST(NurbsEvaluate, NonUniformKnotsOfEveryDegreeMatchBasis) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> gap(0.1, 2.0);
    for (int degree = 1; degree <= 7; ++degree) {
        // Clamped ends, uneven interior spacing, one interior knot repeated
        // `degree` times.
        const int numCvs = 2 * degree + 3;
        std::vector<double> interior;
        double value = 0.0;
        for (int i = 0; i < degree + 2; ++i) {
            value += gap(rng);
            interior.push_back(i >= 2 && i <= degree ? interior[1] : value);
        }
        std::vector<double> knots(static_cast<std::size_t>(degree), 0.0);
        knots.insert(knots.end(), interior.begin(), interior.end());
        knots.insert(knots.end(), static_cast<std::size_t>(degree), value + gap(rng));
        expectMatchesReference(degree, randomCvs(rng, numCvs), knots);
    }
}

TEST(NurbsEvaluate, KnotOfFullMultiplicityPassesThroughItsCv) {
    // Cubic with knot 2 repeated three times: the curve passes through CV 4
    // at t = 2 and has a corner there.
    const std::vector<double> knots{0, 0, 0, 1, 2, 2, 2, 3, 4, 4, 4};
    std::mt19937 rng(3);
    const std::vector<Point3> cvs = randomCvs(rng, 9);
    ASSERT_EQ(khost::geom::validateCurve(3, 1, cvs, knots), "");
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, 2.0), cvs[4]), 1e-12);
}

TEST(NurbsEvaluate, DegreeOneIsThePolyline) {
    const std::vector<Point3> cvs{{{0, 0, 0}}, {{1, 0, 0}}, {{1, 2, 0}}, {{1, 2, 3}}};
    const std::vector<double> knots{0.0, 0.5, 2.0, 2.25};  // uneven spans
    ASSERT_EQ(khost::geom::validateCurve(1, 1, cvs, knots), "");
    for (std::size_t i = 0; i < cvs.size(); ++i) {
        EXPECT_LT(distance(khost::geom::evaluate(1, cvs, knots, knots[i]), cvs[i]), 1e-15);
    }
    // A quarter of the way through span 1 (parameter 0.5 .. 2.0).
    EXPECT_LT(distance(khost::geom::evaluate(1, cvs, knots, 0.875), Point3{{1.0, 0.5, 0.0}}), 1e-14);
}

TEST(NurbsEvaluate, PeriodicCircleStaysInBandAndIsC2AcrossTheSeam) {
    const std::vector<double> knots = khost::geom::uniformPeriodicKnots(11, 3);
    EXPECT_EQ(knots, (std::vector<double>{-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const double pi = std::acos(-1.0);
    std::vector<Point3> cvs;
    for (int i = 0; i < 11; ++i) {
        const double a = 2.0 * pi * (i % 8) / 8.0;
        cvs.push_back(Point3{{3.0 * std::cos(a), 3.0 * std::sin(a), 1.0}});
    }
    ASSERT_EQ(khost::geom::validateCurve(3, khost::geom::kFormPeriodic, cvs, knots), "");
    double start = 0.0;
    double end = 0.0;
    khost::geom::knotDomain(3, knots, start, end);
    ASSERT_EQ(start, 0.0);
    ASSERT_EQ(end, 8.0);

    auto f = [&](double t) { return khost::geom::evaluate(3, cvs, knots, t); };
    auto radius = [&](double t) {
        const Point3 p = f(t);
        return std::hypot(p[0], p[1]);
    };
    // Uniform cubic B-spline of a regular octagon: at a knot the point is
    // (P0 + 4 P1 + P2) / 6, in mid-span (P0 + 23 P1 + 23 P2 + P3) / 48.
    const double atKnot = 3.0 * (4.0 + 2.0 * std::cos(pi / 4.0)) / 6.0;
    const double atMid = 3.0 * (46.0 * std::cos(pi / 8.0) + 2.0 * std::cos(3.0 * pi / 8.0)) / 48.0;
    for (int k = 0; k < 8; ++k) {
        EXPECT_NEAR(radius(k), atKnot, 1e-12);
        EXPECT_NEAR(radius(k + 0.5), atMid, 1e-12);
    }
    for (int s = 0; s <= 800; ++s) {
        const double t = 8.0 * s / 800.0;
        EXPECT_GE(radius(t), std::min(atKnot, atMid) - 1e-9);
        EXPECT_LE(radius(t), std::max(atKnot, atMid) + 1e-9);
        EXPECT_NEAR(f(t)[2], 1.0, 1e-12);
    }
    // One-sided differences exact for cubics, from both sides of the seam.
    const double h = 0.05;
    for (std::size_t k = 0; k < 3; ++k) {
        const double r0 = f(0)[k], r1 = f(h)[k], r2 = f(2 * h)[k], r3 = f(3 * h)[k];
        const double l0 = f(8)[k], l1 = f(8 - h)[k], l2 = f(8 - 2 * h)[k], l3 = f(8 - 3 * h)[k];
        EXPECT_NEAR(r0, l0, 1e-12);
        EXPECT_NEAR((-11 * r0 + 18 * r1 - 9 * r2 + 2 * r3) / (6 * h),
                    (11 * l0 - 18 * l1 + 9 * l2 - 2 * l3) / (6 * h), 1e-9);
        EXPECT_NEAR((2 * r0 - 5 * r1 + 4 * r2 - r3) / (h * h), (2 * l0 - 5 * l1 + 4 * l2 - l3) / (h * h),
                    1e-8);
    }
    for (double t : {0.3, 2.0, 5.7, 7.99}) {
        EXPECT_LT(distance(f(t), reference(3, cvs, knots, t, -3.0, 11.0)), 1e-12);
    }
}

TEST(NurbsEvaluate, NonFiniteInputsStayLocalAndDoNotCrash) {
    std::mt19937 rng(5);
    std::vector<Point3> cvs = randomCvs(rng, 7);
    const std::vector<double> knots = khost::geom::uniformClampedKnots(7, 3);
    const Point3 before = khost::geom::evaluate(3, cvs, knots, 3.5);
    cvs[0] = Point3{{std::nan(""), std::numeric_limits<double>::infinity(), 0.0}};
    // The last span does not depend on CV 0.
    EXPECT_LT(distance(khost::geom::evaluate(3, cvs, knots, 3.5), before), 1e-12);
    EXPECT_FALSE(std::isfinite(khost::geom::evaluate(3, cvs, knots, 0.5)[0]));
    EXPECT_FALSE(std::isfinite(khost::geom::evaluate(3, cvs, knots, std::nan(""))[1]));
    // Counts that do not fit together give NaN instead of reading out of bounds.
    EXPECT_TRUE(std::isnan(khost::geom::evaluate(3, cvs, std::vector<double>{0, 1}, 0.5)[0]));
    EXPECT_TRUE(std::isnan(khost::geom::evaluate(9, cvs, knots, 0.5)[0]));
}

TEST(NurbsValidate, AcceptsWellFormedCurves) {
    std::mt19937 rng(1);
    EXPECT_EQ(khost::geom::validateCurve(3, 1, randomCvs(rng, 7), khost::geom::uniformClampedKnots(7, 3)),
              "");
    EXPECT_EQ(khost::geom::validateCurve(1, 1, randomCvs(rng, 2), khost::geom::uniformClampedKnots(2, 1)),
              "");
    EXPECT_EQ(khost::geom::validateCurve(7, 2, randomCvs(rng, 8), khost::geom::uniformClampedKnots(8, 7)),
              "");
    // Periodic with uneven knots that wrap: interval i equals interval i + spans.
    std::vector<Point3> cvs = randomCvs(rng, 7);  // 4 spans
    for (std::size_t i = 0; i < 3; ++i) {
        cvs[4 + i] = cvs[i];
    }
    const std::vector<double> wrap{-1.5, -1, 0, 1, 2.5, 3, 4, 5, 6.5};
    EXPECT_EQ(khost::geom::validateCurve(3, 3, cvs, wrap), "");
    // CVs need not be finite.
    std::vector<Point3> odd = randomCvs(rng, 4);
    odd[1][2] = std::nan("");
    EXPECT_EQ(khost::geom::validateCurve(3, 1, odd, khost::geom::uniformClampedKnots(4, 3)), "");
}

TEST(NurbsValidate, RefusesMalformedCurvesWithTheReason) {
    std::mt19937 rng(2);
    const std::vector<Point3> seven = randomCvs(rng, 7);
    const std::vector<double> clamped = khost::geom::uniformClampedKnots(7, 3);
    auto refuses = [](const std::string& why, const std::string& word) {
        EXPECT_NE(why, "");
        EXPECT_NE(why.find(word), std::string::npos) << why;
    };
    refuses(khost::geom::validateCurve(0, 1, seven, clamped), "degree");
    refuses(khost::geom::validateCurve(8, 1, randomCvs(rng, 9), khost::geom::uniformClampedKnots(9, 8)),
            "degree");
    refuses(khost::geom::validateCurve(3, 0, seven, clamped), "form");
    refuses(khost::geom::validateCurve(3, 4, seven, clamped), "form");
    refuses(khost::geom::validateCurve(3, 1, randomCvs(rng, 3), std::vector<double>{0, 0, 0, 1, 1}), "CVs");
    refuses(khost::geom::validateCurve(3, 1, seven, std::vector<double>{0, 0, 0, 1, 2, 3, 4, 4, 4, 4, 4}),
            "knots");

    std::vector<double> bad = clamped;
    bad[4] = std::nan("");
    refuses(khost::geom::validateCurve(3, 1, seven, bad), "finite");
    bad = clamped;
    bad[8] = std::numeric_limits<double>::infinity();
    refuses(khost::geom::validateCurve(3, 1, seven, bad), "finite");
    bad = clamped;
    bad[4] = 0.5;  // 0 0 0 1 0.5 ...
    refuses(khost::geom::validateCurve(3, 1, seven, bad), "less");
    refuses(khost::geom::validateCurve(3, 1, seven, std::vector<double>{0, 0, 0, 2, 2, 2, 2, 4, 4}),
            "repeated");
    refuses(khost::geom::validateCurve(3, 1, seven, std::vector<double>{0, 0, 0, 0, 1, 2, 3, 3, 3}),
            "repeated");
    refuses(khost::geom::validateCurve(3, 1, randomCvs(rng, 4), std::vector<double>{0, 0, 1, 1, 1, 2}),
            "domain");

    // Periodic: a repeated CV that moved, and knot spacing that does not wrap.
    std::vector<Point3> cvs;
    for (int i = 0; i < 11; ++i) {
        cvs.push_back(Point3{{std::cos(i % 8), std::sin(i % 8), 0.0}});
    }
    const std::vector<double> periodic = khost::geom::uniformPeriodicKnots(11, 3);
    ASSERT_EQ(khost::geom::validateCurve(3, 3, cvs, periodic), "");
    std::vector<Point3> moved = cvs;
    moved[9][1] += 1e-3;
    refuses(khost::geom::validateCurve(3, 3, moved, periodic), "CV 9");
    std::vector<double> stretched = periodic;
    stretched.back() += 0.5;
    refuses(khost::geom::validateCurve(3, 3, cvs, stretched), "interval");
    // The same data is a valid open curve.
    EXPECT_EQ(khost::geom::validateCurve(3, 1, moved, stretched), "");
}

// ------------------------------------------------------------------ rays

using khost::geom::RayHit;
using khost::geom::RayQuery;
using khost::geom::Triangle;
using khost::geom::Vec3f;

const Triangle kUnit{{{0, 0, 0}}, {{1, 0, 0}}, {{0, 1, 0}}};

RayQuery ray(Vec3f source, Vec3f direction, float maxParam = 1.0f, bool both = false, float tol = 1e-6f) {
    return RayQuery{source, direction, maxParam, both, tol};
}

TEST(RayTriangle, RangeAndDirection) {
    float t = -1.0f;
    EXPECT_TRUE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, {{0, 0, -2}}), kUnit, &t));
    EXPECT_FLOAT_EQ(t, 0.5f);
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, {{0, 0, -2}}, 0.4f), kUnit));
    // Exactly at both ends of the range.
    EXPECT_TRUE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, {{0, 0, -1}}), kUnit));
    EXPECT_TRUE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 0}}, {{0, 0, 1}}), kUnit));
    // Behind the source: only with both directions, and within maxParam.
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, -1}}, {{0, 0, -1}}, 5.0f), kUnit));
    EXPECT_TRUE(
        khost::geom::intersectTriangle(ray({{0.25f, 0.25f, -1}}, {{0, 0, -1}}, 1.0f, true), kUnit, &t));
    EXPECT_FLOAT_EQ(t, -1.0f);
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, -1}}, {{0, 0, -1}}, 0.9f, true), kUnit));
    // Either winding, oblique direction, and the reported barycentrics.
    const Triangle flipped{kUnit.a, kUnit.c, kUnit.b};
    RayHit hit;
    ASSERT_TRUE(khost::geom::intersectTriangleHit(ray({{0.0f, 0.0f, 2}}, {{0.2f, 0.6f, -2}}), flipped, &hit));
    EXPECT_FLOAT_EQ(hit.t, 1.0f);
    EXPECT_NEAR(hit.bary1, 0.6f, 1e-6);  // weight of flipped.b = (0, 1, 0)
    EXPECT_NEAR(hit.bary2, 0.2f, 1e-6);
}

TEST(RayTriangle, EdgeToleranceWidensTheTriangle) {
    // Just past the hypotenuse (u + v = 1.004) and just left of the y axis.
    for (const Vec3f& p : {Vec3f{{0.502f, 0.502f, 1}}, Vec3f{{-0.004f, 0.3f, 1}}}) {
        const Vec3f down{{0, 0, -1}};
        EXPECT_FALSE(khost::geom::intersectTriangle(ray(p, down, 1.0f, false, 1e-6f), kUnit));
        EXPECT_FALSE(khost::geom::intersectTriangle(ray(p, down, 1.0f, false, 1e-3f), kUnit));
        EXPECT_TRUE(khost::geom::intersectTriangle(ray(p, down, 1.0f, false, 1e-2f), kUnit));
    }
    // Near the widened corners, where the weights reach 1 + 2 * tolerance.
    EXPECT_TRUE(khost::geom::intersectTriangle(ray({{1.019f, -0.0099f, 1}}, {{0, 0, -1}}, 1.0f, false, 1e-2f),
                                               kUnit));
    EXPECT_TRUE(khost::geom::intersectTriangle(ray({{-0.0099f, 1.019f, 1}}, {{0, 0, -1}}, 1.0f, false, 1e-2f),
                                               kUnit));
    EXPECT_TRUE(khost::geom::intersectTriangle(
        ray({{-0.0099f, -0.0099f, 1}}, {{0, 0, -1}}, 1.0f, false, 1e-2f), kUnit));
    EXPECT_FALSE(khost::geom::intersectTriangle(
        ray({{1.021f, -0.0099f, 1}}, {{0, 0, -1}}, 1.0f, false, 1e-2f), kUnit));
}

TEST(RayTriangle, RefusesDegenerateParallelAndNonFinite) {
    const Vec3f down{{0, 0, -1}};
    const Triangle collinear{{{0, 0, 0}}, {{1, 1, 0}}, {{2, 2, 0}}};
    const Triangle point{{{0.5f, 0.5f, 0}}, {{0.5f, 0.5f, 0}}, {{0.5f, 0.5f, 0}}};
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{1, 1, 1}}, down, 5.0f, true, 0.5f), collinear));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.5f, 0.5f, 1}}, down, 5.0f, true, 0.5f), point));
    // In the triangle's plane, and a zero direction from a point on it.
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{-1, 0.25f, 0}}, {{1, 0, 0}}, 5.0f), kUnit));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 0}}, {{0, 0, 0}}, 5.0f, true), kUnit));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{nan, 0.25f, 1}}, down), kUnit));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, {{0, 0, -inf}}), kUnit));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, down, inf), kUnit));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, down, 1.0f, false, nan), kUnit));
    const Triangle nanVertex{{{0, 0, 0}}, {{1, 0, 0}}, {{0, nan, 0}}};
    const Triangle infVertex{{{0, 0, 0}}, {{inf, 0, 0}}, {{0, 1, 0}}};
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, down), nanVertex));
    EXPECT_FALSE(khost::geom::intersectTriangle(ray({{0.25f, 0.25f, 1}}, down), infVertex));
}

TEST(RayTriangle, BruteForceFindsAnyAndClosest) {
    std::vector<Triangle> tris;
    for (float z : {3.0f, -1.0f, 2.0f}) {
        tris.push_back(Triangle{{{0, 0, z}}, {{1, 0, z}}, {{0, 1, z}}});
    }
    RayHit hit;
    const RayQuery up = ray({{0.2f, 0.2f, 0}}, {{0, 0, 1}}, 10.0f);
    ASSERT_TRUE(khost::geom::anyHitBruteForce(tris, up, &hit));
    EXPECT_EQ(hit.triangle, 0u);
    ASSERT_TRUE(khost::geom::closestHitBruteForce(tris, up, &hit));
    EXPECT_EQ(hit.triangle, 2u);
    EXPECT_FLOAT_EQ(hit.t, 2.0f);
    ASSERT_TRUE(
        khost::geom::closestHitBruteForce(tris, ray({{0.2f, 0.2f, 0}}, {{0, 0, 1}}, 10.0f, true), &hit));
    EXPECT_EQ(hit.triangle, 1u);
    EXPECT_FLOAT_EQ(hit.t, -1.0f);
    EXPECT_FALSE(khost::geom::anyHitBruteForce(tris, ray({{0.2f, 0.2f, 0}}, {{0, 0, 1}}, 1.5f)));
}

// ------------------------------------------------------------------ grid

std::vector<Triangle> sphereMesh(int rings, int segments, float radius, Vec3f centre) {
    const double pi = std::acos(-1.0);
    auto vertex = [&](int r, int s) {
        const double theta = pi * r / rings;
        const double phi = 2.0 * pi * s / segments;
        return Vec3f{{centre[0] + radius * static_cast<float>(std::sin(theta) * std::cos(phi)),
                      centre[1] + radius * static_cast<float>(std::sin(theta) * std::sin(phi)),
                      centre[2] + radius * static_cast<float>(std::cos(theta))}};
    };
    std::vector<Triangle> tris;  // the pole rows include zero-area triangles
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            tris.push_back(Triangle{vertex(r, s), vertex(r + 1, s), vertex(r + 1, s + 1)});
            tris.push_back(Triangle{vertex(r, s), vertex(r + 1, s + 1), vertex(r, s + 1)});
        }
    }
    return tris;
}

// Flat grid of unit squares in the plane z = height, integer vertices.
std::vector<Triangle> planeMesh(int n, float height) {
    std::vector<Triangle> tris;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float x = static_cast<float>(i - n / 2);
            const float y = static_cast<float>(j - n / 2);
            tris.push_back(Triangle{{{x, y, height}}, {{x + 1, y, height}}, {{x + 1, y + 1, height}}});
            tris.push_back(Triangle{{{x, y, height}}, {{x + 1, y + 1, height}}, {{x, y + 1, height}}});
        }
    }
    return tris;
}

std::vector<Triangle> randomSoup(std::mt19937& rng, int count, float extent, float size) {
    std::uniform_real_distribution<float> pos(-extent, extent);
    std::uniform_real_distribution<float> off(-size, size);
    std::vector<Triangle> tris;
    for (int i = 0; i < count; ++i) {
        const Vec3f c{{pos(rng), pos(rng), pos(rng)}};
        Triangle t;
        for (Vec3f* v : {&t.a, &t.b, &t.c}) {
            *v = Vec3f{{c[0] + off(rng), c[1] + off(rng), c[2] + off(rng)}};
        }
        tris.push_back(t);
    }
    return tris;
}

struct Tally {
    int hits = 0;
    int misses = 0;
};

// Any disagreement between the grid and brute force fails the test.
void expectSameAnswers(const khost::geom::UniformGrid& grid, const std::vector<Triangle>& tris,
                       const RayQuery& q, Tally& tally) {
    const bool brute = khost::geom::anyHitBruteForce(tris, q);
    ASSERT_EQ(grid.anyHit(q), brute) << "source " << q.source[0] << " " << q.source[1] << " " << q.source[2]
                                     << " dir " << q.direction[0] << " " << q.direction[1] << " "
                                     << q.direction[2] << " max " << q.maxParam << " both "
                                     << q.bothDirections << " tol " << q.tolerance;
    RayHit g;
    RayHit b;
    if (grid.anyHit(q, &g)) {
        // The reported triangle is one the ray really hits, at that t.
        float t = 0.0f;
        ASSERT_LT(g.triangle, tris.size());
        ASSERT_TRUE(khost::geom::intersectTriangle(q, tris[g.triangle], &t));
        ASSERT_EQ(t, g.t);
    }
    ASSERT_EQ(grid.closestHit(q, &g), khost::geom::closestHitBruteForce(tris, q, &b));
    if (brute) {
        ASSERT_EQ(g.triangle, b.triangle);
        ASSERT_EQ(g.t, b.t);
        ++tally.hits;
    } else {
        ++tally.misses;
    }
}

void crossCheck(const std::vector<Triangle>& tris, std::uint32_t seed, float span) {
    khost::geom::UniformGrid grid;
    grid.build(tris);
    ASSERT_EQ(grid.triangleCount(), tris.size());
    ASSERT_GT(grid.cellCount(), 1u);
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pos(-span, span);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float tolerances[] = {0.0f, 1e-6f, 1e-4f, 1e-3f, 0.05f};
    const float maxParams[] = {1.0f, 0.5f, 3.0f, std::numeric_limits<float>::max()};
    Tally tally;
    for (int i = 0; i < 3000; ++i) {
        const Vec3f source{{pos(rng), pos(rng), pos(rng)}};
        const Vec3f target{{pos(rng) * 0.5f, pos(rng) * 0.5f, pos(rng) * 0.5f}};
        RayQuery q = ray(source, {{target[0] - source[0], target[1] - source[1], target[2] - source[2]}},
                         maxParams[rng() % 4], unit(rng) < 0.3f, tolerances[rng() % 5]);
        if (rng() % 8 == 0) {
            // Axis-parallel direction.
            const std::size_t keep = rng() % 3;
            for (std::size_t k = 0; k < 3; ++k) {
                q.direction[k] = k == keep ? q.direction[k] : 0.0f;
            }
        }
        expectSameAnswers(grid, tris, q, tally);
    }
    // The sample must exercise both outcomes to mean anything.
    EXPECT_GT(tally.hits, 300);
    EXPECT_GT(tally.misses, 300);
}

TEST(UniformGrid, MatchesBruteForceOnRandomRays) {
    std::mt19937 rng(42);
    crossCheck(sphereMesh(40, 60, 4.0f, {{0.3f, -0.2f, 0.1f}}), 1, 8.0f);
    crossCheck(randomSoup(rng, 2000, 5.0f, 0.6f), 2, 8.0f);
    crossCheck(planeMesh(40, 0.0f), 3, 25.0f);
    std::vector<Triangle> mixed = sphereMesh(12, 16, 2.0f, {{0, 0, 3}});
    const std::vector<Triangle> floor = planeMesh(8, -1.0f);
    mixed.insert(mixed.end(), floor.begin(), floor.end());
    const std::vector<Triangle> soup = randomSoup(rng, 200, 6.0f, 3.0f);  // large, overlapping
    mixed.insert(mixed.end(), soup.begin(), soup.end());
    crossCheck(mixed, 4, 9.0f);
}

TEST(UniformGrid, MatchesBruteForceOnAdversarialRays) {
    const std::vector<Triangle> plane = planeMesh(20, 0.0f);
    std::vector<Triangle> tris = plane;
    const std::vector<Triangle> ball = sphereMesh(16, 24, 3.0f, {{0, 0, 4}});
    tris.insert(tris.end(), ball.begin(), ball.end());
    khost::geom::UniformGrid grid;
    grid.build(tris);
    const auto lo = grid.boundsMin();
    const auto hi = grid.boundsMax();
    const auto res = grid.resolution();
    auto boundary = [&](std::size_t k, int i) {
        return static_cast<float>(lo[k] + (hi[k] - lo[k]) * i / res[k]);
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float big = std::numeric_limits<float>::max();
    std::vector<RayQuery> queries;
    for (bool both : {false, true}) {
        for (float tol : {0.0f, 1e-6f, 1e-3f}) {
            // Vertical rays through every vertex and edge midpoint of the plane.
            for (int i = -10; i <= 10; ++i) {
                for (int j = -10; j <= 10; ++j) {
                    const float x = static_cast<float>(i);
                    const float y = static_cast<float>(j);
                    queries.push_back(ray({{x, y, 2}}, {{0, 0, -1}}, 2.0f, both, tol));
                    queries.push_back(ray({{x + 0.5f, y, -2}}, {{0, 0, 3}}, 1.0f, both, tol));
                }
            }
            // Along cell boundaries: lines where two boundary planes meet, on
            // each axis, and oblique rays lying in one boundary plane.
            for (int i = 0; i <= res[0]; ++i) {
                for (int j = 0; j <= res[1]; j += 3) {
                    queries.push_back(
                        ray({{boundary(0, i), boundary(1, j), 30}}, {{0, 0, -1}}, 60.0f, both, tol));
                    queries.push_back(ray({{boundary(0, i), 30, 0.0f}}, {{0, -1, 0}}, 60.0f, both, tol));
                    queries.push_back(ray({{boundary(0, i), -12, 8}}, {{0, 24, -9}}, 1.0f, both, tol));
                }
            }
            // Grazing the plane, starting outside the grid, extreme lengths.
            queries.push_back(ray({{-50, 0.5f, 0}}, {{1, 0, 0}}, 100.0f, both, tol));
            queries.push_back(ray({{-50, 0.5f, 1e-6f}}, {{100, 0, -2e-6f}}, 1.0f, both, tol));
            queries.push_back(ray({{-1e20f, 3, 4}}, {{1, 0, 0}}, big, both, tol));
            queries.push_back(ray({{0, 0, 1e30f}}, {{0, 0, -1e30f}}, 1.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 100}}, {{0, 0, -1e-30f}}, big, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 100}}, {{0, 0, -big}}, 1.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 100}}, {{1e-38f, 1e-38f, -1}}, big, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 0}}, {{0, 0, 0}}, big, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, 0, -1}}, -1.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, 0, -1}}, 0.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 0}}, {{0, 0, -1}}, 0.0f, both, tol));  // starts on the plane
            queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, 0, -1}}, inf, both, tol));
            queries.push_back(ray({{nan, 0.3f, 2}}, {{0, 0, -1}}, 5.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, nan, -1}}, 5.0f, both, tol));
            queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, 0, -inf}}, 5.0f, both, tol));
        }
    }
    queries.push_back(ray({{0.3f, 0.3f, 2}}, {{0, 0, -1}}, 5.0f, false, nan));
    Tally tally;
    for (const RayQuery& q : queries) {
        expectSameAnswers(grid, tris, q, tally);
    }
    EXPECT_GT(tally.hits, 100);
    EXPECT_GT(tally.misses, 100);
}

TEST(UniformGrid, ExtremeCoordinatesAndDegenerateContent) {
    khost::geom::UniformGrid grid;
    grid.build({});
    EXPECT_EQ(grid.cellCount(), 0u);
    EXPECT_FALSE(grid.anyHit(ray({{0, 0, 1}}, {{0, 0, -1}}, 5.0f, true)));

    // Only zero-area and non-finite triangles: nothing can be hit.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Triangle> junk{{{{0, 0, 0}}, {{1, 1, 1}}, {{2, 2, 2}}},
                                     {{{0, 0, 0}}, {{1, 0, 0}}, {{nan, 1, 0}}}};
    grid.build(junk);
    EXPECT_EQ(grid.triangleCount(), 2u);
    EXPECT_EQ(grid.cellCount(), 0u);
    EXPECT_FALSE(grid.anyHit(ray({{0.5f, 0.5f, 1}}, {{0, 0, -1}}, 5.0f, true, 0.01f)));

    // Huge and tiny scales, far from the origin and around it.
    std::mt19937 rng(9);
    for (float scale : {1e30f, 1e-30f}) {
        std::vector<Triangle> tris = randomSoup(rng, 300, 5.0f, 1.0f);
        for (Triangle& t : tris) {
            for (Vec3f* v : {&t.a, &t.b, &t.c}) {
                for (float& x : *v) {
                    x *= scale;
                }
            }
        }
        tris.push_back(junk[1]);
        grid.build(tris);
        std::uniform_real_distribution<float> pos(-8.0f * scale, 8.0f * scale);
        Tally tally;
        for (int i = 0; i < 1500; ++i) {
            const Vec3f s{{pos(rng), pos(rng), pos(rng)}};
            const Vec3f e{{pos(rng) * 0.4f, pos(rng) * 0.4f, pos(rng) * 0.4f}};
            expectSameAnswers(grid, tris, ray(s, {{e[0] - s[0], e[1] - s[1], e[2] - s[2]}}, 1.0f, i % 2 == 0),
                              tally);
        }
        EXPECT_GT(tally.hits, 100);
        EXPECT_GT(tally.misses, 100);
    }
}

TEST(UniformGrid, ResolutionFollowsTriangleCountWithBoundedMemory) {
    khost::geom::UniformGrid grid;
    const std::vector<Triangle> sphere = sphereMesh(100, 100, 1.0f, {{0, 0, 0}});  // 20,000 triangles
    grid.build(sphere);
    EXPECT_GE(grid.cellCount(), sphere.size());
    EXPECT_LE(grid.cellCount(), sphere.size() * 8);
    EXPECT_LE(grid.entryCount(), sphere.size() * 8);

    // A flat mesh is split along its two wide axes only.
    grid.build(planeMesh(100, 2.0f));
    EXPECT_EQ(grid.resolution()[2], 1);
    EXPECT_GT(grid.resolution()[0], 50);
    EXPECT_GT(grid.resolution()[1], 50);

    // Many triangles that each span the whole box: the grid coarsens
    // instead of entering every triangle into every cell.
    std::vector<Triangle> huge;
    for (int i = 0; i < 40000; ++i) {
        const float z = static_cast<float>(i) * 5e-4f;
        huge.push_back(Triangle{{{-100, -100, z}}, {{100, -100, z + 1}}, {{0, 100, z}}});
    }
    grid.build(huge);
    EXPECT_LE(grid.entryCount(), std::size_t{32} * huge.size());
    EXPECT_TRUE(grid.anyHit(ray({{0, 0, -5}}, {{0, 0, 10}}, 1.0f)));
}

}  // namespace
