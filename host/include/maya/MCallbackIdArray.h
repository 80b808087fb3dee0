#pragma once
// Embedded host: an array of callback ids (storage rules in
// khost/value_array.h). The const operator[] returns the id by value.
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

#include <cstdint>

// The id a callback registration returns. Declared here so that every header
// that needs it (this one and MMessage.h) can include this one.
#ifndef KHOST_MCALLBACKID_DEFINED
#define KHOST_MCALLBACKID_DEFINED
typedef std::uintptr_t MCallbackId;
#endif

class MCallbackIdArray : public khost::detail::ValueArray<MCallbackIdArray, MCallbackId, MCallbackId> {
public:
    MCallbackIdArray() = default;
    MCallbackIdArray(const MCallbackIdArray& other) = default;
    MCallbackIdArray(unsigned int initialSize, MCallbackId initialValue = 0)
        : ValueArray(initialSize, initialValue) {}
    MCallbackIdArray(const MCallbackId src[], unsigned int count) : ValueArray(src, count) {}
    ~MCallbackIdArray() = default;
    MCallbackIdArray& operator=(const MCallbackIdArray& other) = default;
};
