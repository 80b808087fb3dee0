#pragma once
// Embedded host: a single-precision homogeneous point (x, y, z, w).
#include <maya/MApiNamespace.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

class MFloatPoint {
public:
    constexpr MFloatPoint() : x(0.0f), y(0.0f), z(0.0f), w(1.0f) {}
    MFloatPoint(const MFloatPoint& src) = default;
    // Casts all four components to float.
    MFloatPoint(const MPoint& src);
    MFloatPoint(const MVector& src);
    MFloatPoint(const MFloatVector& src) : x(src.x), y(src.y), z(src.z), w(1.0f) {}
    constexpr MFloatPoint(float xx, float yy, float zz = 0.0f, float ww = 1.0f)
        : x(xx), y(yy), z(zz), w(ww) {}
    MFloatPoint(const float f[4]) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    MFloatPoint(const double d[4])
        : x(static_cast<float>(d[0])),
          y(static_cast<float>(d[1])),
          z(static_cast<float>(d[2])),
          w(static_cast<float>(d[3])) {}
    ~MFloatPoint() = default;
    MFloatPoint& operator=(const MFloatPoint& src) = default;

    // Casts all four components of a double-precision point.
    MStatus setCast(const MPoint& src);

    // Difference of the two points; both are made cartesian first unless
    // both already have w == 1.
    MFloatVector operator-(const MFloatPoint& other) const {
        if (w == 1.0f && other.w == 1.0f) {
            return MFloatVector(x - other.x, y - other.y, z - other.z);
        }
        MFloatPoint a(*this), b(other);
        a.cartesianize();
        b.cartesianize();
        return MFloatVector(a.x - b.x, a.y - b.y, a.z - b.z);
    }
    MFloatPoint operator+(const MFloatVector& v) const { return MFloatPoint(x + v.x, y + v.y, z + v.z, w); }

    // Compares all four components exactly.
    bool operator==(const MFloatPoint& other) const {
        return x == other.x && y == other.y && z == other.z && w == other.w;
    }

    // (xw, yw, zw, w) -> (x, y, z, 1). A point with w == 0 is left as it is.
    MFloatPoint& cartesianize() {
        if (w != 0.0f && w != 1.0f) {
            x /= w;
            y /= w;
            z /= w;
            w = 1.0f;
        }
        return *this;
    }

    float distanceTo(const MFloatPoint& other) const { return (*this - other).length(); }
    // True when the squared distance is strictly less than tolerance².
    bool isEquivalent(const MFloatPoint& other, float tolerance = 1.0e-5F) const {
        const MFloatVector d = *this - other;
        return d * d < tolerance * tolerance;
    }

    static const MFloatPoint origin;

    float x, y, z, w;
};
