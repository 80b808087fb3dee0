#pragma once
// Embedded host: an array of strings. The const operator[] returns a copy,
// as the host's does.
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MStatus.h>
#include <maya/MString.h>

class MStringArray : public khost::detail::ValueArray<MStringArray, MString, MString> {
public:
    MStringArray() = default;
    MStringArray(const MStringArray& other) = default;
    MStringArray(const MString strings[], unsigned int count) : ValueArray(strings, count) {}
    MStringArray(const char* strings[], unsigned int count);
    MStringArray(unsigned int initialSize, const MString& initialValue)
        : ValueArray(initialSize, initialValue) {}
    ~MStringArray() = default;
    MStringArray& operator=(const MStringArray& other) = default;

    // Index of the first element equal to `element`, or -1.
    int indexOf(const MString& element) const;
};
