#pragma once
// Bit-for-bit equality of numbers, points and colours: two values that
// compare equal as numbers (0 and -0) may still give different output, and
// NaN never equals itself.
#include <maya/MColor.h>
#include <maya/MPoint.h>

#include <cstring>

template <class T>
bool sameBits(const T& a, const T& b) {
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

inline bool samePoint(const MPoint& a, const MPoint& b) {
    return sameBits(a.x, b.x) && sameBits(a.y, b.y) && sameBits(a.z, b.z) && sameBits(a.w, b.w);
}

inline bool sameColor(const MColor& a, const MColor& b) {
    return sameBits(a.r, b.r) && sameBits(a.g, b.g) && sameBits(a.b, b.b) && sameBits(a.a, b.a);
}
