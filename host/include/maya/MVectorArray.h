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
    MVectorArray(unsigned int initialSize, const MVector& initialValue = MVector())
        : elements_(initialSize, initialValue) {}

#define MARRAY_CLASS MVectorArray
#define MARRAY_ELEMENT MVector
#define MARRAY_CONST_REF const MVector&
#include <maya/MArrayMembers.inc>
};
