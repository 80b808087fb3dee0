#pragma once
// Embedded host: an array of MColor (storage rules in khost/value_array.h).
#include <khost/value_array.h>
#include <maya/MApiNamespace.h>
#include <maya/MColor.h>
#include <maya/MStatus.h>

class MColorArray : public khost::detail::ValueArray<MColorArray, MColor> {
public:
    MColorArray() = default;
    MColorArray(const MColorArray& other) = default;
    MColorArray(const MColor src[], unsigned int count) : ValueArray(src, count) {}
    MColorArray(unsigned int initialSize, const MColor& initialValue = MColor::kOpaqueBlack)
        : ValueArray(initialSize, initialValue) {}
    ~MColorArray() = default;
    MColorArray& operator=(const MColorArray& other) = default;

    using ValueArray::append;
    MStatus append(float r, float g, float b, float a = 1) { return append(MColor(r, g, b, a)); }
};
