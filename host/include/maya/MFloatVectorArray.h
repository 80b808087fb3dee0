#pragma once
// Embedded host: an array of MFloatVector (storage rules in khost/value_array.h).
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

class MFloatVectorArray : public khost::detail::ValueArray<MFloatVectorArray, MFloatVector> {
public:
    MFloatVectorArray() = default;
    MFloatVectorArray(const MFloatVectorArray& other) = default;
    MFloatVectorArray(const MFloatVector src[], unsigned int count) : ValueArray(src, count) {}
    MFloatVectorArray(unsigned int initialSize, const MFloatVector& initialValue = MFloatVector())
        : ValueArray(initialSize, initialValue) {}
    ~MFloatVectorArray() = default;
    MFloatVectorArray& operator=(const MFloatVectorArray& other) = default;
};
