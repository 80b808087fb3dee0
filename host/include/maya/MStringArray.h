#pragma once
// Embedded host: an array of strings. The const operator[] returns a copy,
// as the host's does.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <maya/MString.h>
#include <cassert>
#include <cstddef>
#include <vector>

class MStringArray {
public:
    MStringArray(const char* strings[], unsigned int count);
    MStringArray(unsigned int initialSize, const MString& initialValue)
        : elements_(initialSize, initialValue) {}

    // Index of the first element equal to `element`, or -1.
    int indexOf(const MString& element) const;

#define MARRAY_CLASS MStringArray
#define MARRAY_ELEMENT MString
#define MARRAY_CONST_REF MString
#include <maya/MArrayMembers.inc>
};
