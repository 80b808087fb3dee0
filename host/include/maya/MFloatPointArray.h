#pragma once
// Embedded host: an array of MFloatPoint (storage rules in khost/value_array.h).
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MFloatPoint.h>
#include <maya/MStatus.h>

class MFloatPointArray : public khost::detail::ValueArray<MFloatPointArray, MFloatPoint> {
public:
    MFloatPointArray() = default;
    MFloatPointArray(const MFloatPointArray& other) = default;
    MFloatPointArray(const MFloatPoint src[], unsigned int count) : ValueArray(src, count) {}
    MFloatPointArray(const double src[][4], unsigned int count) {
        elements_.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            elements_.emplace_back(src[i]);
        }
    }
    MFloatPointArray(const float src[][4], unsigned int count) {
        elements_.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            elements_.emplace_back(src[i]);
        }
    }
    MFloatPointArray(unsigned int initialSize, const MFloatPoint& initialValue = MFloatPoint::origin)
        : ValueArray(initialSize, initialValue) {}
    ~MFloatPointArray() = default;
    MFloatPointArray& operator=(const MFloatPointArray& other) = default;

    using ValueArray::append;
    MStatus append(float x, float y, float z = 0, float w = 1) { return append(MFloatPoint(x, y, z, w)); }
};
