#pragma once
// Embedded host: an array of MVector (storage rules in MArrayMembers.inc).
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <maya/MVector.h>
#include <cassert>
#include <cstddef>
#include <vector>

class MVectorArray {
public:
    MVectorArray() = default;
    MVectorArray(const MVectorArray& other) = default;
    MVectorArray(const MVector src[], unsigned int count)
        : elements_(src, src != nullptr ? src + count : src) {}
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector())
        : elements_(initialSize, initialValue) {}
    ~MVectorArray() = default;
    MVectorArray& operator=(const MVectorArray& other) = default;

#define MARRAY_CLASS MVectorArray
#define MARRAY_ELEMENT MVector
#define MARRAY_CONST_REF const MVector&
#include <maya/MArrayMembers.inc>
};
