#pragma once
// Embedded host: an RGBA colour of four floats.
#include <maya/MApiNamespace.h>

class MColor {
public:
    enum MColorType { kRGB = 0, kHSV = 1, kCMY = 2, kCMYK = 3 };

    constexpr MColor() : r(0.0f), g(0.0f), b(0.0f), a(1.0f) {}
    MColor(const MColor& src) = default;
    constexpr MColor(float rr, float gg, float bb = 0.0f, float aa = 1.0f) : r(rr), g(gg), b(bb), a(aa) {}
    MColor(const float d[3]) : r(d[0]), g(d[1]), b(d[2]), a(1.0f) {}
    // Black with the given alpha: MColor(1.0f) is opaque black.
    constexpr MColor(float alpha) : r(0.0f), g(0.0f), b(0.0f), a(alpha) {}
    // Colour-model constructors. Integer channels are scaled from their full
    // range to [0, 1]. For kHSV the float forms take the hue in degrees
    // [0, 360] and saturation and value in [0, 1]; the integer forms scale the
    // hue's full range to [0, 360].
    MColor(MColorType colorModel, unsigned char c1, unsigned char c2, unsigned char c3,
           unsigned char alpha = 255U);
    MColor(MColorType colorModel, unsigned short c1, unsigned short c2, unsigned short c3,
           unsigned short alpha = 65535U);
    MColor(MColorType colorModel, float c1, float c2, float c3, float alpha = 1.0f);
    MColor(MColorType colorModel, double c1, double c2, double c3, double alpha = 1.0);
    ~MColor() = default;
    MColor& operator=(const MColor& src) = default;

    float operator[](unsigned int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    float& operator[](unsigned int i) { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
    float operator()(unsigned int i) const { return (*this)[i]; }
    float& operator()(unsigned int i) { return (*this)[i]; }

    // Scalar products and quotients scale red, green and blue; alpha passes
    // through unchanged.
    MColor operator*(float scalar) const { return MColor(r * scalar, g * scalar, b * scalar, a); }
    MColor& operator*=(float scalar) { return *this = *this * scalar; }
    friend MColor operator*(float scalar, const MColor& c) { return c * scalar; }
    MColor operator/(float scalar) const { return MColor(r / scalar, g / scalar, b / scalar, a); }
    MColor& operator/=(float scalar) { return *this = *this / scalar; }

    // Component-wise operations on all four channels.
    MColor operator*(const MColor& other) const {
        return MColor(r * other.r, g * other.g, b * other.b, a * other.a);
    }
    MColor& operator*=(const MColor& other) { return *this = *this * other; }
    MColor operator+(const MColor& other) const {
        return MColor(r + other.r, g + other.g, b + other.b, a + other.a);
    }
    MColor& operator+=(const MColor& other) { return *this = *this + other; }
    MColor operator-(const MColor& other) const {
        return MColor(r - other.r, g - other.g, b - other.b, a - other.a);
    }

    bool operator==(const MColor& other) const {
        return r == other.r && g == other.g && b == other.b && a == other.a;
    }
    bool operator!=(const MColor& other) const { return !(*this == other); }

    static const MColor kOpaqueBlack;

    float r, g, b, a;
};
