#pragma once
// Embedded host: an array of int (storage rules in MArrayMembers.inc). The
// const operator[] returns the element by value.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MIntArray {
public:
    MIntArray(unsigned int initialSize, int initialValue = 0) : elements_(initialSize, initialValue) {}

#define MARRAY_CLASS MIntArray
#define MARRAY_ELEMENT int
#define MARRAY_CONST_REF int
#include <maya/MArrayMembers.inc>
};
