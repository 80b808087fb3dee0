#pragma once
// Embedded host: an array of MVector (storage rules in khost/value_array.h).
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MVector.h>

class MVectorArray : public khost::detail::ValueArray<MVectorArray, MVector> {
public:
    MVectorArray() = default;
    MVectorArray(const MVectorArray& other) = default;
    MVectorArray(const MVector src[], unsigned int count) : ValueArray(src, count) {}
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector())
        : ValueArray(initialSize, initialValue) {}
    ~MVectorArray() = default;
    MVectorArray& operator=(const MVectorArray& other) = default;
};
