#pragma once
// Embedded host: an array of int (storage rules in khost/value_array.h). The
// const operator[] returns the element by value.
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

class MIntArray : public khost::detail::ValueArray<MIntArray, int, int> {
public:
    MIntArray() = default;
    MIntArray(const MIntArray& other) = default;
    MIntArray(const int src[], unsigned int count) : ValueArray(src, count) {}
    MIntArray(unsigned int initialSize, int initialValue = 0) : ValueArray(initialSize, initialValue) {}
    ~MIntArray() = default;
    MIntArray& operator=(const MIntArray& other) = default;
};
