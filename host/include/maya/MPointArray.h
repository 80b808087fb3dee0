#pragma once
// Embedded host: an array of MPoint (storage rules in MArrayMembers.inc).
#include <maya/MApiNamespace.h>
#include <maya/MPoint.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MPointArray {
public:
    MPointArray(const double src[][4], unsigned int count) : elements_(src, src + count) {}
    MPointArray(const float src[][4], unsigned int count) : elements_(src, src + count) {}
    MPointArray(unsigned int initialSize, const MPoint& initialValue = MPoint::origin)
        : elements_(initialSize, initialValue) {}

    MStatus append(double x, double y, double z = 0, double w = 1) { return append(MPoint(x, y, z, w)); }

#define MARRAY_CLASS MPointArray
#define MARRAY_ELEMENT MPoint
#define MARRAY_CONST_REF const MPoint&
#include <maya/MArrayMembers.inc>
};
