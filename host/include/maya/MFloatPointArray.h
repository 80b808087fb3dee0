#pragma once
// Embedded host: an array of MFloatPoint (storage rules in MArrayMembers.inc).
#include <maya/MApiNamespace.h>
#include <maya/MFloatPoint.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MFloatPointArray {
public:
    MFloatPointArray(const double src[][4], unsigned int count) : elements_(src, src + count) {}
    MFloatPointArray(const float src[][4], unsigned int count) : elements_(src, src + count) {}
    MFloatPointArray(unsigned int initialSize, const MFloatPoint& initialValue = MFloatPoint::origin)
        : elements_(initialSize, initialValue) {}

    MStatus append(float x, float y, float z = 0, float w = 1) { return append(MFloatPoint(x, y, z, w)); }

#define MARRAY_CLASS MFloatPointArray
#define MARRAY_ELEMENT MFloatPoint
#define MARRAY_CONST_REF const MFloatPoint&
#include <maya/MArrayMembers.inc>
};
