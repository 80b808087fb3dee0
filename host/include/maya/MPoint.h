#pragma once
// Embedded host: a double-precision homogeneous point (x, y, z, w).
#include <maya/MApiNamespace.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MMatrix.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>

// Default tolerance of MPoint::isEquivalent.
#define MPoint_kTol 1.0e-10

class MPoint {
public:
    constexpr MPoint() : x(0.0), y(0.0), z(0.0), w(1.0) {}
    MPoint(const MPoint& src) = default;
    // Copies all four components.
    MPoint(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z), w(src.w) {}
    // Copy x, y and z and set w = 1.
    MPoint(const MVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}
    MPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0) {}
    constexpr MPoint(double xx, double yy, double zz = 0.0, double ww = 1.0) : x(xx), y(yy), z(zz), w(ww) {}
    MPoint(const double d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    MPoint(const float d[4]) : x(d[0]), y(d[1]), z(d[2]), w(d[3]) {}
    ~MPoint() = default;
    MPoint& operator=(const MPoint& src) = default;

    double operator[](unsigned int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double& operator[](unsigned int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double operator()(unsigned int i) const { return (*this)[i]; }
    double& operator()(unsigned int i) { return (*this)[i]; }

    MPoint operator+(const MVector& v) const { return MPoint(x + v.x, y + v.y, z + v.z, w); }
    MPoint operator-(const MVector& v) const { return MPoint(x - v.x, y - v.y, z - v.z, w); }
    // Difference of the two points; both are made cartesian first unless
    // both already have w == 1.
    MVector operator-(const MPoint& other) const {
        if (w == 1.0 && other.w == 1.0) {
            return MVector(x - other.x, y - other.y, z - other.z);
        }
        MPoint a(*this), b(other);
        a.cartesianize();
        b.cartesianize();
        return MVector(a.x - b.x, a.y - b.y, a.z - b.z);
    }

    // Row vector times matrix: the full homogeneous product, w taken from
    // column 3. The result is not made cartesian.
    MPoint operator*(const MMatrix& m) const {
        const double(&a)[4][4] = m.matrix;
        return MPoint(x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                      x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                      x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                      x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]);
    }
    MPoint& operator*=(const MMatrix& m) { return *this = *this * m; }

    // Scalar products scale x, y and z and leave w.
    MPoint operator*(double s) const { return MPoint(x * s, y * s, z * s, w); }
    MPoint operator*(float s) const { return *this * static_cast<double>(s); }
    MPoint operator*(int s) const { return *this * static_cast<double>(s); }
    MPoint operator*(short s) const { return *this * static_cast<double>(s); }
    MPoint operator*(unsigned int s) const { return *this * static_cast<double>(s); }
    MPoint& operator*=(double s) { return *this = *this * s; }
    MPoint& operator*=(float s) { return *this *= static_cast<double>(s); }
    MPoint& operator*=(int s) { return *this *= static_cast<double>(s); }
    MPoint& operator*=(short s) { return *this *= static_cast<double>(s); }
    MPoint& operator*=(unsigned int s) { return *this *= static_cast<double>(s); }
    MPoint operator/(double s) const { return MPoint(x / s, y / s, z / s, w); }

    // Compares all four components exactly.
    bool operator==(const MPoint& other) const {
        return x == other.x && y == other.y && z == other.z && w == other.w;
    }

    // (xw, yw, zw, w) -> (x, y, z, 1). A point with w == 0 is left as it is.
    MPoint& cartesianize() {
        if (w != 0.0 && w != 1.0) {
            x /= w;
            y /= w;
            z /= w;
            w = 1.0;
        }
        return *this;
    }
    // (xw, yw, zw, w) -> (x, y, z, w). A point with w == 0 is left as it is.
    MPoint& rationalize() {
        if (w != 0.0) {
            x /= w;
            y /= w;
            z /= w;
        }
        return *this;
    }
    // (x, y, z, w) -> (xw, yw, zw, w).
    MPoint& homogenize() {
        x *= w;
        y *= w;
        z *= w;
        return *this;
    }

    double distanceTo(const MPoint& other) const { return (*this - other).length(); }
    // True when the squared distance is strictly less than tolerance².
    bool isEquivalent(const MPoint& other, double tolerance = MPoint_kTol) const {
        const MVector d = *this - other;
        return d * d < tolerance * tolerance;
    }

    static const MPoint origin;

    double x, y, z, w;
};
