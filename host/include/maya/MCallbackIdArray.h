#pragma once
// Embedded host: an array of callback ids (storage rules in MArrayMembers.inc). The const operator[] returns
// the id by value.
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <cassert>
#include <cstddef>
#include <vector>

#include <cstdint>

// The id a callback registration returns; MMessage.h declares the same
// typedef (repeating an identical typedef is allowed).
typedef std::uintptr_t MCallbackId;

class MCallbackIdArray {
public:
    MCallbackIdArray(unsigned int initialSize, MCallbackId initialValue = 0)
        : elements_(initialSize, initialValue) {}

#define MARRAY_CLASS MCallbackIdArray
#define MARRAY_ELEMENT MCallbackId
#define MARRAY_CONST_REF MCallbackId
#include <maya/MArrayMembers.inc>
};
