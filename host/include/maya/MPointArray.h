#pragma once
// Embedded host: an array of MPoint (storage rules in khost/value_array.h).
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

class MPointArray : public khost::detail::ValueArray<MPointArray, MPoint> {
public:
    MPointArray() = default;
    MPointArray(const MPointArray& other) = default;
    MPointArray(const MPoint src[], unsigned int count) : ValueArray(src, count) {}
    MPointArray(const double src[][4], unsigned int count) {
        elements_.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            elements_.emplace_back(src[i]);
        }
    }
    MPointArray(const float src[][4], unsigned int count) {
        elements_.reserve(count);
        for (unsigned int i = 0; i < count; ++i) {
            elements_.emplace_back(src[i]);
        }
    }
    MPointArray(unsigned int initialSize, const MPoint& initialValue = MPoint::origin)
        : ValueArray(initialSize, initialValue) {}
    ~MPointArray() = default;
    MPointArray& operator=(const MPointArray& other) = default;

    using ValueArray::append;
    MStatus append(double x, double y, double z = 0, double w = 1) { return append(MPoint(x, y, z, w)); }
};
