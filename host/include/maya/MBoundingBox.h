#pragma once
// Embedded host: an axis-aligned box given by its minimum and maximum
// corners. A default box has both corners at the origin, so expanding it
// always keeps the origin inside.
#include <maya/MApiNamespace.h>
#include <maya/MMatrix.h>
#include <maya/MPoint.h>

class MBoundingBox {
public:
    MBoundingBox() : min_(0.0, 0.0, 0.0), max_(0.0, 0.0, 0.0) {}
    MBoundingBox(const MBoundingBox& src) = default;
    // The smallest box holding both corners, whichever way round they are.
    MBoundingBox(const MPoint& corner1, const MPoint& corner2);
    ~MBoundingBox() = default;
    MBoundingBox& operator=(const MBoundingBox& other) = default;

    // Both corners back at the origin.
    void clear() { *this = MBoundingBox(); }
    // Replaces the box by the axis-aligned box around its eight transformed
    // corners.
    void transformUsing(const MMatrix& matrix);
    void expand(const MPoint& point);
    void expand(const MBoundingBox& box);
    // Inclusive of the faces.
    bool contains(const MPoint& point) const;
    // True when the boxes overlap or lie within `tol` of each other on every axis.
    bool intersects(const MBoundingBox& box, double tol = 0.0) const;
    double width() const { return max_.x - min_.x; }
    double height() const { return max_.y - min_.y; }
    double depth() const { return max_.z - min_.z; }
    MPoint center() const {
        return MPoint((min_.x + max_.x) * 0.5, (min_.y + max_.y) * 0.5, (min_.z + max_.z) * 0.5);
    }
    MPoint min() const { return min_; }
    MPoint max() const { return max_; }

private:
    MPoint min_;
    MPoint max_;
};
