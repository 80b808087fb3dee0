#pragma once
// Embedded host: an array of MFloatVector (storage rules in MArrayMembers.inc).
#include <maya/MApiNamespace.h>
#include <maya/MFloatVector.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MFloatVectorArray {
public:
    MFloatVectorArray(unsigned int initialSize, const MFloatVector& initialValue = MFloatVector())
        : elements_(initialSize, initialValue) {}

#define MARRAY_CLASS MFloatVectorArray
#define MARRAY_ELEMENT MFloatVector
#define MARRAY_CONST_REF const MFloatVector&
#include <maya/MArrayMembers.inc>
};
