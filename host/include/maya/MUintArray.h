#pragma once
// Embedded host: an array of unsigned int (storage rules in MArrayMembers.inc). The const operator[] returns
// the element by value.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

class MUintArray {
public:
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0)
        : elements_(initialSize, initialValue) {}

#define MARRAY_CLASS MUintArray
#define MARRAY_ELEMENT unsigned int
#define MARRAY_CONST_REF unsigned int
#include <maya/MArrayMembers.inc>
};
