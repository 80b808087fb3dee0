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
    MUintArray() = default;
    MUintArray(const MUintArray& other) = default;
    MUintArray(const unsigned int src[], unsigned int count)
        : elements_(src, src != nullptr ? src + count : src) {}
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0)
        : elements_(initialSize, initialValue) {}
    ~MUintArray() = default;
    MUintArray& operator=(const MUintArray& other) = default;

#define MARRAY_CLASS MUintArray
#define MARRAY_ELEMENT unsigned int
#define MARRAY_CONST_REF unsigned int
#include <maya/MArrayMembers.inc>
};
