#pragma once
// Embedded host: a single-precision 3D vector.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <cmath>

class MFloatVector {
public:
    constexpr MFloatVector() : x(0.0f), y(0.0f), z(0.0f) {}
    MFloatVector(const MFloatVector& src) = default;
    MFloatVector(const MVector& src);
    // Copy x, y and z (cast to float) and ignore w.
    MFloatVector(const MFloatPoint& src);
    MFloatVector(const MPoint& src);
    constexpr MFloatVector(float xx, float yy, float zz = 0.0f) : x(xx), y(yy), z(zz) {}
    MFloatVector(const float f[3]) : x(f[0]), y(f[1]), z(f[2]) {}
    MFloatVector(const double d[3])
        : x(static_cast<float>(d[0])), y(static_cast<float>(d[1])), z(static_cast<float>(d[2])) {}
    ~MFloatVector() = default;
    MFloatVector& operator=(const MFloatVector& src) = default;

    MFloatVector operator+(const MFloatVector& other) const {
        return MFloatVector(x + other.x, y + other.y, z + other.z);
    }
    MFloatVector operator-(const MFloatVector& other) const {
        return MFloatVector(x - other.x, y - other.y, z - other.z);
    }
    MFloatVector operator-() const { return MFloatVector(-x, -y, -z); }

    MFloatVector operator*(float scalar) const { return MFloatVector(x * scalar, y * scalar, z * scalar); }
    MFloatVector& operator*=(float scalar) { return *this = *this * scalar; }

    // Dot product.
    float operator*(const MFloatVector& other) const { return x * other.x + y * other.y + z * other.z; }

    float length() const { return std::sqrt(x * x + y * y + z * z); }
    // Unit vector in the same direction; the zero vector stays zero.
    MFloatVector normal() const {
        MFloatVector n(*this);
        n.normalize();
        return n;
    }
    MStatus normalize() {
        const float len = length();
        if (len > 0.0f) {
            x /= len;
            y /= len;
            z /= len;
        }
        return MStatus();
    }
    // True when the squared distance is strictly less than tolerance².
    bool isEquivalent(const MFloatVector& other, float tolerance = 1.0e-5F) const {
        const MFloatVector d = *this - other;
        return d * d < tolerance * tolerance;
    }

    float x, y, z;
};
