#pragma once
// Embedded host: an array of MColor (storage rules in MArrayMembers.inc).
#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MColorArray {
public:
    MColorArray(unsigned int initialSize, const MColor& initialValue = MColor::kOpaqueBlack)
        : elements_(initialSize, initialValue) {}

    MStatus append(float r, float g, float b, float a = 1) { return append(MColor(r, g, b, a)); }

#define MARRAY_CLASS MColorArray
#define MARRAY_ELEMENT MColor
#define MARRAY_CONST_REF const MColor&
#include <maya/MArrayMembers.inc>
};
