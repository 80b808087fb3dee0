#pragma once
// Embedded host: a double-precision 3D vector.
#include <maya/MApiNamespace.h>
#include <maya/MFloatPoint.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

#include <cmath>

class MVector {
public:
    constexpr MVector() : x(0.0), y(0.0), z(0.0) {}
    MVector(const MVector& src) = default;
    MVector(const MFloatVector& src) : x(src.x), y(src.y), z(src.z) {}
    // Copy x, y and z and ignore w.
    MVector(const MPoint& src);
    MVector(const MFloatPoint& src) : x(src.x), y(src.y), z(src.z) {}
    constexpr MVector(double xx, double yy, double zz = 0.0) : x(xx), y(yy), z(zz) {}
    MVector(const double d[3]) : x(d[0]), y(d[1]), z(d[2]) {}
    MVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    ~MVector() = default;
    MVector& operator=(const MVector& src) = default;

    MVector operator+(const MVector& other) const { return MVector(x + other.x, y + other.y, z + other.z); }
    MVector operator-(const MVector& other) const { return MVector(x - other.x, y - other.y, z - other.z); }
    MVector operator-() const { return MVector(-x, -y, -z); }
    bool operator==(const MVector& other) const { return x == other.x && y == other.y && z == other.z; }

    MVector operator*(double scalar) const { return MVector(x * scalar, y * scalar, z * scalar); }
    friend MVector operator*(double scalar, const MVector& v) { return v * scalar; }

    // Dot product.
    double operator*(const MVector& other) const { return x * other.x + y * other.y + z * other.z; }
    // Cross product.
    MVector operator^(const MVector& other) const {
        return MVector(y * other.z - z * other.y, z * other.x - x * other.z, x * other.y - y * other.x);
    }

    double length() const { return std::sqrt(x * x + y * y + z * z); }
    // Unit vector in the same direction; the zero vector stays zero.
    MVector normal() const {
        MVector n(*this);
        n.normalize();
        return n;
    }
    MStatus normalize() {
        const double len = length();
        if (len > 0.0) {
            x /= len;
            y /= len;
            z /= len;
        }
        return MStatus();
    }
    // True when the squared distance is strictly less than tolerance².
    bool isEquivalent(const MVector& other, double tolerance = 1.0e-10) const {
        const MVector d = *this - other;
        return d * d < tolerance * tolerance;
    }

    double x, y, z;
};
