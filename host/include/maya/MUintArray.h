#pragma once
// Embedded host: an array of unsigned int (storage rules in
// khost/value_array.h). The const operator[] returns the element by value.
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>

class MUintArray : public khost::detail::ValueArray<MUintArray, unsigned int, unsigned int> {
public:
    MUintArray() = default;
    MUintArray(const MUintArray& other) = default;
    MUintArray(const unsigned int src[], unsigned int count) : ValueArray(src, count) {}
    MUintArray(unsigned int initialSize, unsigned int initialValue = 0)
        : ValueArray(initialSize, initialValue) {}
    ~MUintArray() = default;
    MUintArray& operator=(const MUintArray& other) = default;
};
