// Value types of the embedded host: the behaviours later tests silently rely
// on (colour scaling, homogeneous points, row-vector matrices, array storage,
// status printing) and the implicit conversions the host's headers allow.
#include <maya/MCallbackIdArray.h>
#include <maya/MColor.h>
#include <maya/MColorArray.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatPointArray.h>
#include <maya/MFloatVector.h>
#include <maya/MFn.h>
#include <maya/MIntArray.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>
#include <maya/MPointArray.h>
#include <maya/MStatus.h>
#include <maya/MString.h>
#include <maya/MStringArray.h>
#include <maya/MTypeId.h>
#include <maya/MTypes.h>
#include <maya/MUintArray.h>
#include <maya/MVector.h>
#include <maya/MViewport2Renderer.h>
#include <maya/MWeight.h>

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>

namespace {

const double kHalfPi = std::acos(-1.0) / 2.0;

// Conversions the host's headers leave implicit, and the ones they return by value.
static_assert(std::is_convertible<float, MColor>::value, "MColor(float alpha) is implicit");
static_assert(std::is_convertible<unsigned int, MPointArray>::value, "array size constructors are implicit");
static_assert(std::is_convertible<unsigned int, MColorArray>::value, "array size constructors are implicit");
static_assert(std::is_convertible<unsigned int, MTypeId>::value, "MTypeId(unsigned int) is implicit");
static_assert(std::is_convertible<MStatus, bool>::value, "MStatus converts implicitly to bool");
static_assert(std::is_convertible<MStatus::MStatusCode, MStatus>::value, "status codes convert to MStatus");
static_assert(std::is_same<decltype(std::declval<const MStringArray&>()[0u]), MString>::value,
              "const MStringArray::operator[] returns by value");
static_assert(std::is_same<decltype(std::declval<MStringArray&>()[0u]), MString&>::value,
              "non-const MStringArray::operator[] returns a reference");
static_assert(std::is_same<decltype(std::declval<const MIntArray&>()[0u]), int>::value,
              "const MIntArray::operator[] returns by value");
static_assert(std::is_same<decltype(std::declval<const MPointArray&>()[0u]), const MPoint&>::value,
              "const MPointArray::operator[] returns a const reference");
static_assert(std::is_same<MCallbackId, std::uintptr_t>::value, "MCallbackId is uintptr_t");
static_assert(std::is_same<decltype(MHWRender::kOpenGL | MHWRender::kDirectX11), MHWRender::DrawAPI>::value,
              "DrawAPI operator| yields a DrawAPI");

// Redirects std::cerr into a string for its lifetime.
class CerrCapture {
public:
    CerrCapture() : old_(std::cerr.rdbuf(buffer_.rdbuf())) {}
    ~CerrCapture() { std::cerr.rdbuf(old_); }
    CerrCapture(const CerrCapture&) = delete;
    CerrCapture& operator=(const CerrCapture&) = delete;
    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* old_;
};

void expectColor(const MColor& c, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(c.r, r);
    EXPECT_FLOAT_EQ(c.g, g);
    EXPECT_FLOAT_EQ(c.b, b);
    EXPECT_FLOAT_EQ(c.a, a);
}

MMatrix translation(double x, double y, double z) {
    MMatrix m;
    m[3][0] = x;
    m[3][1] = y;
    m[3][2] = z;
    return m;
}

MMatrix rotationZ(double radians) {
    MMatrix m;
    m[0][0] = std::cos(radians);
    m[0][1] = std::sin(radians);
    m[1][0] = -std::sin(radians);
    m[1][1] = std::cos(radians);
    return m;
}

MMatrix scaling(double x, double y, double z) {
    MMatrix m;
    m[0][0] = x;
    m[1][1] = y;
    m[2][2] = z;
    return m;
}

// ---------------------------------------------------------------- MColor

TEST(HostColor, ScalarProductScalesRgbAndLeavesAlpha) {
    const MColor base(0.2f, 0.4f, 0.8f, 0.5f);
    expectColor(base * 0.5f, 0.1f, 0.2f, 0.4f, 0.5f);
    expectColor(0.5f * base, 0.1f, 0.2f, 0.4f, 0.5f);
    MColor inPlace = base;
    inPlace *= 2.0f;
    expectColor(inPlace, 0.4f, 0.8f, 1.6f, 0.5f);
    expectColor(base / 2.0f, 0.1f, 0.2f, 0.4f, 0.5f);
    // Scaling by zero keeps an opaque colour opaque.
    expectColor(MColor(1.0f, 1.0f, 1.0f, 1.0f) * 0.0f, 0.0f, 0.0f, 0.0f, 1.0f);
    // The original is untouched by the non-mutating product.
    expectColor(base, 0.2f, 0.4f, 0.8f, 0.5f);
}

TEST(HostColor, ConstructorsAndComponentWiseOperations) {
    expectColor(MColor(), 0.0f, 0.0f, 0.0f, 1.0f);
    expectColor(MColor(1.0f), 0.0f, 0.0f, 0.0f, 1.0f);  // one float is alpha, not grey
    const MColor halfAlpha = 0.5f;
    expectColor(halfAlpha, 0.0f, 0.0f, 0.0f, 0.5f);
    expectColor(MColor(0.3f, 0.6f), 0.3f, 0.6f, 0.0f, 1.0f);
    const float rgb[3] = {0.1f, 0.2f, 0.3f};
    expectColor(MColor(rgb), 0.1f, 0.2f, 0.3f, 1.0f);
    expectColor(MColor::kOpaqueBlack, 0.0f, 0.0f, 0.0f, 1.0f);

    const MColor a(0.5f, 0.5f, 0.5f, 0.5f), b(0.5f, 0.25f, 1.0f, 0.5f);
    expectColor(a * b, 0.25f, 0.125f, 0.5f, 0.25f);
    expectColor(a + b, 1.0f, 0.75f, 1.5f, 1.0f);
    expectColor(a - b, 0.0f, 0.25f, -0.5f, 0.0f);
    EXPECT_EQ(a[0], 0.5f);
    EXPECT_EQ(b[1], 0.25f);
    EXPECT_EQ(b(2), 1.0f);
    EXPECT_TRUE(a == MColor(0.5f, 0.5f, 0.5f, 0.5f));
    EXPECT_TRUE(a != MColor(0.5f, 0.5f, 0.5f, 1.0f));  // alpha takes part in equality
}

TEST(HostColor, CompoundAssignmentsAgreeWithTheirOperators) {
    const MColor a(0.5f, 0.5f, 0.5f, 0.5f), b(0.5f, 0.25f, 1.0f, 0.5f);
    MColor c = a;
    c *= b;
    expectColor(c, 0.25f, 0.125f, 0.5f, 0.25f);
    c += b;
    expectColor(c, 0.75f, 0.375f, 1.5f, 0.75f);
    c /= 0.5f;
    expectColor(c, 1.5f, 0.75f, 3.0f, 0.75f);  // alpha is not scaled
    MFloatVector v(1.0f, -2.0f, 0.5f);
    v *= 2.0f;
    EXPECT_EQ(v.x, 2.0f);
    EXPECT_EQ(v.y, -4.0f);
    EXPECT_EQ(v.z, 1.0f);
}

TEST(HostColor, ColourModelConstructors) {
    expectColor(MColor(MColor::kHSV, 0.0f, 1.0f, 1.0f), 1.0f, 0.0f, 0.0f, 1.0f);
    expectColor(MColor(MColor::kHSV, 120.0, 1.0, 1.0, 0.5), 0.0f, 1.0f, 0.0f, 0.5f);
    expectColor(MColor(MColor::kHSV, 240.0f, 0.5f, 1.0f), 0.5f, 0.5f, 1.0f, 1.0f);
    expectColor(MColor(MColor::kCMY, 1.0f, 0.0f, 0.25f), 0.0f, 1.0f, 0.75f, 1.0f);
    const unsigned char full = 255, none = 0, half = 51;
    expectColor(MColor(MColor::kRGB, full, none, half), 1.0f, 0.0f, 0.2f, 1.0f);
    const unsigned short wide = 65535, zero = 0;
    expectColor(MColor(MColor::kRGB, zero, wide, zero, zero), 0.0f, 1.0f, 0.0f, 0.0f);
}

// ---------------------------------------------------------------- MPoint

TEST(HostPoint, DefaultsAndConversions) {
    const MPoint p;
    EXPECT_EQ(p, MPoint(0.0, 0.0, 0.0, 1.0));
    EXPECT_EQ(MPoint::origin, MPoint(0.0, 0.0, 0.0, 1.0));
    EXPECT_EQ(MPoint(1.0, 2.0), MPoint(1.0, 2.0, 0.0, 1.0));
    EXPECT_EQ(MPoint(MVector(1.0, 2.0, 3.0)), MPoint(1.0, 2.0, 3.0, 1.0));
    EXPECT_EQ(MPoint(MFloatVector(1.0f, 2.0f, 3.0f)), MPoint(1.0, 2.0, 3.0, 1.0));
    EXPECT_EQ(MPoint(MFloatPoint(1.0f, 2.0f, 3.0f, 0.5f)), MPoint(1.0, 2.0, 3.0, 0.5));
    const double d[4] = {4.0, 5.0, 6.0, 2.0};
    EXPECT_EQ(MPoint(d), MPoint(4.0, 5.0, 6.0, 2.0));
    EXPECT_EQ(MPoint(d)[3], 2.0);
    MPoint q(1.0, 2.0, 3.0);
    q[2] = 9.0;
    q(0) = 7.0;
    EXPECT_EQ(q, MPoint(7.0, 2.0, 9.0, 1.0));
}

TEST(HostPoint, SubtractionAndDistanceCartesianize) {
    // (2, 4, 6, 2) is the cartesian point (1, 2, 3).
    const MPoint rational(2.0, 4.0, 6.0, 2.0);
    const MPoint plain(1.0, 2.0, 3.0);
    const MVector d = rational - MPoint(0.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(d.x, 1.0);
    EXPECT_DOUBLE_EQ(d.y, 2.0);
    EXPECT_DOUBLE_EQ(d.z, 3.0);
    EXPECT_DOUBLE_EQ(rational.distanceTo(plain), 0.0);
    EXPECT_DOUBLE_EQ(plain.distanceTo(rational), 0.0);
    EXPECT_DOUBLE_EQ(rational.distanceTo(MPoint(1.0, 2.0, 7.0)), 4.0);
    EXPECT_TRUE(rational.isEquivalent(plain));
    // Exact equality still compares the raw components.
    EXPECT_FALSE(rational == plain);
    EXPECT_DOUBLE_EQ(MPoint(0.0, 0.0, 0.0).distanceTo(MPoint(3.0, 4.0, 0.0)), 5.0);
}

TEST(HostPoint, IsEquivalentIsStrictAtTheTolerance) {
    const MPoint a(0.0, 0.0, 0.0);
    EXPECT_FALSE(a.isEquivalent(MPoint(0.5, 0.0, 0.0), 0.5));  // distance == tolerance
    EXPECT_TRUE(a.isEquivalent(MPoint(0.4999, 0.0, 0.0), 0.5));
    EXPECT_FALSE(a.isEquivalent(MPoint(0.3, 0.4, 0.0), 0.5));  // squared length 0.25 == 0.25
    EXPECT_DOUBLE_EQ(MPoint_kTol, 1.0e-10);
    const MPoint big(1000.0, -2000.0, 3000.0);
    EXPECT_TRUE(big.isEquivalent(MPoint(1000.0, -2000.0, 3000.0)));
    EXPECT_TRUE(a.isEquivalent(MPoint(5.0e-11, 0.0, 0.0)));
    EXPECT_FALSE(a.isEquivalent(MPoint(2.0e-10, 0.0, 0.0)));
}

TEST(HostPoint, ScalarProductsLeaveW) {
    const MPoint p(1.0, 2.0, 3.0, 2.0);
    EXPECT_EQ(p * 2.0, MPoint(2.0, 4.0, 6.0, 2.0));
    EXPECT_EQ(p * 2, MPoint(2.0, 4.0, 6.0, 2.0));
    EXPECT_EQ(p * 2.0f, MPoint(2.0, 4.0, 6.0, 2.0));
    EXPECT_EQ(p / 2.0, MPoint(0.5, 1.0, 1.5, 2.0));
    MPoint q = p;
    q *= 3u;
    EXPECT_EQ(q, MPoint(3.0, 6.0, 9.0, 2.0));
    EXPECT_EQ(MPoint(1.0, 1.0, 1.0) + MVector(1.0, 2.0, 3.0), MPoint(2.0, 3.0, 4.0));
    EXPECT_EQ(MPoint(1.0, 1.0, 1.0) - MVector(1.0, 2.0, 3.0), MPoint(0.0, -1.0, -2.0));
    MPoint r(6.0, 8.0, 10.0, 2.0);
    r.cartesianize();
    EXPECT_EQ(r, MPoint(3.0, 4.0, 5.0, 1.0));
    MPoint h(3.0, 4.0, 5.0, 2.0);
    h.homogenize();
    EXPECT_EQ(h, MPoint(6.0, 8.0, 10.0, 2.0));
    h.rationalize();
    EXPECT_EQ(h, MPoint(3.0, 4.0, 5.0, 2.0));
}

// ---------------------------------------------------------------- MMatrix

TEST(HostMatrix, DefaultIsIdentityAndIndexingIsRowMajor) {
    const MMatrix m;
    for (unsigned int i = 0; i < 4; ++i) {
        for (unsigned int j = 0; j < 4; ++j) {
            EXPECT_EQ(m(i, j), i == j ? 1.0 : 0.0);
        }
    }
    EXPECT_TRUE(m == MMatrix::identity);
    MMatrix t = translation(5.0, 6.0, 7.0);
    EXPECT_EQ(t.matrix[3][0], 5.0);
    EXPECT_EQ(t(3, 1), 6.0);
    EXPECT_EQ(t[3][2], 7.0);
    EXPECT_EQ(t.transpose()[0][3], 5.0);
    EXPECT_EQ(t.transpose()[3][0], 0.0);
    const float f[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    EXPECT_EQ(MMatrix(f)[2][1], 10.0);
}

TEST(HostMatrix, PointTimesMatrixIsARowVectorProduct) {
    const MPoint p(1.0, 2.0, 3.0);
    EXPECT_EQ(p * translation(10.0, 20.0, 30.0), MPoint(11.0, 22.0, 33.0));
    // w = 0 takes no translation.
    EXPECT_EQ(MPoint(1.0, 2.0, 3.0, 0.0) * translation(10.0, 20.0, 30.0), MPoint(1.0, 2.0, 3.0, 0.0));
    // Column 3 feeds w, and the result is not made cartesian.
    MMatrix projective;
    projective[2][3] = 1.0;
    EXPECT_EQ(p * projective, MPoint(1.0, 2.0, 3.0, 4.0));
    // A general matrix: each output is the dot product of the point with a column.
    const double values[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {13, 14, 15, 16}};
    EXPECT_EQ(MPoint(1.0, 0.0, 2.0, 1.0) * MMatrix(values), MPoint(32.0, 36.0, 40.0, 44.0));

    // Row vectors compose left to right: rotate about Z, then translate.
    const MMatrix rotThenMove = rotationZ(kHalfPi) * translation(10.0, 0.0, 0.0);
    EXPECT_TRUE((MPoint(1.0, 0.0, 0.0) * rotThenMove).isEquivalent(MPoint(10.0, 1.0, 0.0), 1e-12));
    const MMatrix moveThenRot = translation(10.0, 0.0, 0.0) * rotationZ(kHalfPi);
    EXPECT_TRUE((MPoint(1.0, 0.0, 0.0) * moveThenRot).isEquivalent(MPoint(0.0, 11.0, 0.0), 1e-12));
    MPoint q(1.0, 0.0, 0.0);
    q *= rotThenMove;
    EXPECT_TRUE(q.isEquivalent(MPoint(10.0, 1.0, 0.0), 1e-12));
}

TEST(HostMatrix, InverseRoundTripsAGeneralTransform) {
    const MMatrix m = scaling(2.0, 0.5, 3.0) * rotationZ(0.7) * translation(4.0, -5.0, 6.0);
    const MMatrix inv = m.inverse();
    EXPECT_TRUE((m * inv).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_TRUE((inv * m).isEquivalent(MMatrix::identity, 1e-12));
    const MPoint p(1.5, -2.0, 0.25);
    EXPECT_TRUE((p * m * inv).isEquivalent(p, 1e-12));
    // The inverse of a translation moves back.
    EXPECT_TRUE(translation(1.0, 2.0, 3.0).inverse().isEquivalent(translation(-1.0, -2.0, -3.0)));
    // A zero on the diagonal needs row exchanges.
    const double swapped[4][4] = {{0, 1, 0, 0}, {0, 0, 2, 0}, {4, 0, 0, 0}, {1, 2, 3, 1}};
    const MMatrix s(swapped);
    EXPECT_TRUE((s * s.inverse()).isEquivalent(MMatrix::identity, 1e-12));
    EXPECT_NEAR(s.det4x4(), 8.0, 1e-12);
    EXPECT_NEAR(m.det4x4(), 3.0, 1e-12);
}

TEST(HostMatrix, IsEquivalentUsesTheTolerancePerElement) {
    MMatrix a;
    MMatrix b;
    b[1][2] = 1.0e-11;
    EXPECT_TRUE(a.isEquivalent(b));
    b[1][2] = 1.0e-9;
    EXPECT_FALSE(a.isEquivalent(b));
    EXPECT_TRUE(a.isEquivalent(b, 1.0e-8));
    EXPECT_FALSE(a == b);
    EXPECT_TRUE((a * 2.0)[3][3] == 2.0);
}

// ---------------------------------------------------------------- float types and vectors

TEST(HostFloatTypes, ConversionsFromDoublePrecision) {
    const MPoint rational(2.0, 4.0, 6.0, 2.0);
    const MFloatPoint fp(rational);  // casts all four, no cartesianizing
    EXPECT_EQ(fp.x, 2.0f);
    EXPECT_EQ(fp.y, 4.0f);
    EXPECT_EQ(fp.z, 6.0f);
    EXPECT_EQ(fp.w, 2.0f);
    const MFloatVector fv(rational);  // copies x, y, z and ignores w
    EXPECT_EQ(fv.x, 2.0f);
    EXPECT_EQ(fv.y, 4.0f);
    EXPECT_EQ(fv.z, 6.0f);
    const MFloatVector fromFloatPoint(MFloatPoint(1.0f, 2.0f, 3.0f, 4.0f));
    EXPECT_EQ(fromFloatPoint.z, 3.0f);
    EXPECT_EQ(MFloatPoint(MFloatVector(1.0f, 2.0f, 3.0f)).w, 1.0f);
    EXPECT_EQ(MFloatVector(MVector(0.1, 0.2, 0.3)).y, 0.2f);
    const MVector back(MFloatVector(0.5f, 0.25f, 0.125f));
    EXPECT_EQ(back.z, 0.125);
    EXPECT_EQ(MVector(rational).x, 2.0);
    MFloatPoint cast;
    EXPECT_TRUE(cast.setCast(MPoint(1.0, 2.0, 3.0, 0.5)));
    EXPECT_EQ(cast.w, 0.5f);
}

TEST(HostFloatTypes, FloatPointArithmetic) {
    const MFloatPoint a(1.0f, 1.0f, 1.0f), b(4.0f, 5.0f, 1.0f);
    const MFloatVector d = b - a;
    EXPECT_EQ(d.x, 3.0f);
    EXPECT_EQ(d.y, 4.0f);
    EXPECT_FLOAT_EQ(a.distanceTo(b), 5.0f);
    EXPECT_FLOAT_EQ(MFloatPoint(8.0f, 10.0f, 2.0f, 2.0f).distanceTo(b), 0.0f);
    EXPECT_TRUE(a.isEquivalent(MFloatPoint(1.0f, 1.0f, 1.000001f)));
    EXPECT_FALSE(a.isEquivalent(MFloatPoint(1.0f, 1.0f, 1.0001f)));
    EXPECT_EQ(a + MFloatVector(1.0f, 0.0f, 0.0f), MFloatPoint(2.0f, 1.0f, 1.0f));
    EXPECT_FLOAT_EQ(d * MFloatVector(1.0f, 1.0f, 0.0f), 7.0f);
    EXPECT_FLOAT_EQ((d * 2.0f).length(), 10.0f);
    EXPECT_FLOAT_EQ((-d).normal().y, -0.8f);
}

TEST(HostVector, ProductsAndNormalization) {
    const MVector x(1.0, 0.0, 0.0), y(0.0, 1.0, 0.0);
    EXPECT_EQ(x ^ y, MVector(0.0, 0.0, 1.0));
    EXPECT_EQ(y ^ x, MVector(0.0, 0.0, -1.0));
    EXPECT_EQ(MVector(1.0, 2.0, 3.0) * MVector(4.0, 5.0, 6.0), 32.0);
    MVector v(3.0, 0.0, 4.0);
    EXPECT_DOUBLE_EQ(v.length(), 5.0);
    EXPECT_TRUE(v.normalize());
    EXPECT_TRUE(v.isEquivalent(MVector(0.6, 0.0, 0.8)));
    MVector zero;
    zero.normalize();
    EXPECT_EQ(zero, MVector());
    EXPECT_EQ(2.0 * MVector(1.0, 2.0, 3.0) - MVector(1.0, 1.0, 1.0), MVector(1.0, 3.0, 5.0));
}

// ---------------------------------------------------------------- arrays

TEST(HostArrays, ClearAndShrinkKeepStorage) {
    MPointArray points;
    for (int i = 0; i < 1000; ++i) {
        points.append(MPoint(i, 0.0, 0.0));
    }
    const MPoint* storage = &points[0];
    points.clear();
    EXPECT_EQ(points.length(), 0u);
    for (int i = 0; i < 1000; ++i) {
        points.append(static_cast<double>(i), 1.0);
    }
    EXPECT_EQ(&points[0], storage);
    EXPECT_EQ(points[999], MPoint(999.0, 1.0, 0.0, 1.0));
    points.setLength(0);
    points.setLength(1000);
    EXPECT_EQ(&points[0], storage);
    EXPECT_EQ(points[999], MPoint::origin);  // grown elements are default points

    MColorArray colors(500);
    const MColor* colorStorage = &colors[0];
    colors.clear();
    for (int i = 0; i < 500; ++i) {
        colors.append(1.0f, 0.0f, 0.0f);
    }
    EXPECT_EQ(&colors[0], colorStorage);
}

TEST(HostArrays, CopiesAreDeep) {
    MPointArray source;
    source.append(MPoint(1.0, 2.0, 3.0));
    source.append(MPoint(4.0, 5.0, 6.0));
    MPointArray constructed(source);
    MPointArray assigned;
    assigned.append(MPoint(9.0, 9.0, 9.0));
    assigned = source;
    MPointArray copied;
    copied.copy(source);
    source[0] = MPoint(-1.0, -1.0, -1.0);
    source.append(MPoint());
    for (const MPointArray* copy : {&constructed, &assigned, &copied}) {
        ASSERT_EQ(copy->length(), 2u);
        EXPECT_EQ((*copy)[0], MPoint(1.0, 2.0, 3.0));
        EXPECT_EQ((*copy)[1], MPoint(4.0, 5.0, 6.0));
    }
    copied[1].x = 100.0;
    EXPECT_EQ(source[1].x, 4.0);
    EXPECT_TRUE(copied.copy(copied));  // copying onto itself changes nothing
    EXPECT_EQ(copied.length(), 2u);
    EXPECT_EQ(copied[1].x, 100.0);
}

TEST(HostArrays, EditingOperationsAndBounds) {
    const int values[] = {10, 20, 30};
    MIntArray a(values, 3);
    EXPECT_TRUE(a.insert(15, 1));
    EXPECT_TRUE(a.insert(40, 4));  // at the end appends
    EXPECT_FALSE(a.insert(99, 6));
    EXPECT_TRUE(a.remove(0));
    EXPECT_FALSE(a.remove(4));
    EXPECT_TRUE(a.set(25, 2));
    EXPECT_EQ(a.set(1, 4), MStatus::kFailure);
    ASSERT_EQ(a.length(), 4u);
    const int expected[] = {15, 20, 25, 40};
    int i = 0;
    for (int v : a) {
        EXPECT_EQ(v, expected[i++]);
    }
    EXPECT_EQ(i, 4);

    const MUintArray filled(3, 7u);
    unsigned int sum = 0;
    for (unsigned int v : filled) {
        sum += v;
    }
    EXPECT_EQ(sum, 21u);
    EXPECT_EQ(MIntArray(2)[1], 0);

    const double raw[2][4] = {{1, 2, 3, 1}, {4, 5, 6, 2}};
    const MFloatPointArray floats(raw, 2);
    EXPECT_EQ(floats[1], MFloatPoint(4.0f, 5.0f, 6.0f, 2.0f));
    EXPECT_EQ(MPointArray(raw, 2)[1], MPoint(4.0, 5.0, 6.0, 2.0));
    expectColor(MColorArray(1)[0], 0.0f, 0.0f, 0.0f, 1.0f);

    MCallbackIdArray ids(2);
    ids.append(static_cast<MCallbackId>(42));
    EXPECT_EQ(ids.length(), 3u);
    EXPECT_EQ(ids[0], 0u);
    EXPECT_EQ(ids[2], 42u);
}

// ---------------------------------------------------------------- strings

TEST(HostStrings, StringArrayConstIndexReturnsACopy) {
    const char* names[] = {"curve1", "curve2"};
    MStringArray list(names, 2);
    const MStringArray& view = list;
    MString copy = view[0];
    copy += "X";
    EXPECT_EQ(list[0], "curve1");
    list[1] = "renamed";
    EXPECT_EQ(view[1], "renamed");
    EXPECT_EQ(list.indexOf("renamed"), 1);
    EXPECT_EQ(list.indexOf("missing"), -1);
    const MStringArray repeated(3, MString("a"));
    EXPECT_EQ(repeated.length(), 3u);
    EXPECT_EQ(repeated[2], "a");
}

TEST(HostStrings, TextOperations) {
    MString s("curve1.cv[3]");
    EXPECT_EQ(s.length(), 12u);
    EXPECT_STREQ(s.asChar(), "curve1.cv[3]");
    int len = 0;
    s.asChar(len);
    EXPECT_EQ(len, 12);
    EXPECT_EQ(s.substring(0, 5), "curve1");  // end is inclusive
    EXPECT_EQ(s.substring(7, 100), "cv[3]");
    EXPECT_EQ(s.substring(5, 2), "");
    MStringArray parts;
    parts.append("stale");
    EXPECT_TRUE(MString("|group1||curve1|").split('|', parts));
    ASSERT_EQ(parts.length(), 2u);
    EXPECT_EQ(parts[0], "group1");
    EXPECT_EQ(parts[1], "curve1");

    MString n("n=");
    n += 3;
    n += " ";
    n += 2.5;
    EXPECT_EQ(n, "n=3 2.5");
    EXPECT_EQ("a" + MString("b") + "c", "abc");
    EXPECT_EQ(MString("abcdef", 3), "abc");
    EXPECT_NE(MString("a"), MString("b"));

    const MString wide(L"\u00e9t\u00e9");  // two-byte characters in UTF-8
    EXPECT_EQ(wide.numChars(), 3u);
    EXPECT_EQ(wide.length(), 5u);
    EXPECT_EQ(wide, "\xc3\xa9t\xc3\xa9");
    std::ostringstream os;
    os << MString("out");
    EXPECT_EQ(os.str(), "out");
}

// ---------------------------------------------------------------- MStatus

TEST(HostStatus, ConvertsToBoolAndComparesCodes) {
    const MStatus ok;
    const MStatus failed(MStatus::kNotFound);
    EXPECT_TRUE(ok);
    EXPECT_FALSE(failed);
    EXPECT_TRUE(!failed);
    EXPECT_TRUE(failed.error());
    EXPECT_EQ(failed.statusCode(), MStatus::kNotFound);
    EXPECT_TRUE(MS::kNotFound == failed);
    EXPECT_TRUE(failed != MS::kFailure);
    EXPECT_TRUE(MS::kSuccess != failed);
    EXPECT_TRUE(failed == MStatus(MStatus::kNotFound));
    MStatus cleared = failed;
    cleared.clear();
    EXPECT_TRUE(cleared == MS::kSuccess);
    EXPECT_EQ(MStatus(MS::kFailure).errorString(), "Unexpected Internal Failure");
}

TEST(HostStatus, PerrorWritesTextCodeAndDescriptionToCerr) {
    CerrCapture capture;
    MStatus(MStatus::kFailure).perror("registerNode");
    MStatus(MStatus::kInvalidParameter).perror(MString("deregisterNode"));
    EXPECT_EQ(capture.text(),
              "registerNode: (kFailure): Unexpected Internal Failure\n"
              "deregisterNode: (kInvalidParameter): Invalid Parameter\n");
}

MStatus returnsOnFailure(MStatus status, bool& reachedEnd) {
    CHECK_MSTATUS_AND_RETURN_IT(status);
    reachedEnd = true;
    return MS::kSuccess;
}

TEST(HostStatus, CheckMacrosReportAndReturn) {
    CerrCapture capture;
    bool reachedEnd = false;
    EXPECT_EQ(returnsOnFailure(MS::kNotImplemented, reachedEnd), MS::kNotImplemented);
    EXPECT_FALSE(reachedEnd);
    EXPECT_NE(capture.text().find("(kNotImplemented): Not Implemented"), std::string::npos);
    EXPECT_TRUE(returnsOnFailure(MS::kSuccess, reachedEnd));
    EXPECT_TRUE(reachedEnd);
    EXPECT_TRUE(MFAIL(MStatus(MS::kFailure)));
    EXPECT_FALSE(MFAIL(MStatus()));
}

// ---------------------------------------------------------------- ids and enums

TEST(HostIds, TypeIdsAndEnumerations) {
    EXPECT_EQ(MTypeId(0x13A, 0x7).id(), 0x13A07u);
    EXPECT_EQ(MTypeId(0x80000u), MTypeId(0x800u, 0x0u));
    MStatus status(MS::kFailure);
    EXPECT_EQ(MTypeId(5u).id(&status), 5u);
    EXPECT_TRUE(status);

    EXPECT_EQ(MHWRender::kOpenGL | MHWRender::kDirectX11 | MHWRender::kOpenGLCoreProfile,
              MHWRender::kAllDevices);
    EXPECT_EQ(MSpace::kObject, MSpace::kPreTransform);

    // The embedded host's extra type ids must stay distinct from each other
    // and from the host's own values, and below kLast.
    const MFn::Type all[] = {MFn::kInvalid,
                             MFn::kBase,
                             MFn::kDagNode,
                             MFn::kTransform,
                             MFn::kCamera,
                             MFn::kCurve,
                             MFn::kNurbsCurve,
                             MFn::kLocator,
                             MFn::kMesh,
                             MFn::kPluginLocatorNode,
                             MFn::kComponent,
                             MFn::kCurveCVComponent,
                             MFn::kMeshVertComponent,
                             MFn::kSingleIndexedComponent,
                             MFn::kDependencyNode,
                             MFn::kPlugin,
                             MFn::kAttribute,
                             MFn::kNumericAttribute,
                             MFn::kTypedAttribute,
                             MFn::kEnumAttribute,
                             MFn::kData,
                             MFn::kNumericData,
                             MFn::kStringData,
                             MFn::kCurveEPComponent,
                             MFn::kCurveKnotComponent,
                             MFn::kCurveParamComponent,
                             MFn::kPluginDependNode};
    std::set<int> seen;
    for (MFn::Type t : all) {
        EXPECT_LT(t, MFn::kLast);
        EXPECT_TRUE(seen.insert(t).second) << "duplicate MFn value " << t;
    }
}

TEST(HostWeight, DefaultsToFullInfluence) {
    MWeight w;
    EXPECT_EQ(w.influence(), 1.0f);
    EXPECT_EQ(w.seam(), 0.0f);
    w.setInfluence(0.25f);
    w.setSeam(0.5f);
    const MWeight copy = w;
    EXPECT_EQ(copy.influence(), 0.25f);
    EXPECT_EQ(copy.seam(), 0.5f);
}

}  // namespace
